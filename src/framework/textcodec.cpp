// Decoding and encoding document text.
#include "framework/textcodec.h"

#include <QStringDecoder>

#include <array>
#include <optional>

namespace zento {

namespace {

// Bytes 0x80 to 0x9F of Windows-1252; 0x81, 0x8D, 0x8F, 0x90 and 0x9D are undefined there and
// stand for the control characters of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char16_t kParagraphSeparator = 0x2029;

QByteArrayView lineEndBytes(LineEnd lineEnd) {
    switch (lineEnd) {
    case LineEnd::Lf:
        return "\n";
    case LineEnd::Cr:
        return "\r";
    case LineEnd::CrLf:
        break;
    }
    return "\r\n";
}

bool isLineBreak(char16_t c) {
    return c == kParagraphSeparator || c == u'\n';
}

QString fromWindows1252(QByteArrayView bytes) {
    QString text = QString::fromLatin1(bytes);
    char16_t* c = reinterpret_cast<char16_t*>(text.data());
    for (char16_t* end = c + text.size(); c != end; ++c) {
        if (*c >= 0x80 && *c < 0xA0)
            *c = kHighControls[*c - 0x80];
    }
    return text;
}

std::optional<QByteArray> toWindows1252(QStringView text, QByteArrayView lineEnd) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (isLineBreak(c)) {
            bytes.append(lineEnd);
            continue;
        }
        const int byte = unicodeToWindows1252(c);
        if (byte < 0)
            return std::nullopt;
        bytes.append(char(byte));
    }
    return bytes;
}

QByteArray toUtf8(QStringView text, QByteArrayView lineEnd) {
    QByteArray bytes;
    bytes.reserve(text.size() + text.size() / 16);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isLineBreak(text[i].unicode()))
            continue;
        bytes.append(text.sliced(start, i - start).toUtf8());
        if (i < text.size())
            bytes.append(lineEnd);
        start = i + 1;
    }
    return bytes;
}

} // namespace

char16_t windows1252ToUnicode(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char16_t(byte);
}

int unicodeToWindows1252(char16_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return character;
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == character)
            return int(0x80 + i);
    }
    return -1;
}

DecodedText decodeText(QByteArrayView bytes) {
    DecodedText decoded;
    // One pass finds the line ends and the UTF-8 forms of U+2029, U+FDD0 and U+FDD1.
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    bool seenLineEnd = false;
    bool mixed = false;
    bool breakLike = false;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char c = p[i];
        if (c > '\r' && c < 0xE2)
            continue;
        LineEnd kind;
        if (c == '\n') {
            kind = LineEnd::Lf;
        } else if (c == '\r') {
            kind = LineEnd::Cr;
            if (i + 1 < n && p[i + 1] == '\n') {
                kind = LineEnd::CrLf;
                ++i;
            }
        } else {
            if (i + 2 < n && ((c == 0xE2 && p[i + 1] == 0x80 && p[i + 2] == 0xA9) ||
                              (c == 0xEF && p[i + 1] == 0xB7 && (p[i + 2] & 0xFE) == 0x90)))
                breakLike = true;
            continue;
        }
        if (!seenLineEnd) {
            decoded.format.lineEnd = kind;
            seenLineEnd = true;
        } else if (kind != decoded.format.lineEnd) {
            mixed = true;
        }
    }

    if (bytes.isValidUtf8()) {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                        QStringConverter::Flag::ConvertInitialBom);
        decoded.text = utf8.decode(bytes);
        decoded.format.codec = TextCodec::Utf8;
        decoded.exact = !mixed && !breakLike;
        if (!utf8.hasError())
            return decoded;
    }
    decoded.text = fromWindows1252(bytes);
    decoded.format.codec = TextCodec::Windows1252;
    decoded.exact = !mixed;
    return decoded;
}

QByteArray encodeText(QStringView text, TextFormat format, TextFormat* encodedFormat) {
    const QByteArrayView lineEnd = lineEndBytes(format.lineEnd);
    if (format.codec == TextCodec::Windows1252) {
        if (std::optional<QByteArray> bytes = toWindows1252(text, lineEnd)) {
            if (encodedFormat)
                *encodedFormat = format;
            return *std::move(bytes);
        }
        format.codec = TextCodec::Utf8;
    }
    if (encodedFormat)
        *encodedFormat = format;
    return toUtf8(text, lineEnd);
}

} // namespace zento
