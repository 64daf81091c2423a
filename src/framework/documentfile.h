// Reading and writing the bytes of a document file. A failure comes back as one Spanish
// sentence for the user; saving goes through a temporary file, so a failed save leaves the old
// file as it was.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace zento {

// Documents larger than this are refused rather than loaded into the edit control.
inline constexpr qint64 kMaxDocumentBytes = qint64{1} << 30;

struct DocumentFileRead {
    QByteArray bytes;
    std::optional<QString> error; // set when the file could not be read; bytes are then empty
};

DocumentFileRead readDocumentFile(const QString& path);

// nullopt when the whole of bytes is in the file.
std::optional<QString> writeDocumentFile(const QString& path, QByteArrayView bytes);

} // namespace zento
