// Documents in the multiple-document area: new, open, save, close, more windows, commands.
#include "docview/childframe.h"
#include "docview/documentmanager.h"
#include "docview/zentodoc.h"
#include "docview/zentoview.h"
#include "framework/commands.h"

#include "../common/tempdir.h"

#include <QMdiArea>
#include <QStandardPaths>
#include <QTest>

using namespace zento;
using zento::testing::ReadFile;
using zento::testing::TempDir;

class TestDocumentManager : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void newDocumentsAreNumbered() {
        QMdiArea area;
        area.show();
        DocumentManager manager(&area);
        QCOMPARE(manager.newDocument()->GetTitle(), QStringLiteral("Texto1"));
        QCOMPARE(manager.newDocument()->GetTitle(), QStringLiteral("Texto2"));
        QCOMPARE(manager.documentCount(), 2);
        QCOMPARE(manager.activeDocument()->GetTitle(), QStringLiteral("Texto2"));
    }

    void openAndSaveAreByteExact() {
        TempDir dir;
        const std::string bytes = "a\r\nb\nc\rd\x80\xff";
        const QString path = QString::fromStdString(dir.Write("in.txt", bytes));
        QMdiArea area;
        area.show();
        DocumentManager manager(&area);
        CZENTODoc* document = manager.openDocument(path);
        QVERIFY(document);
        QVERIFY(manager.saveDocument(document));
        QCOMPARE(ReadFile(path.toStdString()), bytes);
    }
};

QTEST_MAIN(TestDocumentManager)
#include "tst_documentmanager.moc"
