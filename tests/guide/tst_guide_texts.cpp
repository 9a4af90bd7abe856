// The guide texts and the style sheet, checked in the GBK form in which the program's texts are defined.
#include "forms/gbk.h"
#include "guide/guide_texts.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class GuideTextsTest : public QObject {
    Q_OBJECT

    static QStringList linesOf(const QString &text)
    {
        QStringList lines = text.split(u"\r\n"_s);
        lines.removeLast(); // what follows the final CR LF
        return lines;
    }

private slots:
    void gbkFormAndLineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("gbkBytes");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<bool>("markupFree");

        QTest::newRow("simplified guide") << AngleGuideText << 1030 << 21 << true;
        QTest::newRow("traditional guide") << AngleGuideTradText << 1031 << 21 << true;
        QTest::newRow("style sheet") << GuideStyleSheet << 990 << 17 << false;
    }

    void gbkFormAndLineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(int, gbkBytes);
        QFETCH(int, lineCount);
        QFETCH(bool, markupFree);

        const QByteArray bytes = gbk::encode(text);
        QCOMPARE(bytes.size(), gbkBytes);
        QCOMPARE(gbk::decode(bytes), text); // every character has a GBK form
        QVERIFY(text.endsWith(u"\r\n"_s));
        const QStringList lines = linesOf(text);
        QCOMPARE(lines.size(), lineCount);
        for (const QString &line : lines) {
            QVERIFY2(!line.isEmpty(), "no empty lines");
            for (QChar c : line)
                QVERIFY2(c.unicode() >= 0x20, qPrintable(u"control character in: "_s + line)); // lone CR or LF
            if (markupFree)
                QVERIFY(!line.contains(u'<') && !line.contains(u'&'));
        }
    }

    void linesAsWritten()
    {
        const QStringList simplified = linesOf(AngleGuideText);
        QCOMPARE(simplified[0], u"——————————20度打法———————————"_s);
        QCOMPARE(simplified[1], u"-------20度打法无视风力，距离和力度对应即可------"_s);
        QVERIFY(simplified[13].endsWith(u"调整角度，"_s));
        QCOMPARE(simplified[14], u"力度始终=95高抛公式：90-距离±风力×2="_s);
        QCOMPARE(simplified[20], u"+-（风力×2）=角度（风力顺+逆-）（小数忽略不计）"_s);

        const QStringList traditional = linesOf(AngleGuideTradText);
        QVERIFY(traditional[13].endsWith(u"調整角度"_s));
        QCOMPARE(traditional[14], u"力度始終=95   高抛公式：90-距離±風力×2="_s);
        QCOMPARE(traditional[17], u"半抛就是不用全力的抛射打法，半抛的基本角度是90度，"_s);

        const QStringList rules = linesOf(GuideStyleSheet);
        QCOMPARE(rules[0], uR"(body {font-size: 9pt; color:black; font-family:"宋体",Verdana})"_s);
        QVERIFY(rules[1].startsWith(u"p  {"_s));
        QCOMPARE(rules[16], u".comment {color:green}"_s);
    }
};

QTEST_APPLESS_MAIN(GuideTextsTest)
#include "tst_guide_texts.moc"
