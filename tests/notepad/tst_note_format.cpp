// The note file format without files: where a note's text ends, and how line breaks and characters
// turn into note bytes and back.
#include "notepad/note_file.h"

#include <QTest>

using namespace notepad;

class TestNoteFormat : public QObject {
    Q_OBJECT

private slots:
    void textEnd_data();
    void textEnd();
    void bytesToText_data();
    void bytesToText();
    void textToBytes_data();
    void textToBytes();
};

void TestNoteFormat::textEnd_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("length");

    // valid: nothing ends the text
    QTest::newRow("ascii") << QByteArray("abc\r\ndef") << qsizetype(8);
    QTest::newRow("GBK characters") << QByteArray("\xC4\xE3\xBA\xC3") << qsizetype(4);
    QTest::newRow("0x1A as a second byte is kept") << QByteArray("\xC4\x1A" "ab") << qsizetype(4);
    QTest::newRow("any second byte is kept") << QByteArray("\x81\x0D\xFF\x7F" "z") << qsizetype(5);

    // edge
    QTest::newRow("empty") << QByteArray() << qsizetype(0);
    QTest::newRow("first byte at the very end is kept") << QByteArray("ab\xC4") << qsizetype(3);
    QTest::newRow("first byte at the end after a kept 0x1A") << QByteArray("\x81\x1A\xC4") << qsizetype(3);
    QTest::newRow("0x00 first") << QByteArray("\0abc", 4) << qsizetype(0);

    // cut
    QTest::newRow("0x00 cuts") << QByteArray("abc\0def", 7) << qsizetype(3);
    QTest::newRow("0x1A cuts") << QByteArray("abc\x1A" "def") << qsizetype(3);
    QTest::newRow("0x1A after a character cuts") << QByteArray("\xC4\xE3\x1A\xC4\xE3") << qsizetype(2);
    QTest::newRow("first byte then 0x00 cuts before both") << QByteArray("ab\xC4\0cd", 6) << qsizetype(2);
    QTest::newRow("0x80 is a first byte") << QByteArray("\x80\0", 2) << qsizetype(0);
    QTest::newRow("pairs counted from the start")
        << QByteArray("\x81\x81\x81\0", 4) << qsizetype(2); // 81 81 | 81 00: cut before the third byte
    QTest::newRow("0x1A second, then 0x00 alone") << QByteArray("\x81\x1A\0", 3) << qsizetype(2);
    QTest::newRow("0x1A before a later 0x00") << QByteArray("a\x1A" "b\0", 4) << qsizetype(1);
}

void TestNoteFormat::textEnd()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, length);
    QCOMPARE(noteTextLength(bytes), length);
}

void TestNoteFormat::bytesToText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("CR LF is one break") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb\n");
    QTest::newRow("lone LF is one break") << QByteArray("a\nb") << QStringLiteral("a\nb");
    QTest::newRow("lone CR is one break") << QByteArray("a\rb") << QStringLiteral("a\nb");
    QTest::newRow("CR CR LF is two breaks") << QByteArray("a\r\r\nb") << QStringLiteral("a\n\nb");
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QStringLiteral("a\n\nb");
    QTest::newRow("GBK") << QByteArray("\xC4\xE3\r\n\xBA\xC3") << QStringLiteral("你\n好");
    QTest::newRow("cut before decoding") << QByteArray("\xC4\xE3\x1A\xBA\xC3") << QStringLiteral("你");
    QTest::newRow("invalid bytes") << QByteArray("a\x80" "b\xFF") << QStringLiteral("a\uFFFDb\uFFFD");
    QTest::newRow("lone first byte at the end") << QByteArray("ab\xC4") << QStringLiteral("ab\uFFFD");
}

void TestNoteFormat::bytesToText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(textFromNoteBytes(bytes), text);
}

void TestNoteFormat::textToBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("two lines") << QStringLiteral("第一行\n第二行")
                               << QByteArray("\xB5\xDA\xD2\xBB\xD0\xD0\r\n\xB5\xDA\xB6\xFE\xD0\xD0");
    QTest::newRow("break at the end") << QStringLiteral("a\n") << QByteArray("a\r\n");
    QTest::newRow("only breaks") << QStringLiteral("\n\n") << QByteArray("\r\n\r\n");
    QTest::newRow("CR LF stays one break") << QStringLiteral("a\r\nb") << QByteArray("a\r\nb");
    QTest::newRow("lone CR") << QStringLiteral("a\rb\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("outside GBK") << QStringLiteral("😀한") << QByteArray("\x94\x39\xFC\x36\x83\x36\x84\x33");
}

void TestNoteFormat::textToBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(noteBytesFromText(text), bytes);
}

QTEST_GUILESS_MAIN(TestNoteFormat)
#include "tst_note_format.moc"
