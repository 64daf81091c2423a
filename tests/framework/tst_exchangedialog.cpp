// The modal dialog with integer data exchange, driven through its widgets.
#include "framework/dialogunits.h"
#include "framework/exchangedialog.h"

#include "common/focuschain.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

using namespace zento;

namespace {

class Numbers : public DialogData {
public:
    Numbers() {
        bindInteger(20, second);
        bindInteger(10, first);
    }
    std::int32_t first = 3;
    std::int32_t second = 4;
};

constexpr ControlTemplate kControls[] = {
    {ControlTemplate::DefaultButton, IDOK, "Aceptar", 10, 50, 50, 14},
    {ControlTemplate::Button, IDCANCEL, "Cancelar", 70, 50, 50, 14},
    {ControlTemplate::Label, 0, "Primero", 5, 5, 40, 10},
    {ControlTemplate::Edit, 10, "", 50, 5, 30, 14},
    {ControlTemplate::Edit, 20, "", 50, 25, 30, 14},
    {ControlTemplate::ReadOnlyEdit, 30, "", 90, 5, 30, 14},
};
constexpr DialogTemplate kTemplate{7, "Números", "Sans Serif", 8, 200, 70, kControls};

class NumbersDialog : public ExchangeDialog {
public:
    NumbersDialog() : ExchangeDialog(nullptr) { createControls(kTemplate); }
    Numbers numbers;

protected:
    DialogData& data() override { return numbers; }
};

QPushButton* button(QWidget* dialog, int id) {
    return qobject_cast<QPushButton*>(findControl(dialog, id));
}

} // namespace

class TestExchangeDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void builtFromTemplate() {
        NumbersDialog dialog;
        QCOMPARE(dialog.windowTitle(), "Números");
        const DialogUnits units(dialog.font());
        QCOMPARE(dialog.size(), units.size(200, 70));
        QCOMPARE(dialog.box(20)->geometry(), units.rect(50, 25, 30, 14));
        QVERIFY(button(&dialog, IDOK)->isDefault());
        QVERIFY(!button(&dialog, IDCANCEL)->isDefault());
        QVERIFY(dialog.box(30)->isReadOnly());
        QVERIFY(!dialog.box(10)->isReadOnly());
        QCOMPARE(dialog.findChild<QLabel*>()->text(), "Primero");

        // Tab order is template order; labels take no focus.
        const QList<QWidget*> expected{button(&dialog, IDOK), button(&dialog, IDCANCEL),
                                       dialog.box(10), dialog.box(20), dialog.box(30)};
        QCOMPARE(testing::TabOrder(&dialog), expected);
    }

    void opensWithTheMembers() {
        NumbersDialog dialog;
        QCOMPARE(dialog.box(10)->text(), QString()); // nothing before it opens
        dialog.show();
        QCOMPARE(dialog.box(10)->text(), "3");
        QCOMPARE(dialog.box(20)->text(), "4");
        QCOMPARE(dialog.box(30)->text(), QString());
        dialog.box(10)->setText(QStringLiteral("8"));
        dialog.hide();
        dialog.show(); // only the first showing loads the members
        QCOMPARE(dialog.box(10)->text(), "8");
    }

    void badNumberKeepsTheDialogOpen() {
        NumbersDialog dialog;
        dialog.open();
        dialog.box(10)->clear();
        QTest::keyClicks(dialog.box(10), QStringLiteral("abc"));
        dialog.box(20)->setText(QStringLiteral("12"));
        QTest::mouseClick(button(&dialog, IDOK), Qt::LeftButton);

        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        auto* message = dialog.findChild<QMessageBox*>();
        QVERIFY(message);
        QCOMPARE(message->text(), "Escriba un número entero.");
        QCOMPARE(dialog.focusWidget(), dialog.box(10));
        QCOMPARE(dialog.box(10)->selectedText(), "abc");
        QCOMPARE(dialog.numbers.second, 12); // read before the bad box, as the order says
        QCOMPARE(dialog.numbers.first, 3);
        message->close();

        dialog.box(10)->setText(QStringLiteral("-5"));
        QTest::mouseClick(button(&dialog, IDOK), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.numbers.accepted());
        QCOMPARE(dialog.numbers.first, -5);
    }

    void closingWithoutAceptarReadsNothing_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("Cancelar") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("close box") << 2;
    }
    void closingWithoutAceptarReadsNothing() {
        QFETCH(int, how);
        NumbersDialog dialog;
        dialog.open();
        dialog.box(10)->setText(QStringLiteral("100"));
        dialog.box(20)->setText(QStringLiteral("letters"));
        switch (how) {
        case 0:
            QTest::mouseClick(button(&dialog, IDCANCEL), Qt::LeftButton);
            break;
        case 1:
            QTest::keyClick(&dialog, Qt::Key_Escape);
            break;
        case 2:
            dialog.close();
            break;
        }
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.numbers.accepted());
        QCOMPARE(dialog.numbers.first, 3);
        QVERIFY(!dialog.findChild<QMessageBox*>());
    }
};

QTEST_MAIN(TestExchangeDialog)
#include "tst_exchangedialog.moc"
