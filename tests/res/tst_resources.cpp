// Checks ZENTO's compiled-in images, its Windows icons, its desktop files and the help document.
#include "zento/version.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <QtTest>

#include <utility>

namespace {

const QString kResDir = QStringLiteral(ZENTO_RES_SOURCE_DIR);
const QStringList kButtons = {"new", "open", "save", "cut", "copy", "paste", "print", "about"};
const QList<int> kIconSizes = {16, 32, 48, 64, 128, 256};
constexpr int kButtonWidth = 16;
constexpr int kButtonHeight = 15;

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString scaleSuffix(int scale) {
    return scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
}

// The resource path and the source file of every entry of zento.qrc.
QList<std::pair<QString, QString>> qrcEntries() {
    QList<std::pair<QString, QString>> entries;
    QXmlStreamReader xml(readFile(kResDir + "/zento.qrc"));
    QString prefix;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"qresource")
            prefix = xml.attributes().value("prefix").toString();
        if (xml.name() == u"file") {
            const QString alias = xml.attributes().value("alias").toString();
            const QString file = xml.readElementText();
            entries.append({":" + prefix + "/" + (alias.isEmpty() ? file : alias), file});
        }
    }
    return entries;
}

QImage argb(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

struct Manual {
    QString text;         // all character data, blanks collapsed
    QStringList headings; // text of the h3 headings
    QSet<QString> ids;    // every id attribute
    QStringList links;    // every href
    QStringList sources;  // every src attribute and every external style or script element
    QList<std::pair<QString, QString>> examples; // zento-cli arguments and the text shown for them
    QString error;
};

Manual readManual() {
    Manual manual;
    QXmlStreamReader xml(readFile(QStringLiteral(ZENTO_MANUAL_SOURCE)));
    QString heading;
    int inHeading = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto attributes = xml.attributes();
            if (attributes.hasAttribute("id"))
                manual.ids.insert(attributes.value("id").toString());
            if (attributes.hasAttribute("href"))
                manual.links.append(attributes.value("href").toString());
            if (attributes.hasAttribute("src"))
                manual.sources.append(attributes.value("src").toString());
            if (xml.name() == u"link" || xml.name() == u"script")
                manual.sources.append(xml.name().toString());
            if (xml.name() == u"h3")
                ++inHeading;
            if (attributes.hasAttribute("data-zento-cli")) {
                const QString arguments = attributes.value("data-zento-cli").toString();
                manual.examples.append({arguments, xml.readElementText()});
            }
        } else if (xml.isEndElement() && xml.name() == u"h3") {
            --inHeading;
            manual.headings.append(heading.simplified());
            heading.clear();
        } else if (xml.isCharacters()) {
            manual.text += xml.text().toString() + u' ';
            if (inHeading)
                heading += xml.text();
        }
    }
    if (xml.hasError())
        manual.error = QStringLiteral("%1 (línea %2)").arg(xml.errorString()).arg(xml.lineNumber());
    manual.text = manual.text.simplified();
    return manual;
}

} // namespace

class TestResources : public QObject {
    Q_OBJECT

private slots:
    void qrcEntriesAreCompiledIn() {
        const auto entries = qrcEntries();
        QCOMPARE(entries.size(), 3 * (kButtons.size() + 1) + 2 * kIconSizes.size());
        for (const auto& [resource, file] : entries) {
            const QByteArray onDisk = readFile(kResDir + "/" + file);
            QVERIFY2(!onDisk.isEmpty(), qPrintable(file));
            QVERIFY2(readFile(resource) == onDisk, qPrintable(resource));
        }
    }

