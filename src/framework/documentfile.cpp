// Document files on disk.
#include "framework/documentfile.h"

#include "datafile/dataerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace zento {

namespace {

QString quoted(const QString& path) {
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

QString systemReason(int systemError) {
    return QString::fromStdString(DescribeSystemError(systemError));
}

QString cannotOpen(const QString& path, const QString& reason) {
    return QStringLiteral("No se puede abrir el documento %1: %2.").arg(quoted(path), reason);
}

QString cannotSave(const QString& path, const QString& reason) {
    return QStringLiteral("No se puede guardar el documento %1: %2. El archivo y el documento "
                          "quedan como estaban.")
        .arg(quoted(path), reason);
}

// Why a save failed: what the path shows, else what the system said.
QString saveFailureReason(const QFileInfo& info, int systemError) {
    if (!info.absoluteDir().exists())
        return QStringLiteral("la carpeta no existe");
    if (info.isDir())
        return systemReason(EISDIR);
    return systemReason(systemError);
}

} // namespace

DocumentFileRead readDocumentFile(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return {{}, cannotOpen(path, systemReason(EISDIR))};
    if (info.exists() && !info.isFile())
        return {{}, cannotOpen(path, QStringLiteral("no es un archivo normal"))};
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        const int systemError = errno != 0 ? errno : info.exists() ? EACCES : ENOENT;
        return {{}, cannotOpen(path, systemReason(systemError))};
    }
    if (file.size() > kMaxDocumentBytes) {
        return {{},
                QStringLiteral("El documento %1 es demasiado grande para abrirlo: tiene %2 bytes "
                               "y el máximo es %3.")
                    .arg(quoted(path))
                    .arg(file.size())
                    .arg(kMaxDocumentBytes)};
    }
    errno = 0;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{},
                QStringLiteral("No se puede leer el documento %1: %2.")
                    .arg(quoted(path), systemReason(errno))};
    return {std::move(bytes), std::nullopt};
}

std::optional<QString> writeDocumentFile(const QString& path, QByteArrayView bytes) {
    const QFileInfo info(path);
    if (info.isDir())
        return cannotSave(path, saveFailureReason(info, EISDIR));
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return cannotSave(path, saveFailureReason(info, errno));
    errno = 0;
    if (file.write(bytes.data(), bytes.size()) != bytes.size()) {
        const int systemError = errno;
        file.cancelWriting();
        return cannotSave(path, saveFailureReason(info, systemError));
    }
    errno = 0;
    if (!file.commit())
        return cannotSave(path, saveFailureReason(info, errno));
    return std::nullopt;
}

} // namespace zento
