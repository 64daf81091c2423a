// Parsing the command line.
#include "app/commandline.h"

namespace zento {

namespace {

bool isSwitch(const QString& argument, std::initializer_list<const char*> spellings) {
    for (const char* spelling : spellings) {
        if (argument.compare(QLatin1String(spelling), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString usage() {
    return QStringLiteral(
        "Uso: zento [ARCHIVO... | CARPETA...]          (una carpeta ajustada con JAGS)\n"
        "       zento /p ARCHIVO                                 (o --imprimir ARCHIVO)\n"
        "       zento /pt ARCHIVO IMPRESORA [CONTROLADOR PUERTO] (o --imprimir-en ...)");
}

CommandLineInfo failure(const QString& sentence) {
    CommandLineInfo info;
    info.error = sentence + QLatin1Char('\n') + usage();
    return info;
}

} // namespace

CommandLineInfo ParseCommandLine(const QStringList& arguments) {
    CommandLineInfo info;
    QStringList plain; // the arguments that are not switches, in order
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (optionsEnded) {
            plain.append(argument);
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (isSwitch(argument, {"/p", "-p", "--imprimir"})) {
            info.shellCommand = CommandLineInfo::FilePrint;
        } else if (isSwitch(argument, {"/pt", "-pt", "--imprimir-en"})) {
            info.shellCommand = CommandLineInfo::FilePrintTo;
        } else if (argument.startsWith(QLatin1Char('-'))) {
            return failure(QStringLiteral("Opción desconocida: %1").arg(argument));
        } else {
            plain.append(argument);
        }
    }

    switch (info.shellCommand) {
    case CommandLineInfo::FileNew:
    case CommandLineInfo::FileOpen:
        info.fileNames = plain;
        info.shellCommand = plain.isEmpty() ? CommandLineInfo::FileNew : CommandLineInfo::FileOpen;
        break;
    case CommandLineInfo::FilePrint:
        if (plain.size() != 1)
            return failure(QStringLiteral("Para imprimir hay que nombrar un solo archivo."));
        info.fileNames = plain;
        break;
    case CommandLineInfo::FilePrintTo:
        // The driver and the port, which older shells pass too, say nothing the printer's name
        // does not.
        if (plain.size() != 2 && plain.size() != 4)
            return failure(
                QStringLiteral("Para imprimir en una impresora hay que nombrar un archivo y la "
                               "impresora (y, si se quiere, el controlador y el puerto)."));
        info.fileNames = {plain.at(0)};
        info.printerName = plain.at(1);
        break;
    }
    return info;
}

} // namespace zento
