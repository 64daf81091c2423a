// Integer data exchange without widgets: what counts as a whole number, and the order in which
// the boxes are read.
#include "framework/dialogdata.h"

#include <QStandardPaths>
#include <QTest>

#include <limits>

using namespace zento;

namespace {

// Bound in the order second, first: reading follows the binding, not the ids.
class TwoNumbers : public DialogData {
public:
    TwoNumbers() {
        bindInteger(20, second);
        bindInteger(10, first);
    }
    std::int32_t first = 1;
    std::int32_t second = -2;
};

} // namespace

class TestDialogData : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void wholeNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<int>>("value");
        const std::optional<int> bad;
        QTest::newRow("zero") << "0" << std::optional(0);
        QTest::newRow("signs and blanks") << " \t-12  " << std::optional(-12);
        QTest::newRow("plus sign") << "+007" << std::optional(7);
        QTest::newRow("largest") << "2147483647" << std::optional(std::numeric_limits<int>::max());
        QTest::newRow("smallest") << "-2147483648"
                                  << std::optional(std::numeric_limits<int>::min());
        QTest::newRow("overflow") << "2147483648" << bad;
        QTest::newRow("underflow") << "-2147483649" << bad;
        QTest::newRow("far too long") << "99999999999999999999999" << bad;
        for (const char* text : {"", "   ", "-", "abc", "12a", "1.5", "--1", "1 2", "- 1"})
            QTest::addRow("'%s'", text) << QString::fromLatin1(text) << bad;
        QTest::newRow("other digits") << QStringLiteral("\u0663") << bad;
    }
    void wholeNumbers() {
        QFETCH(QString, text);
        QFETCH(std::optional<int>, value);
        QCOMPARE(parseWholeNumber(text), value);
    }

    void exchangeOrder() {
        TwoNumbers data;
        data.open();
        QCOMPARE(data.boxText(10), "1");
        QCOMPARE(data.boxText(20), "-2");

        data.setBoxText(10, QStringLiteral("x"));
        data.setBoxText(20, QStringLiteral("y"));
        QCOMPARE(data.accept(), std::optional(20)); // the first bad box in binding order
        data.setBoxText(20, QStringLiteral("5"));
        QCOMPARE(data.accept(), std::optional(10));
        QCOMPARE(data.second, 5); // read before the bad box
        QCOMPARE(data.first, 1);
        QVERIFY(!data.accepted());

        data.setBoxText(10, QStringLiteral("30"));
        QCOMPARE(data.accept(), std::nullopt);
        QVERIFY(data.accepted());
        QCOMPARE(data.first, 30);
        data.cancel();
        QVERIFY(!data.accepted());
    }
};

QTEST_MAIN(TestDialogData)
#include "tst_dialogdata.moc"
