// The edit view's generating commands, driven through the selection dialog's seam.
#include "dialogs/selectiondialog.h"
#include "docview/zentodoc.h"
#include "docview/zentoview.h"
#include "framework/commands.h"
#include "winbugs/models.h"

#include <QStandardPaths>
#include <QTest>

using namespace zento;

namespace {

QString dataFile(const char* name) {
    return QStringLiteral(ZENTO_EXAMPLES_DIR "/") + QString::fromLatin1(name);
}

} // namespace

class TestZentoView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void logitPutsTheBuilderText() {
        CZENTODoc document;
        CZENTOView view;
        view.attachDocument(&document);
        view.setSelectionRunner([](SelectionDialog& dialog) {
            dialog.setFilePicker([](QWidget*) { return dataFile("vaso.txt"); });
            dialog.OnIncluirDatos();
            dialog.accept();
        });
        QVERIFY(view.onCommand(ID_MODELOS_LOGIT));
        QVERIFY(!view.textBytes().isEmpty());
        QVERIFY(!document.IsModified());
    }
};

QTEST_MAIN(TestZentoView)
#include "tst_zentoview.moc"
