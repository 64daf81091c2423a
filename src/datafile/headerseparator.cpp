// The first line of a data file, judged for the separator it was written with.
#include "headerseparator.h"

#include "whitespace.h"

#include <algorithm>
#include <array>

namespace zento {

namespace {

// Adds the marks of text up to its first LF; true when the LF was found.
bool AddLine(std::string_view text, HeaderMarks& marks) {
    const std::size_t end = text.find('\n');
    marks.Add(text.substr(0, end));
    return end != std::string_view::npos;
}

} // namespace

void HeaderMarks::Add(std::string_view bytes) {
    for (const char c : bytes) {
        tabs += c == '\t';
        commas += c == ',';
        semicolons += c == ';';
        controls += static_cast<unsigned char>(c) < 32 && !IsWhitespace(c);
    }
}

// Semicolons win a tie: a semicolon-separated export writes its decimals with commas.
HeaderSeparator HeaderMarks::Judge() const {
    if (tabs > 0 || controls > 0 || (commas == 0 && semicolons == 0))
        return HeaderSeparator::Tab;
    return semicolons >= commas ? HeaderSeparator::Semicolon : HeaderSeparator::Comma;
}

HeaderSeparator GuessHeaderSeparator(std::string_view text) {
    HeaderMarks marks;
    AddLine(text, marks);
    return marks.Judge();
}

Result<HeaderSeparator> ReadHeaderSeparator(ByteSource& source, const std::string& path) {
    std::array<char, 64 * 1024> chunk;
    HeaderMarks marks;
    for (;;) {
        const std::size_t got = source.Read(chunk);
        if (got == 0) {
            if (source.error())
                return FileError(DataErrorKind::Unreadable, path, source.error());
            break;
        }
        if (AddLine(std::string_view(chunk.data(), got), marks))
            break;
    }
    return marks.Judge();
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
