// Where the help document is: "manual/Index.html" in the working directory, else the copy
// installed with the program.
#pragma once

#include <QString>
#include <QStringList>

namespace zento {

struct HelpDocument {
    QString path;         // the first place that holds it; empty if none does
    QStringList searched; // every place looked at, in order, as absolute paths
};

HelpDocument findHelpDocument(const QString& workingDirectory, const QString& programDirectory);

// The Spanish message for a help document found nowhere.
QString missingHelpMessage(const HelpDocument& help);

} // namespace zento
