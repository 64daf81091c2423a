// Looking for the help document.
#include "app/helpdocument.h"

#include "zento/version.h"

#include <QDir>
#include <QFileInfo>

namespace zento {

HelpDocument findHelpDocument(const QString& workingDirectory, const QString& programDirectory) {
    const QString installed =
        QStringLiteral(ZENTO_MANUAL_DIR_FROM_PROGRAM "/" ZENTO_MANUAL_FILE_NAME);
    HelpDocument help;
    help.searched = {
        QDir::cleanPath(
            QDir(workingDirectory).absoluteFilePath(QStringLiteral(ZENTO_MANUAL_INDEX))),
        QDir::cleanPath(QDir(programDirectory).absoluteFilePath(installed)),
    };
    for (const QString& candidate : help.searched) {
        if (QFileInfo(candidate).isFile()) {
            help.path = candidate;
            break;
        }
    }
    return help;
}

QString missingHelpMessage(const HelpDocument& help) {
    QString places;
    for (const QString& place : help.searched)
        places += QStringLiteral("\n") + QDir::toNativeSeparators(place);
    return QStringLiteral("No se encuentra el documento de ayuda. Se ha buscado en:") + places;
}

} // namespace zento
