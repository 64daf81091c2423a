// Document text between bytes and the edit control: the code page and the line-end convention
// of a file are found and remembered, so that the bytes come back unchanged.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <functional>

namespace zento {

enum class TextCodec {
    Utf8,        // bytes that are valid UTF-8 (a leading byte-order mark is kept as U+FEFF)
    Windows1252, // anything else: every byte is one character, so every byte comes back
};

enum class LineEnd { CrLf, Lf, Cr };

struct TextFormat {
    TextCodec codec = TextCodec::Utf8;
    LineEnd lineEnd = LineEnd::CrLf; // the convention of the first line end, CR LF if none

    friend bool operator==(const TextFormat&, const TextFormat&) = default;
};

struct DecodedText {
    QString text; // line ends as they were (CR LF, LF or CR), which the edit control all takes
    TextFormat format;
    // Whether encodeText of what the edit control makes of text gives the bytes back: false
    // when line ends are mixed, or when the text holds a character that the edit control turns
    // into a line break (U+2029, U+FDD0, U+FDD1). The caller keeps the bytes when it is false.
    bool exact = true;
};

DecodedText decodeText(QByteArrayView bytes);

// The same for a big text that should not be held twice: the text reaches take in pieces of
// about pieceBytes bytes, each ending after a line end (or at the end of bytes), and the
// result's text stays empty.
DecodedText decodeTextInPieces(QByteArrayView bytes, qsizetype pieceBytes,
                               const std::function<void(QString piece)>& take);

// The edit control's text (lines separated by U+2029 or LF) as bytes in format. A character
// that Windows-1252 lacks makes the whole text UTF-8.
QByteArray encodeText(QStringView text, TextFormat format);

} // namespace zento
