// Document text through the edit view: the bytes put in come back unchanged, whatever their
// code page and line ends; edited text keeps the file's line ends and code page.
#include "framework/editview.h"
#include "framework/textcodec.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>

using namespace zento;

Q_DECLARE_METATYPE(zento::TextCodec)
Q_DECLARE_METATYPE(zento::LineEnd)

namespace {

QByteArray lines(int count) {
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "linea " + QByteArray::number(i) + "\r\n";
    return text;
}

QByteArray bytesFrom(int first, int last) {
    QByteArray bytes;
    for (int b = first; b <= last; ++b)
        bytes.append(char(b));
    return bytes;
}

// Makes the text edited without changing it: type a character at the end and take it back.
void editInPlace(EditView& view) {
    QTextCursor cursor(view.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("x"));
    cursor.deletePreviousChar();
}

} // namespace

class TestTextCodec : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void roundTrips_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextCodec>("codec");
        QTest::addColumn<LineEnd>("lineEnd");
        QTest::addColumn<QByteArray>("edited"); // the bytes once the text counts as edited

        const auto utf8 = TextCodec::Utf8;
        const auto cp1252 = TextCodec::Windows1252;
        const auto same = [](const char* text) { return QByteArray(text); };
        QTest::newRow("empty") << QByteArray() << utf8 << LineEnd::CrLf << QByteArray();
        QTest::newRow("CR LF, none at the end")
            << same("model\r\n{\r\n\tp <- 1\r\n}") << utf8 << LineEnd::CrLf
            << same("model\r\n{\r\n\tp <- 1\r\n}");
        QTest::newRow("LF") << same("a\nb\n") << utf8 << LineEnd::Lf << same("a\nb\n");
        QTest::newRow("CR") << same("a\rb\r") << utf8 << LineEnd::Cr << same("a\rb\r");
        QTest::newRow("empty lines")
            << same("\r\n\r\n") << utf8 << LineEnd::CrLf << same("\r\n\r\n");
        QTest::newRow("UTF-8 names") << same("A\xC3\xB1o\tPeso\xC2\xB2\r\n") << utf8
                                     << LineEnd::CrLf << same("A\xC3\xB1o\tPeso\xC2\xB2\r\n");
        QTest::newRow("byte-order mark") << same("\xEF\xBB\xBF"
                                                 "a\n")
                                         << utf8 << LineEnd::Lf
                                         << same("\xEF\xBB\xBF"
                                                 "a\n");
        QTest::newRow("NUL and controls") << QByteArray("a\0b\x01\x1F\f\v\r\n", 9) << utf8
                                          << LineEnd::CrLf << QByteArray("a\0b\x01\x1F\f\v\r\n", 9);
        QTest::newRow("single-byte names") << same("A\xF1o\tPeso\xB2\r\n") << cp1252
                                           << LineEnd::CrLf << same("A\xF1o\tPeso\xB2\r\n");
        QTest::newRow("bytes 0x80 to 0xFF")
            << bytesFrom(0x80, 0xFF) << cp1252 << LineEnd::CrLf << bytesFrom(0x80, 0xFF);
        const QByteArray everyByte = bytesFrom(0, 9) + bytesFrom(11, 12) + bytesFrom(14, 255);
        QTest::newRow("every byte but CR and LF")
            << everyByte << cp1252 << LineEnd::CrLf << everyByte;
        QTest::newRow("overlong UTF-8 is not UTF-8")
            << same("\xC0\xAF\n") << cp1252 << LineEnd::Lf << same("\xC0\xAF\n");
        QTest::newRow("encoded surrogate is not UTF-8")
            << same("\xED\xA0\x80") << cp1252 << LineEnd::CrLf << same("\xED\xA0\x80");
        // Kept exactly until edited; then every line end follows the first one.
        QTest::newRow("mixed line ends")
            << same("a\r\nb\nc\rd") << utf8 << LineEnd::CrLf << same("a\r\nb\r\nc\r\nd");
        QTest::newRow("LF first") << same("a\nb\r\n") << utf8 << LineEnd::Lf << same("a\nb\n");
        QTest::newRow("CR before CR LF") << same("a\r\r\n") << utf8 << LineEnd::Cr << same("a\r\r");
        QTest::newRow("mixed, single-byte")
            << same("\xE9\n\xE8\r\n") << cp1252 << LineEnd::Lf << same("\xE9\n\xE8\n");
        // Characters the edit control takes for line breaks.
        QTest::newRow("U+2029") << same("a\xE2\x80\xA9"
                                        "b\n")
                                << utf8 << LineEnd::Lf << same("a\nb\n");
        QTest::newRow("U+FDD0 and U+FDD1") << same("a\xEF\xB7\x90"
                                                   "b\xEF\xB7\x91")
                                           << utf8 << LineEnd::CrLf << same("a\r\nb\r\n");
        QTest::newRow("U+2028 stays") << same("a\xE2\x80\xA8"
                                              "b")
                                      << utf8 << LineEnd::CrLf
                                      << same("a\xE2\x80\xA8"
                                              "b");
    }
    void roundTrips() {
        QFETCH(QByteArray, bytes);
        QFETCH(TextCodec, codec);
        QFETCH(LineEnd, lineEnd);
        QFETCH(QByteArray, edited);

        EditView view;
        view.setTextBytes(bytes);
        QCOMPARE(view.textBytes(), bytes);
        QCOMPARE(view.textFormat().codec, codec);
        QCOMPARE(view.textFormat().lineEnd, lineEnd);

        std::string generated = bytes.toStdString();
        EditView fromString;
        fromString.takeTextBytes(std::move(generated));
        QCOMPARE(fromString.textBytes(), bytes);

        editInPlace(view);
        QCOMPARE(view.textBytes(), edited);
    }

    // Any piece size gives the text and the findings of one whole decoding; every piece but the
    // last ends after a line end, so no CR LF and no character is cut.
    void piecesAgree_data() { roundTrips_data(); }
    void piecesAgree() {
        QFETCH(QByteArray, bytes);
        const DecodedText whole = decodeText(bytes);
        for (const qsizetype pieceBytes : {1, 2, 3, 7}) {
            QStringList pieces;
            const DecodedText inPieces = decodeTextInPieces(
                bytes, pieceBytes, [&pieces](QString piece) { pieces.append(piece); });
            QCOMPARE(pieces.join(QString()), whole.text);
            QCOMPARE(inPieces.format, whole.format);
            QCOMPARE(inPieces.exact, whole.exact);
            for (qsizetype i = 0; i + 1 < pieces.size(); ++i)
                QVERIFY(pieces[i].endsWith(u'\n'));
        }
    }

    // A text of several pieces goes into the view whole: every line, the bytes back, no edit,
    // no undo, shown from its start however far down the text before it was. The odd line end
    // sits in a later piece.
    void bigText_data() {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::addColumn<QByteArray>("odd");
        QTest::newRow("CR LF") << QByteArray("\r\n") << QByteArray("\r\n");
        QTest::newRow("one LF among CR LF") << QByteArray("\r\n") << QByteArray("\n");
        QTest::newRow("single-byte, LF") << QByteArray("\xF1\n") << QByteArray("\xF1\n");
    }
    void bigText() {
        QFETCH(QByteArray, lineEnd);
        QFETCH(QByteArray, odd);
        QByteArray bytes;
        const int count = 50000; // about 2.5 MiB, past two piece boundaries
        for (int i = 0; i < count; ++i)
            bytes += QByteArray(40, 'x') + QByteArray::number(i) + (i == count - 7 ? odd : lineEnd);
        EditView view;
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setTextBytes(lines(2000));
        view.moveCursor(QTextCursor::End);
        QTest::keyClicks(&view, QStringLiteral("x"));
        QVERIFY(view.verticalScrollBar()->value() > 0);
        QSignalSpy edited(&view, &EditView::textEdited);
        view.setTextBytes(bytes);
        QCOMPARE(edited.count(), 0);
        QCOMPARE(view.document()->blockCount(), count + 1);
        QVERIFY(!view.document()->isUndoAvailable());
        QCOMPARE(view.textCursor().position(), 0);
        QCOMPARE(view.verticalScrollBar()->value(), 0);
        QCOMPARE(view.textBytes(), bytes);
    }

    // Names show as letters whichever code page the file uses.
    void display_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("UTF-8") << QByteArray("A\xC3\xB1o \xE2\x82\xAC") << QStringLiteral("Año €");
        QTest::newRow("Windows-1252") << QByteArray("A\xF1o \x80") << QStringLiteral("Año €");
        QTest::newRow("undefined byte") << QByteArray("\x81\x8D\x8F\x90\x9D")
                                        << QStringLiteral("\u0081\u008D\u008F\u0090\u009D");
        QTest::newRow("line ends") << QByteArray("a\r\nb\nc\rd") << QStringLiteral("a\nb\nc\nd");
    }
    void display() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        EditView view;
        view.setTextBytes(bytes);
        QCOMPARE(view.toPlainText(), shown);
    }

    // A line the user adds ends as the file's lines do, in the file's code page.
    void typingKeepsTheFormat_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << "c" << QByteArray("a\r\nb\r\nc");
        QTest::newRow("LF") << QByteArray("a\nb") << "c" << QByteArray("a\nb\nc");
        QTest::newRow("CR") << QByteArray("a\rb") << "c" << QByteArray("a\rb\rc");
        QTest::newRow("none: CR LF") << QByteArray("a") << "c" << QByteArray("a\r\nc");
        QTest::newRow("single-byte")
            << QByteArray("\xF1\n") << "\u00E9" << QByteArray("\xF1\n\n\xE9");
        QTest::newRow("UTF-8") << QByteArray("\xC3\xB1\n") << "\u00E9"
                               << QByteArray("\xC3\xB1\n\n\xC3\xA9");
        // A character Windows-1252 lacks: the whole text is written as UTF-8.
        QTest::newRow("beyond the code page")
            << QByteArray("\xF1") << "\u0142" << QByteArray("\xC3\xB1\r\n\xC5\x82");
    }
    void typingKeepsTheFormat() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, typed);
        QFETCH(QByteArray, saved);
        EditView view;
        view.setTextBytes(bytes);
        view.moveCursor(QTextCursor::End);
        QTest::keyClick(&view, Qt::Key_Return);
        view.insertPlainText(typed);
        QCOMPARE(view.textBytes(), saved);
    }
};

QTEST_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
