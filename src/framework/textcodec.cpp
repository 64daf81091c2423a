// Decoding and encoding document text.
#include "framework/textcodec.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstring>
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

// The byte for a character, -1 for one that Windows-1252 lacks.
int unicodeToWindows1252(char16_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return character;
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == character)
            return int(0x80 + i);
    }
    return -1;
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

// What a text's line ends and break-like characters say about its round trip, gathered piece
// by piece. memchr does the searching: far faster than a loop over every byte.
struct TextShape {
    std::optional<LineEnd> first;
    bool mixed = false;
    bool breakLike = false; // U+2029, U+FDD0 or U+FDD1 in UTF-8

    // piece must not end inside a CR LF or a character, unless it ends the text.
    void scan(QByteArrayView piece) {
        const char* p = piece.data();
        const char* const end = p + piece.size();
        while (p != end) {
            const auto* lf = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
            const char* const lineEnd = lf ? lf : end;
            for (const char* cr = p;
                 (cr = static_cast<const char*>(std::memchr(cr, '\r', std::size_t(lineEnd - cr))));
                 ++cr)
                note(lf && cr + 1 == lf ? LineEnd::CrLf : LineEnd::Cr);
            if (!lf)
                break;
            if (lf == p || lf[-1] != '\r')
                note(LineEnd::Lf);
            p = lf + 1;
        }
        breakLike = breakLike || hasBreakLike(piece);
    }

private:
    void note(LineEnd kind) {
        if (!first)
            first = kind;
        else if (kind != *first)
            mixed = true;
    }

    // E2 80 A9, EF B7 90 and EF B7 91.
    static bool hasBreakLike(QByteArrayView piece) {
        const auto* const begin = reinterpret_cast<const unsigned char*>(piece.data());
        const auto* const end = begin + piece.size();
        for (const unsigned char lead : {0xE2, 0xEF}) {
            for (const unsigned char* p = begin; (p = static_cast<const unsigned char*>(
                                                      std::memchr(p, lead, std::size_t(end - p))));
                 ++p) {
                if (end - p >= 3 && ((lead == 0xE2 && p[1] == 0x80 && p[2] == 0xA9) ||
                                     (lead == 0xEF && p[1] == 0xB7 && (p[2] & 0xFE) == 0x90)))
                    return true;
            }
        }
        return false;
    }
};

// Where the piece that starts at start ends: after the first line end once pieceBytes are
// taken, or at the end of bytes.
qsizetype pieceEnd(QByteArrayView bytes, qsizetype start, qsizetype pieceBytes) {
    const qsizetype from = start + std::max<qsizetype>(pieceBytes, 1) - 1;
    if (from >= bytes.size())
        return bytes.size();
    const void* lf = std::memchr(bytes.data() + from, '\n', std::size_t(bytes.size() - from));
    return lf ? static_cast<const char*>(lf) - bytes.data() + 1 : bytes.size();
}

} // namespace

DecodedText decodeText(QByteArrayView bytes) {
    QString text;
    DecodedText decoded =
        decodeTextInPieces(bytes, bytes.size(), [&text](QString piece) { text += piece; });
    decoded.text = std::move(text);
    return decoded;
}

DecodedText decodeTextInPieces(QByteArrayView bytes, qsizetype pieceBytes,
                               const std::function<void(QString piece)>& take) {
    DecodedText decoded;
    const bool utf8 = bytes.isValidUtf8();
    decoded.format.codec = utf8 ? TextCodec::Utf8 : TextCodec::Windows1252;
    TextShape shape;
    bool decoderAgreed = true;
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end = pieceEnd(bytes, start, pieceBytes);
        const QByteArrayView piece = bytes.sliced(start, end - start);
        shape.scan(piece);
        if (utf8) {
            QStringDecoder decoder(QStringConverter::Utf8,
                                   QStringConverter::Flag::Stateless |
                                       QStringConverter::Flag::ConvertInitialBom);
            QString text = decoder.decode(piece);
            // Bytes that passed the validity check always decode; should they not, the bytes
            // are kept so that they still come back.
            decoderAgreed = decoderAgreed && !decoder.hasError();
            take(std::move(text));
        } else {
            take(fromWindows1252(piece));
        }
        start = end;
    }
    decoded.format.lineEnd = shape.first.value_or(LineEnd::CrLf);
    decoded.exact = !shape.mixed && !(utf8 && shape.breakLike) && decoderAgreed;
    return decoded;
}

QByteArray encodeText(QStringView text, TextFormat format) {
    const QByteArrayView lineEnd = lineEndBytes(format.lineEnd);
    if (format.codec == TextCodec::Windows1252) {
        if (std::optional<QByteArray> bytes = toWindows1252(text, lineEnd))
            return *std::move(bytes);
    }
    return toUtf8(text, lineEnd);
}

} // namespace zento
