// Checks ZENTO's compiled-in images, its desktop files, where the installed help document is
// found, and the help document itself.
#include "framework/commands.h"
#include "winbugs/models.h"
#include "zento/version.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString kResDir = QStringLiteral(ZENTO_RES_SOURCE_DIR);

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestResources : public QObject {
    Q_OBJECT

private slots:
    // The strip holds the eight 16 x 15 buttons at each scale; each icon comes at six sizes.
    void images() {
        for (int scale = 1; scale <= 3; ++scale) {
            const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
            const QImage strip(":/toolbar/toolbar" + suffix + ".png");
            QVERIFY(strip.hasAlphaChannel());
            QCOMPARE(strip.size(), QSize(16 * scale * 8, 15 * scale));
        }
        for (const QString stem : {"zento", "zento-document"}) {
            for (const int size : {16, 32, 48, 64, 128, 256})
                QCOMPARE(QImage(QStringLiteral(":/icons/%1-%2.png").arg(stem).arg(size)).size(),
                         QSize(size, size));
        }
    }

    // The help document: well-formed and self-contained, every link leading somewhere inside;
    // every model explained under its menu label, and no key named that does not work; the texts
    // shown whole are, but for the line ends, what ZENTO writes for the example.
    void manual() {
        QXmlStreamReader xml(readFile(QStringLiteral(ZENTO_MANUAL_SOURCE)));
        const QDir manualFolder = QFileInfo(QStringLiteral(ZENTO_MANUAL_SOURCE)).dir();
        QString text, heading;
        QStringList headings, links;
        QSet<QString> ids;
        QList<std::pair<QString, QString>> examples; // zento-cli arguments and the text shown
        bool inHeading = false;
        while (!xml.atEnd()) {
            xml.readNext();
            const auto attributes = xml.attributes();
            if (xml.isStartElement()) {
                // Pictures only, and only of the manual's own folder.
                const QString source = attributes.value("src").toString();
                QVERIFY2(source.isEmpty() || (xml.name() == u"img" && source.startsWith("img/") &&
                                              !source.contains("..") &&
                                              QFileInfo(manualFolder.filePath(source)).isFile()),
                         qPrintable(source));
                QVERIFY2(xml.name() != u"link" && xml.name() != u"script",
                         qPrintable(xml.name().toString()));
                if (attributes.hasAttribute("id"))
                    ids.insert(attributes.value("id").toString());
                if (attributes.hasAttribute("href"))
                    links.append(attributes.value("href").toString());
                inHeading = inHeading || xml.name() == u"h3";
                if (attributes.hasAttribute("data-zento-cli"))
                    examples.append(
                        {attributes.value("data-zento-cli").toString(), xml.readElementText()});
            } else if (xml.isEndElement() && xml.name() == u"h3") {
                headings.append(heading.simplified());
                heading.clear();
                inHeading = false;
            } else if (xml.isCharacters()) {
                text += xml.text().toString() + u' ';
                if (inHeading)
                    heading += xml.text();
            }
        }
        QVERIFY2(!xml.hasError(),
                 qPrintable(
                     QStringLiteral("%1 (línea %2)").arg(xml.errorString()).arg(xml.lineNumber())));
        text = text.simplified();
        QVERIFY(!links.isEmpty());
        for (const QString& link : links)
            QVERIFY2(link.startsWith(u'#') && ids.contains(link.mid(1)), qPrintable(link));

        for (const zento::LinkInfo& link : zento::Links())
            QVERIFY2(headings.contains(zento::toQString(link.label)), link.label.data());
        const auto wrongKey = QRegularExpression(QStringLiteral("Ctrl\\+[AGI]\\b")).match(text);
        QVERIFY2(!wrongKey.hasMatch(), qPrintable(wrongKey.captured()));

        QVERIFY(!examples.isEmpty());
        for (const auto& [arguments, shown] : examples) {
            QStringList args = arguments.split(u' ');
            for (QString& arg : args)
                if (arg.endsWith(".txt"))
                    arg = QStringLiteral(ZENTO_EXAMPLES_DIR "/") + arg;
            QProcess cli;
            cli.start(QStringLiteral(ZENTO_CLI), args);
            QVERIFY2(cli.waitForFinished(10000) && cli.exitCode() == 0, qPrintable(arguments));
            QString written = QString::fromUtf8(cli.readAllStandardOutput()).replace("\r\n", "\n");
            if (written.endsWith(u'\n'))
                written.chop(1); // a shown text cannot end in an empty line
            QVERIFY2(shown == written, qPrintable(arguments));
        }
    }

    // ZENTO offers itself for text files but does not make every .txt file its own.
    void desktopFilesDoNotClaimTextFiles() {
        const QString entry = QString::fromUtf8(readFile(kResDir + "/zento.desktop"));
        QVERIFY(entry.contains(QStringLiteral("\nExec=zento %f\n")));
        QVERIFY(entry.contains(QStringLiteral("\nIcon=" ZENTO_DESKTOP_FILE_NAME "\n")));
        QVERIFY(entry.contains(QRegularExpression("\\nMimeType=(.*;)?text/plain(;|\\n)")));
        const QByteArray mime = readFile(kResDir + "/zento-mime.xml");
        QVERIFY(mime.contains("<sub-class-of type=\"text/plain\"/>"));
        QVERIFY2(!mime.contains("<glob") && !mime.contains("<magic"),
                 "claims files by name or content");
    }

    void versionRecord() {
        QCOMPARE(QStringLiteral(ZENTO_VERSION_STRING " " ZENTO_FILE_DESCRIPTION),
                 QStringLiteral("1.0.0.1 Aplicación ZENTO"));
        // The installed manual is found from the program's folder, wherever the tree is moved.
        const QString fromProgram = QStringLiteral(ZENTO_MANUAL_DIR_FROM_PROGRAM);
        QVERIFY(QDir::isRelativePath(fromProgram));
        QVERIFY(QDir::cleanPath("/prefix/bin/" + fromProgram).endsWith("/zento/manual"));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
