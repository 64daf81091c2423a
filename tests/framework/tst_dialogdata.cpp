// Integer data exchange without widgets: what counts as a whole number, and the order in which
// boxes are written and read.
#include "framework/dialogdata.h"
#include "framework/dialogunits.h"

#include <QFont>
#include <QStandardPaths>
#include <QTest>

#include <limits>

using namespace zento;

namespace {

// Two numbers bound in the order second, first: the order is the binding's, not the ids'.
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
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("minus one") << "-1" << true << -1;
        QTest::newRow("plus sign") << "+7" << true << 7;
        QTest::newRow("blanks around") << " \t12  " << true << 12;
        QTest::newRow("leading zeros") << "007" << true << 7;
        QTest::newRow("largest") << "2147483647" << true << std::numeric_limits<int>::max();
        QTest::newRow("smallest") << "-2147483648" << true << std::numeric_limits<int>::min();
        QTest::newRow("overflow") << "2147483648" << false << 0;
        QTest::newRow("underflow") << "-2147483649" << false << 0;
        QTest::newRow("far too long") << "99999999999999999999999" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("blanks only") << "   " << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("trailing letter") << "12a" << false << 0;
        QTest::newRow("decimal") << "1.5" << false << 0;
        QTest::newRow("two signs") << "--1" << false << 0;
        QTest::newRow("blank inside") << "1 2" << false << 0;
        QTest::newRow("blank after sign") << "- 1" << false << 0;
        QTest::newRow("other digits") << QString::fromUtf8("\u0663") << false << 0;
    }
    void wholeNumbers() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const auto parsed = parseWholeNumber(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, value);
    }

    void openWritesDecimal() {
        TwoNumbers data;
        data.setBoxText(30, QStringLiteral("unbound"));
        data.open();
        QCOMPARE(data.boxText(10), "1");
        QCOMPARE(data.boxText(20), "-2");
        QCOMPARE(data.boxText(30), "unbound");
        QVERIFY(!data.accepted());
    }

    void acceptReadsInBindingOrder() {
        TwoNumbers data;
        data.open();
        data.setBoxText(10, QStringLiteral("x"));
        data.setBoxText(20, QStringLiteral("5"));
        QCOMPARE(data.accept(), std::optional<int>(10));
        QVERIFY(!data.accepted());
        QCOMPARE(data.second, 5); // read before the failing box
        QCOMPARE(data.first, 1);

        data.setBoxText(20, QStringLiteral("y"));
        QCOMPARE(data.accept(), std::optional<int>(20)); // the first bad box in binding order
        QCOMPARE(data.first, 1);

        data.setBoxText(10, QStringLiteral(" -30 "));
        data.setBoxText(20, QStringLiteral("40"));
        QCOMPARE(data.accept(), std::nullopt);
        QVERIFY(data.accepted());
        QCOMPARE(data.first, -30);
        QCOMPARE(data.second, 40);
    }

    void cancelReadsNothing() {
        TwoNumbers data;
        data.open();
        data.setBoxText(10, QStringLiteral("99"));
        data.cancel();
        QVERIFY(!data.accepted());
        QCOMPARE(data.first, 1);
    }

    void dialogUnitsFollowTheFont() {
        QFont small;
        small.setPixelSize(10);
        QFont large;
        large.setPixelSize(20);
        const DialogUnits a(small);
        const DialogUnits b(large);
        QVERIFY(b.baseWidth() > a.baseWidth());
        QVERIFY(b.baseHeight() > a.baseHeight());
        QCOMPARE(a.x(4), a.baseWidth());
        QCOMPARE(a.y(8), a.baseHeight());
        QCOMPARE(a.rect(4, 8, 8, 16),
                 QRect(a.baseWidth(), a.baseHeight(), 2 * a.baseWidth(), 2 * a.baseHeight()));
        QCOMPARE(a.size(308, 94), QSize(a.x(308), a.y(94)));
    }
};

QTEST_MAIN(TestDialogData)
#include "tst_dialogdata.moc"
