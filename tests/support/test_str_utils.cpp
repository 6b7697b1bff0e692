#include "support/str_utils.h"

#include <QTest>
#include <cfloat>

class TestStrUtils : public QObject {
    Q_OBJECT
private slots:
    void trim_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("blanks") << QStringLiteral("  a b  ") << QStringLiteral("a b");
        QTest::newRow("controls") << QStringLiteral("\t\r\n\x01x\x1f ") << QStringLiteral("x");
        QTest::newRow("nbsp kept") << QStringLiteral("\u00A0x\u00A0") << QStringLiteral("\u00A0x\u00A0");
        QTest::newRow("only blanks") << QStringLiteral(" \t ") << QString();
    }
    void trim()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(Trim(text), trimmed);
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isFloat");
        QTest::addColumn<double>("floatValue"); // StrToFloatOr with default -1
        QTest::newRow("int") << QStringLiteral("12") << true << 12.0;
        QTest::newRow("neg frac") << QStringLiteral("-3.5") << true << -3.5;
        QTest::newRow("trailing point") << QStringLiteral("5.") << true << 5.0;
        QTest::newRow("leading point") << QStringLiteral(".5") << true << 0.5;
        QTest::newRow("exp") << QStringLiteral("1e3") << true << 1000.0;
        QTest::newRow("point alone") << QStringLiteral(".") << true << 0.0;
        QTest::newRow("exp alone") << QStringLiteral("E5") << true << 0.0;
        QTest::newRow("signed exp") << QStringLiteral("+2.5E-2") << true << 0.025;
        QTest::newRow("empty") << QString() << false << -1.0;
        QTest::newRow("plus") << QStringLiteral("+") << false << -1.0;
        QTest::newRow("minus") << QStringLiteral("-") << false << -1.0;
        QTest::newRow("bare e") << QStringLiteral("1e") << false << -1.0;
        QTest::newRow("comma counts as point") << QStringLiteral(" 20,5 ") << true << -1.0;
        QTest::newRow("grouping") << QStringLiteral("1 000") << false << -1.0;
        QTest::newRow("two points") << QStringLiteral("1.2.3") << false << -1.0;
        QTest::newRow("blanks around") << QStringLiteral("  20.5 ") << true << 20.5;
        QTest::newRow("beyond the largest double") << QStringLiteral("1e400") << false << -1.0;
        QTest::newRow("negative beyond") << QStringLiteral("-1,5e309") << false << -1.0;
        QTest::newRow("below the smallest") << QStringLiteral("1e-400") << true << 0.0;
        QTest::newRow("largest double") << QStringLiteral("1.7976931348623157e308") << true << DBL_MAX;
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, isFloat);
        QFETCH(double, floatValue);
        QCOMPARE(IsFloatStr(text), isFloat);
        QCOMPARE(StrToFloatOr(text, -1), floatValue);
    }

    void integers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("def");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << QStringLiteral("2005") << 0 << 2005;
        QTest::newRow("junk after") << QStringLiteral("2005a") << 7 << 7;
        QTest::newRow("dollar hex") << QStringLiteral("$7D5") << 0 << 2005;
        QTest::newRow("0x hex") << QStringLiteral("0x1f") << 0 << 31;
        QTest::newRow("x hex") << QStringLiteral("X10") << 0 << 16;
        QTest::newRow("hex 32 bits") << QStringLiteral("$FFFFFFFF") << 0 << -1;
        QTest::newRow("hex too long") << QStringLiteral("$123456789") << 5 << 5;
        QTest::newRow("hex empty") << QStringLiteral("0x") << 5 << 5;
        QTest::newRow("leading zero") << QStringLiteral("08") << 0 << 8;
        QTest::newRow("max") << QStringLiteral("2147483647") << 0 << 2147483647;
        QTest::newRow("min") << QStringLiteral("-2147483648") << 0 << int(-2147483648LL);
        QTest::newRow("overflow") << QStringLiteral("2147483648") << 0 << 0;
        QTest::newRow("long digits") << QStringLiteral("99999999999999999999999") << 3 << 3;
        QTest::newRow("sign only") << QStringLiteral("-") << 4 << 4;
        QTest::newRow("negative hex") << QStringLiteral("-$10") << 0 << -16;
        QTest::newRow("decimal point") << QStringLiteral("1.0") << 9 << 9;
    }
    void integers()
    {
        QFETCH(QString, text);
        QFETCH(int, def);
        QFETCH(int, value);
        QCOMPARE(StrToIntOr(text, def), value);
    }

    void joinList_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("wrap");
        QTest::addColumn<bool>("quote");
        QTest::addColumn<QString>("joined");
        QTest::newRow("empty") << QStringList() << QStringLiteral("'") << false << QString();
        QTest::newRow("ids") << QStringList{"12", "15"} << QStringLiteral("'") << false
                             << QStringLiteral("'12','15'");
        QTest::newRow("quote not doubled") << QStringList{"A'B"} << QStringLiteral("'") << false
                                           << QStringLiteral("'A'B'");
        QTest::newRow("sql quoted") << QStringList{"A'B"} << QString() << true
                                    << QStringLiteral("'A''B'");
        QTest::newRow("strip edges") << QStringList{" a", "b,"} << QString() << false
                                     << QStringLiteral("a,b");
    }
    void joinList()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, wrap);
        QFETCH(bool, quote);
        QFETCH(QString, joined);
        QCOMPARE(JoinList(items, wrap, quote), joined);
        QCOMPARE(JoinList(nullptr, wrap, quote), QString());
    }

    void extractWord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("dateSet");
        QTest::newRow("second") << QStringLiteral("  a   b  ") << 2 << QStringLiteral("b") << false;
        QTest::newRow("third missing") << QStringLiteral("  a   b  ") << 3 << QString() << false;
        QTest::newRow("zero") << QStringLiteral("  a   b  ") << 0 << QString() << false;
        QTest::newRow("companion line") << QStringLiteral("op 0 0 0 0 0 0 0 0 0 0 0 1") << 2
                                        << QStringLiteral("0") << false;
        QTest::newRow("date year") << QStringLiteral("1.2.2005 10:30") << 3 << QStringLiteral("2005")
                                   << true;
        QTest::newRow("yu separator") << QStringLiteral("1ю2ю2005") << 2 << QStringLiteral("2")
                                      << true;
        QTest::newRow("backslash") << QStringLiteral("1\\2\\2005") << 3 << QStringLiteral("2005")
                                   << true;
    }
    void extractWord()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(QString, word);
        QFETCH(bool, dateSet);
        QCOMPARE(ExtractWord(dateSet ? CharSets::DateSeparators : CharSets::Blank, text, n), word);
    }

    void smallRoutines()
    {
        QCOMPARE(TrimChars(CharSets::IdStrip, QStringLiteral(" 'x y' ")), QStringLiteral("x y"));
        QCOMPARE(TrimCharsLeft(CharSets::QuoteStrip, QStringLiteral("\"'a'")), QStringLiteral("a'"));
        QCOMPARE(TrimCharsRight(CharSets::QuoteStrip, QStringLiteral("'a\"")), QStringLiteral("'a"));
        QCOMPARE(RepeatChar(3, QChar('A')), QStringLiteral("AAA"));
        QCOMPARE(RepeatChar(0, QChar('A')), QString());
        QCOMPARE(RepeatChar(-2, QChar('A')), QString());
        QCOMPARE(ReplaceChar(QStringLiteral("20,5,1"), QChar(','), QChar('.')), QStringLiteral("20.5.1"));
        QVERIFY(!BeginsWithNonDigit(QStringLiteral("  7ab")));
        QVERIFY(BeginsWithNonDigit(QStringLiteral(" ab7")));
        QVERIFY(!BeginsWithNonDigit(QStringLiteral("   ")));
        QCOMPARE(QuotedSql(QStringLiteral("O'Brien")), QStringLiteral("'O''Brien'"));
        std::unique_ptr<QStringList> list = std::make_unique<QStringList>(QStringList{"a"});
        FreeStringList(list);
        QVERIFY(!list);
        FreeStringList(list);
    }

    void splitLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("mixed ends") << "a\rb\nc\r\nd\r\n" << QStringList{"a", "b", "c", "d"};
        QTest::newRow("empty lines kept") << "a\n\nb" << QStringList{"a", "", "b"};
        QTest::newRow("no text") << "" << QStringList{};
        QTest::newRow("lone break") << "\r\n" << QStringList{""};
    }
    void splitLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(SplitLines(text), lines);
    }
};

QTEST_GUILESS_MAIN(TestStrUtils)
#include "test_str_utils.moc"
