// The command line: plain file names, the print switches in all their spellings, and refusals.
#include "app/commandline.h"

#include <QTest>

using zento::CommandLineInfo;
using zento::ParseCommandLine;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void parses_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("printer");

        const QStringList none;
        QTest::newRow("nothing") << none << int(CommandLineInfo::FileNew) << none << "";
        QTest::newRow("one file") << QStringList{"a.txt"} << int(CommandLineInfo::FileOpen)
                                  << QStringList{"a.txt"} << "";
        QTest::newRow("absolute unix path is a file, not a switch")
            << QStringList{"/p/x.txt"} << int(CommandLineInfo::FileOpen) << QStringList{"/p/x.txt"}
            << "";
        QTest::newRow("several files")
            << QStringList{"a.txt", "b.txt"} << int(CommandLineInfo::FileOpen)
            << QStringList{"a.txt", "b.txt"} << "";
        QTest::newRow("dash file after --")
            << QStringList{"--", "-raro.txt", "/p"} << int(CommandLineInfo::FileOpen)
            << QStringList{"-raro.txt", "/p"} << "";
        for (const char* print : {"/p", "/P", "-p", "--imprimir"}) {
            QTest::addRow("print %s", print)
                << QStringList{print, "a.txt"} << int(CommandLineInfo::FilePrint)
                << QStringList{"a.txt"} << "";
        }
        QTest::newRow("print, file first")
            << QStringList{"a.txt", "/p"} << int(CommandLineInfo::FilePrint) << QStringList{"a.txt"}
            << "";
        for (const char* printTo : {"/pt", "/PT", "-pt", "--imprimir-en"}) {
            QTest::addRow("print to %s", printTo)
                << QStringList{printTo, "a.txt", "Láser 2"} << int(CommandLineInfo::FilePrintTo)
                << QStringList{"a.txt"} << "Láser 2";
        }
    }
    void parses() {
        QFETCH(QStringList, arguments);
        const CommandLineInfo info = ParseCommandLine(arguments);
        QCOMPARE(info.error, QString());
        QTEST(int(info.shellCommand), "command");
        QTEST(info.fileNames, "files");
        QTEST(info.printerName, "printer");
    }

    void refuses_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("unknown option") << QStringList{"--ayuda"} << "Opción desconocida: --ayuda";
        QTest::newRow("print without file") << QStringList{"/p"} << "un solo archivo";
        QTest::newRow("print two files") << QStringList{"/p", "a", "b"} << "un solo archivo";
        QTest::newRow("print to without printer") << QStringList{"/pt", "a"} << "la impresora";
        QTest::newRow("print to, too many") << QStringList{"/pt", "a", "b", "c"} << "la impresora";
    }
    void refuses() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, sentence);
        const CommandLineInfo info = ParseCommandLine(arguments);
        QVERIFY2(info.error.contains(sentence), qPrintable(info.error));
        QVERIFY(info.error.contains(QStringLiteral("Uso: zento")));
        QVERIFY(info.fileNames.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
