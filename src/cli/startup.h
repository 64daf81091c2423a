// What zento-cli sets up before its command runs, where systems differ: the arguments as UTF-8
// strings, standard output and error as plain bytes that a console shows rightly, and a write
// past a file size limit reported rather than fatal.
#pragma once

#include <string>
#include <vector>

namespace zento::cli {

// The arguments after the program's name, in UTF-8. On Windows they come from the wide command
// line, whatever the ANSI code page could have held of them.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Held for the program's run: sets the standard streams up and, on Windows, shows UTF-8 on a
// console while the program runs, and gives the console its code page back at the end.
class StandardStreams {
public:
    StandardStreams();
    ~StandardStreams();
    StandardStreams(const StandardStreams&) = delete;
    StandardStreams& operator=(const StandardStreams&) = delete;

private:
    [[maybe_unused]] unsigned m_consoleCodePage = 0; // to give back to the console; 0: none
};

} // namespace zento::cli
