// The command line: plain file names, the print switches in all their spellings, and refusals.
#include "app/commandline.h"

#include <QTest>

using zento::CommandLineInfo;

namespace {

// "new", "open a|b", "print a", "print a to P", or the first line of the refusal.
QString describe(const CommandLineInfo& info) {
    if (!info.error.isEmpty())
        return info.error.section('\n', 0, 0);
    const QString files = info.fileNames.join('|');
    switch (info.shellCommand) {
    case CommandLineInfo::FileNew:
        return "new";
    case CommandLineInfo::FileOpen:
        return "open " + files;
    case CommandLineInfo::FilePrint:
        return "print " + files;
    case CommandLineInfo::FilePrintTo:
        return "print " + files + " to " + info.printerName;
    }
    return {};
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void parse_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        const QList<std::pair<QStringList, QString>> table = {
            {{}, "new"},
            {{"a.txt", "b.txt"}, "open a.txt|b.txt"},
            {{"/p/x.txt"}, "open /p/x.txt"}, // a path, not a switch
            {{"--", "-raro.txt", "/p"}, "open -raro.txt|/p"},
            {{"/p", "a.txt"}, "print a.txt"},
            {{"a.txt", "/P"}, "print a.txt"},
            {{"-p", "a.txt"}, "print a.txt"},
            {{"--imprimir", "a.txt"}, "print a.txt"},
            {{"/pt", "a.txt", "Láser 2"}, "print a.txt to Láser 2"},
            {{"-PT", "a.txt", "L"}, "print a.txt to L"},
            {{"--imprimir-en", "a.txt", "L"}, "print a.txt to L"},
            {{"--ayuda"}, "Opción desconocida: --ayuda"},
            {{"/p"}, "Para imprimir hay que nombrar un solo archivo."},
            {{"/p", "a", "b"}, "Para imprimir hay que nombrar un solo archivo."},
            {{"/pt", "a"},
             "Para imprimir en una impresora hay que nombrar un archivo y la impresora."},
            {{"/pt", "a", "b", "c"},
             "Para imprimir en una impresora hay que nombrar un archivo y la impresora."},
        };
        for (const auto& [arguments, expected] : table)
            QTest::newRow(qPrintable(arguments.join(' '))) << arguments << expected;
    }
    void parse() {
        QFETCH(QStringList, arguments);
        const CommandLineInfo info = zento::ParseCommandLine(arguments);
        QTEST(describe(info), "expected");
        QCOMPARE(info.error.isEmpty(), !info.error.contains("Uso: zento"));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
