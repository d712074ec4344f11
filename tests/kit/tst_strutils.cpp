#include "StrUtils.h"
#include "TestSupport.h"

class TestStrUtils : public QObject {
    Q_OBJECT

private slots:
    void containsOnlyChars_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("chars");
        QTest::addColumn<bool>("expected");
        QTest::newRow("digits only") << "02817" << "0123456789" << true;
        QTest::newRow("a letter among digits") << "028a7" << "0123456789" << false;
        QTest::newRow("empty text") << "" << "0123456789" << true;
        QTest::newRow("empty set") << "x" << "" << false;
    }
    void containsOnlyChars()
    {
        QFETCH(QString, text);
        QFETCH(QString, chars);
        QFETCH(bool, expected);
        QCOMPARE(ContainsOnlyChars(text, TCharSet(chars)), expected);
    }

    void charSetRange()
    {
        TCharSet hex;
        hex.AddRange('0', '9').AddRange('a', 'f');
        QVERIFY(ContainsOnlyChars("09afbe", hex));
        QVERIFY(!ContainsOnlyChars("0g", hex));
    }

    void replaceSubstring_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("expected");
        QTest::newRow("every occurrence") << "a-b-c" << "-" << "+" << "a+b+c";
        QTest::newRow("replacement not searched again") << "aa" << "a" << "aa" << "aaaa";
        QTest::newRow("left to right, no overlap") << "aaa" << "aa" << "b" << "ba";
        QTest::newRow("to nothing") << "x--y" << "--" << "" << "xy";
        QTest::newRow("case matters") << "Ab" << "a" << "z" << "Ab";
        QTest::newRow("empty pattern") << "abc" << "" << "z" << "abc";
    }
    void replaceSubstring()
    {
        QFETCH(QString, text);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, expected);
        QCOMPARE(ReplaceSubstring(text, from, to), expected);
    }

    void blanksAndChars_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("leading");
        QTest::addColumn<QString>("trailing");
        QTest::addColumn<QString>("both");
        QTest::newRow("spaces both sides") << "  ab c  " << "ab c  " << "  ab c" << "ab c";
        QTest::newRow("tabs are not blanks") << "\tab\t" << "\tab\t" << "\tab\t" << "\tab\t";
        QTest::newRow("only spaces") << "   " << "" << "" << "";
        QTest::newRow("empty") << "" << "" << "" << "";
    }
    void blanksAndChars()
    {
        QFETCH(QString, text);
        QFETCH(QString, leading);
        QFETCH(QString, trailing);
        QFETCH(QString, both);
        QCOMPARE(TrimLeadingBlanks(text), leading);
        QCOMPARE(TrimTrailingBlanks(text), trailing);
        QCOMPARE(TrimBlanks(text), both);
    }

    void deleteAndMakeChars()
    {
        QCOMPARE(DeleteChars("O'Brien's", '\''), QString("OBriens"));
        QCOMPARE(DeleteChars("abc", 'x'), QString("abc"));
        QCOMPARE(MakeCharString('-', 3), QString("---"));
        QCOMPARE(MakeCharString('-', 0), QString());
        QCOMPARE(MakeCharString('-', -2), QString());
    }

    void words_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("word");
        QTest::newRow("second word") << "alpha beta gamma" << 3 << 2 << 7 << "beta";
        QTest::newRow("first word after delimiters") << " ,alpha" << 1 << 1 << 3 << "alpha";
        QTest::newRow("runs of delimiters") << "a,, b" << 2 << 2 << 5 << "b";
        QTest::newRow("no such word") << "a b" << 2 << 3 << 0 << "";
        QTest::newRow("word zero") << "a b" << 2 << 0 << 0 << "";
        QTest::newRow("only delimiters") << " ,, " << 0 << 1 << 0 << "";
        QTest::newRow("empty text") << "" << 0 << 1 << 0 << "";
    }
    void words()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(int, n);
        QFETCH(int, start);
        QFETCH(QString, word);
        const TCharSet delims(" ,");
        QCOMPARE(CountWords(text, delims), count);
        QCOMPARE(WordStartPosition(n, text, delims), start);
        QCOMPARE(ExtractWordAt(n, text, delims), word);
    }

    void xorEncode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("hex");
        QTest::newRow("empty key: own codes, lower case") << "AZ~" << "" << "415a7e";
        QTest::newRow("key shorter than text wraps") << "AAA" << "ab" << "202320";
        QTest::newRow("same character gives zero") << "k" << "k" << "00";
        QTest::newRow("ANSI character as one byte") << QString::fromUtf8("é") << "" << "e9";
        QTest::newRow("euro sign is byte 0x80") << QString::fromUtf8("€") << "" << "80";
        QTest::newRow("key longer than text") << "ab" << "a much longer key" << "0042";
        QTest::newRow("empty text") << "" << "key" << "";
    }
    void xorEncode()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, hex);
        QCOMPARE(XorEncodeToHex(text, key), hex);
        QCOMPARE(XorDecodeFromHex(hex, key), text);
    }

    void xorDecodeOddInput_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("upper-case digits read too") << "415A" << "" << "AZ";
        QTest::newRow("a bad pair reads as 32") << "41zz42" << "" << "A B";
        QTest::newRow("a signed pair is bad") << "-1" << "" << " ";
        QTest::newRow("bad pair is XORed with its key byte") << "zz" << "!" << QString(QChar(32 ^ 33));
        QTest::newRow("trailing odd digit ignored") << "414" << "" << "A";
    }
    void xorDecodeOddInput()
    {
        QFETCH(QString, hex);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QCOMPARE(XorDecodeFromHex(hex, key), text);
    }
};

KV_TEST_MAIN(TestStrUtils)
#include "tst_strutils.moc"
