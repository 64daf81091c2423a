// The first line of a data file, judged for the separator it was written with.
#include "headerseparator.h"

#include <algorithm>
#include <array>

namespace zento {

namespace {

struct LineMarks {
    std::size_t tabs = 0;
    std::size_t commas = 0;
    std::size_t semicolons = 0;
};

// Adds the marks of text up to its first LF; true when the LF was found.
bool AddMarks(std::string_view text, LineMarks& marks) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    marks.tabs += static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t'));
    marks.commas += static_cast<std::size_t>(std::count(line.begin(), line.end(), ','));
    marks.semicolons += static_cast<std::size_t>(std::count(line.begin(), line.end(), ';'));
    return end != std::string_view::npos;
}

// Semicolons win a tie: a semicolon-separated export writes its decimals with commas.
HeaderSeparator Judge(const LineMarks& marks) {
    if (marks.tabs > 0 || (marks.commas == 0 && marks.semicolons == 0))
        return HeaderSeparator::Tab;
    return marks.semicolons >= marks.commas ? HeaderSeparator::Semicolon : HeaderSeparator::Comma;
}

} // namespace

HeaderSeparator GuessHeaderSeparator(std::string_view text) {
    LineMarks marks;
    AddMarks(text, marks);
    return Judge(marks);
}

Result<HeaderSeparator> ReadHeaderSeparator(ByteSource& source, const std::string& path) {
    std::array<char, 64 * 1024> chunk;
    LineMarks marks;
    for (;;) {
        const std::size_t got = source.Read(chunk);
        if (got == 0) {
            if (source.error())
                return FileError(DataErrorKind::Unreadable, path, source.error());
            break;
        }
        if (AddMarks(std::string_view(chunk.data(), got), marks))
            break;
    }
    return Judge(marks);
}

Result<HeaderSeparator> ReadHeaderSeparator(const std::string& path) {
    auto source = FileByteSource::Open(path);
    if (!source)
        return source.error();
    return ReadHeaderSeparator(**source, path);
}

std::string DescribeHeaderSeparator(HeaderSeparator separator, const std::string& path) {
    if (separator == HeaderSeparator::Tab)
        return {};
    const bool comma = separator == HeaderSeparator::Comma;
    return "El archivo \"" + path + "\" parece separado por " +
           (comma ? "comas" : "puntos y comas") + ": su cabecera no tiene ningún tabulador y sí " +
           (comma ? "comas" : "puntos y comas") +
           " entre los nombres. ZENTO lee columnas separadas por tabuladores: guarde los datos "
           "como texto delimitado por tabulaciones.";
}

} // namespace zento
