// What the command line asks for: a new document, opening files, or printing one.
#pragma once

#include <QString>
#include <QStringList>

namespace zento {

struct CommandLineInfo {
    enum ShellCommand {
        FileNew,     // no argument: one new empty document
        FileOpen,    // open each of fileNames (a folder: the results of a fit or a comparison)
        FilePrint,   // print fileNames[0] on the default printer, then end
        FilePrintTo, // print fileNames[0] on printerName, then end (driver and port ignored)
    };
    ShellCommand shellCommand = FileNew;
    QStringList fileNames;
    QString printerName;
    QString error; // not empty: the arguments make no sense; a Spanish sentence with the usage
};

// The arguments after the program's name (Qt's own options already taken out). A file name is
// any argument but the print switches "/p", "/pt" ("-p", "-pt" and any letter case too),
// "--imprimir" and "--imprimir-en"; other arguments starting with "-" are refused unless they
// follow "--".
CommandLineInfo ParseCommandLine(const QStringList& arguments);

} // namespace zento