    void imageSizes_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        for (int scale = 1; scale <= 3; ++scale) {
            const QString suffix = scaleSuffix(scale);
            const QSize button(kButtonWidth * scale, kButtonHeight * scale);
            QTest::addRow("strip%s", qPrintable(suffix))
                << ":/toolbar/toolbar" + suffix + ".png"
                << QSize(button.width() * int(kButtons.size()), button.height());
            for (const QString& name : kButtons)
                QTest::addRow("%s%s", qPrintable(name), qPrintable(suffix))
                    << ":/toolbar/" + name + suffix + ".png" << button;
        }
        for (int size : kIconSizes) {
            QTest::addRow("zento-%d", size)
                << QStringLiteral(":/icons/zento-%1.png").arg(size) << QSize(size, size);
            QTest::addRow("zento-document-%d", size)
                << QStringLiteral(":/icons/zento-document-%1.png").arg(size) << QSize(size, size);
        }
    }

    void imageSizes() {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), size);
        QVERIFY(image.hasAlphaChannel());
    }

    // The strip and the separate button images are the same pictures, in toolbar order.
    void stripMatchesButtons_data() {
        QTest::addColumn<int>("scale");
        for (int scale = 1; scale <= 3; ++scale)
            QTest::addRow("%dx", scale) << scale;
    }

    void stripMatchesButtons() {
        QFETCH(int, scale);
        const QImage strip = argb(":/toolbar/toolbar" + scaleSuffix(scale) + ".png");
        for (int i = 0; i < kButtons.size(); ++i) {
            const QImage cell = strip.copy(i * kButtonWidth * scale, 0, kButtonWidth * scale,
                                           kButtonHeight * scale);
            QVERIFY2(cell == argb(":/toolbar/" + kButtons[i] + scaleSuffix(scale) + ".png"),
                     qPrintable(kButtons[i]));
        }
    }

    // Each .ico holds the six sizes with the same pixels as the PNG icons.
    void windowsIcons_data() {
        QTest::addColumn<QString>("stem");
        QTest::newRow("application") << "zento";
        QTest::newRow("document") << "zento-document";
    }

    void windowsIcons() {
        QFETCH(QString, stem);
        QImageReader reader(kResDir + "/icons/" + stem + ".ico", "ico");
        if (!reader.canRead())
            QSKIP("Qt has no reader for .ico files here");
        QCOMPARE(reader.imageCount(), kIconSizes.size());
        QSet<int> sizes;
        for (int i = 0; i < reader.imageCount(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            // Compared premultiplied: the bitmap entries are read that way.
            const auto premultiplied = QImage::Format_ARGB32_Premultiplied;
            const QImage image = reader.read().convertToFormat(premultiplied);
            QCOMPARE(image.width(), image.height());
            const QString png = QStringLiteral(":/icons/%1-%2.png").arg(stem).arg(image.width());
            QCOMPARE(image, QImage(png).convertToFormat(premultiplied));
            sizes.insert(image.width());
        }
        QCOMPARE(sizes, QSet<int>(kIconSizes.begin(), kIconSizes.end()));
    }

    // Well-formed, self-contained, and every link inside the document leads somewhere.
    void manualIsSelfContained() {
        const Manual manual = readManual();
        QVERIFY2(manual.error.isEmpty(), qPrintable(manual.error));
        QVERIFY2(manual.sources.isEmpty(), qPrintable(manual.sources.join(", ")));
        QVERIFY(!manual.links.isEmpty());
        for (const QString& link : manual.links) {
            QVERIFY2(link.startsWith(u'#'), qPrintable(link));
            QVERIFY2(manual.ids.contains(link.mid(1)), qPrintable(link));
        }
    }

    void manualNamesEveryMenuAndModel() {
        const Manual manual = readManual();
        for (const char* model : {"Logit", "Probit", "Cloglog", "Power logit", "Scobit",
                                  "Skew logit", "CDS", "BBB", "Standard"})
            QVERIFY2(manual.headings.contains(QString::fromUtf8(model)), model);
        for (const char* label : {"Archivo",
                                  "Editar",
                                  "Ver",
                                  "Modelos",
                                  "Data",
                                  "Ventana",
                                  "Ayuda",
                                  "Enlaces Simétricos",
                                  "Enlaces Asimétricos",
                                  "Skew probit",
                                  "Generar Datos para WinBUGS",
                                  "Documento Ayuda",
                                  "Acerca de ZENTO...",
                                  "Incluir Datos...",
                                  "Nueva ventana",
                                  "Cascada",
                                  "Mosaico",
                                  "Organizar iconos",
                                  "Barra de herramientas",
                                  "Barra de estado",
                                  "Preparado",
                                  "Generación de Datos para WinBUGS",
                                  "Generación del Modelo de Regresión Binaria para WinBUGS",
                                  "Ctrl+O",
                                  "Ctrl+S",
                                  "Ctrl+P",
                                  "zento-cli escanear",
                                  "zento-cli datos",
                                  "zento-cli modelo"})
            QVERIFY2(manual.text.contains(QString::fromUtf8(label)), label);
        // The keys that the menus name are the keys that work.
        const auto wrongKey =
            QRegularExpression(QStringLiteral("Ctrl\\+[AGI]\\b")).match(manual.text);
        QVERIFY2(!wrongKey.hasMatch(), qPrintable(wrongKey.captured()));
    }

    // The texts shown whole in the manual are, byte for byte but for the line ends, what ZENTO
    // writes for the example file.
    void manualExamplesAreWhatZentoWrites() {
        const Manual manual = readManual();
        QVERIFY(!manual.examples.isEmpty());
        for (const auto& [arguments, shown] : manual.examples) {
            QStringList args = arguments.split(u' ');
            for (QString& arg : args)
                if (arg.endsWith(".txt"))
                    arg = QStringLiteral(ZENTO_EXAMPLES_DIR "/") + arg;
            QProcess cli;
            cli.start(QStringLiteral(ZENTO_CLI), args);
            QVERIFY2(cli.waitForFinished(10000), qPrintable(arguments));
            QCOMPARE(cli.exitCode(), 0);
            QString written = QString::fromUtf8(cli.readAllStandardOutput()).replace("\r\n", "\n");
            if (written.endsWith(u'\n'))
                written.chop(1); // a shown text cannot end in an empty line
            QVERIFY2(shown == written, qPrintable(arguments));
        }
    }

    // ZENTO offers itself for text files but does not make every .txt file its own.
    void desktopFilesDoNotClaimTextFiles() {
        QHash<QString, QString> entry;
        for (const QByteArray& line : readFile(kResDir + "/zento.desktop").split('\n')) {
            const int eq = line.indexOf('=');
            if (eq > 0)
                entry.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
        }
        QCOMPARE(entry.value("Exec"), QStringLiteral("zento %f"));
        QCOMPARE(entry.value("Icon"), QStringLiteral(ZENTO_DESKTOP_FILE_NAME));
        QVERIFY(entry.value("MimeType").split(u';').contains("text/plain"));

        QXmlStreamReader xml(readFile(kResDir + "/zento-mime.xml"));
        QStringList parents;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            QVERIFY2(xml.name() != u"glob" && xml.name() != u"magic",
                     "claims files by name or content");
            if (xml.name() == u"sub-class-of")
                parents.append(xml.attributes().value("type").toString());
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(parents, QStringList{"text/plain"});
    }

    void versionRecord() {
        QCOMPARE(QStringLiteral(ZENTO_VERSION_STRING), QStringLiteral("1.0.0.1"));
        QCOMPARE(QString::fromUtf8(ZENTO_FILE_DESCRIPTION), QStringLiteral("Aplicación ZENTO"));
        QCOMPARE(QStringLiteral(ZENTO_INTERNAL_NAME), QStringLiteral("ZENTO"));
        QCOMPARE(QStringLiteral(ZENTO_ORIGINAL_FILENAME), QStringLiteral("ZENTO.EXE"));
        // The installed manual is found from the program's folder, wherever the tree is moved.
        const QString fromProgram = QStringLiteral(ZENTO_MANUAL_DIR_FROM_PROGRAM);
        QVERIFY(QDir::isRelativePath(fromProgram));
        QVERIFY(QDir::cleanPath("/prefix/bin/" + fromProgram).endsWith("/zento/manual"));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
