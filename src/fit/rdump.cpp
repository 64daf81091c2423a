// A reader of R dump assignments, one token at a time over the whole text.
#include "rdump.h"

#include "datafile/systemfile.h"
#include "textfiles.h"
#include "textscan.h"

#include <cmath>
#include <limits>
#include <set>

namespace zento::fit {

namespace {

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.';
}

bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '_';
}

// A number as R reads it in a dump ("-1.5", "+2", "1e-3") or NA.
std::optional<double> ParseDumpValue(std::string_view token) {
    if (token == "NA")
        return std::numeric_limits<double>::quiet_NaN();
    if (token.starts_with('+')) {
        token.remove_prefix(1);
        if (token.starts_with('-') || token.starts_with('+'))
            return std::nullopt;
    }
    return ParseFinite(token);
}

class DumpParser {
public:
    DumpParser(std::string_view text, const std::string& file) : m_text(text), m_file(file) {}

    FitResult<RDump> Parse() {
        RDump dump;
        dump.file = m_file;
        std::set<std::string, std::less<>> seen;
        for (SkipSpace(true); m_at < m_text.size(); SkipSpace(true)) {
            DumpVariable variable;
            variable.line = m_line;
            std::size_t end = m_at;
            while (end < m_text.size() && IsNameChar(m_text[end]))
                ++end;
            if (end == m_at || !IsNameStart(m_text[m_at]))
                return Syntax("«nombre <- valor»", RestOfLine());
            variable.name = std::string(m_text.substr(m_at, end - m_at));
            m_at = end;
            SkipSpace(false);
            if (!m_text.substr(m_at).starts_with("<-"))
                return Syntax("«<-» tras «" + variable.name + "»", RestOfLine());
            m_at += 2;
            SkipSpace(false);
            if (auto read = ReadValue(variable); !read)
                return read.error();
            SkipSpace(false);
            if (m_at < m_text.size() && m_text[m_at] != '\n' && m_text[m_at] != '\r')
                return Syntax("el final de la línea", RestOfLine());
            if (!seen.insert(variable.name).second)
                return MakeFitError(FitErrorKind::DuplicateName, m_file, variable.line, {},
                                    variable.name);
            dump.variables.push_back(std::move(variable));
        }
        return dump;
    }

private:
    FitStatus ReadValue(DumpVariable& variable) {
        if (m_at == m_text.size())
            return MakeFitError(FitErrorKind::Truncated, m_file, m_line, {}, variable.name + " <-");
        if (!m_text.substr(m_at).starts_with("c(")) {
            auto value = ReadNumber();
            if (!value)
                return value.error();
            variable.values.push_back(*value);
            return FitDone{};
        }
        variable.vector = true;
        m_at += 2;
        SkipSpace(true);
        if (m_at < m_text.size() && m_text[m_at] == ')') {
            ++m_at;
            return FitDone{};
        }
        for (;;) {
            SkipSpace(true);
            if (m_at == m_text.size())
                return MakeFitError(FitErrorKind::Truncated, m_file, m_line, {},
                                    variable.name + " <- c(");
            auto value = ReadNumber();
            if (!value)
                return value.error();
            variable.values.push_back(*value);
            SkipSpace(true);
            if (m_at == m_text.size())
                return MakeFitError(FitErrorKind::Truncated, m_file, m_line, {},
                                    variable.name + " <- c(");
            const char next = m_text[m_at++];
            if (next == ')')
                return FitDone{};
            if (next != ',')
                return Syntax("«,» o «)»", std::string(1, next));
        }
    }

    FitResult<double> ReadNumber() {
        std::size_t end = m_at;
        while (end < m_text.size() && !std::isspace(static_cast<unsigned char>(m_text[end])) &&
               m_text[end] != ',' && m_text[end] != ')')
            ++end;
        const std::string_view token = m_text.substr(m_at, end - m_at);
        const auto value = ParseDumpValue(token);
        if (!value)
            return Syntax("un número o NA", token.empty() ? RestOfLine() : std::string(token));
        m_at = end;
        return *value;
    }

    void SkipSpace(bool newlines) {
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (c == '\n' && newlines)
                ++m_line;
            else if (!(IsBlank(c) || (newlines && c == '\r') ||
                       (c == '\r' && m_at + 1 < m_text.size() && m_text[m_at + 1] == '\n')))
                return;
            ++m_at;
        }
    }

    std::string RestOfLine() const {
        const std::string_view rest = m_text.substr(m_at);
        return std::string(rest.substr(0, std::min(rest.find_first_of("\r\n"), std::size_t{40})));
    }

    FitError Syntax(std::string expected, std::string found) const {
        return MakeFitError(FitErrorKind::DumpSyntax, m_file, m_line, std::move(expected),
                            std::move(found));
    }

    std::string_view m_text;
    const std::string& m_file;
    std::size_t m_at = 0;
    std::int64_t m_line = 1;
};

} // namespace

const DumpVariable* RDump::find(std::string_view name) const {
    for (const DumpVariable& variable : variables)
        if (variable.name == name)
            return &variable;
    return nullptr;
}

FitResult<RDump> ParseRDump(std::string_view text, const std::string& file) {
    return DumpParser(text, file).Parse();
}

FitResult<RDump> ReadRDump(const std::filesystem::path& path) {
    auto text = ReadTextFile(path);
    if (!text)
        return text.error();
    return ParseRDump(*text, Utf8FromPath(path));
}

} // namespace zento::fit
