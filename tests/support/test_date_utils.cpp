#include "support/date_utils.h"

#include <QDateTime>
#include <QLocale>
#include <QTest>

class TestDateUtils : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("normalized");
        QTest::newRow("leap 2000") << QStringLiteral("29.02.2000") << true << 2000 << QStringLiteral("29.02.2000");
        QTest::newRow("leap 2004") << QStringLiteral("29.02.2004") << true << 2004 << QStringLiteral("29.02.2004");
        QTest::newRow("not leap 1900") << QStringLiteral("29.02.1900") << false << 1900 << QString();
        QTest::newRow("april 31") << QStringLiteral("31.04.2005") << false << 2005 << QString();
        QTest::newRow("first year") << QStringLiteral("1.1.1582") << true << 1582 << QStringLiteral("01.01.1582");
        QTest::newRow("last year") << QStringLiteral("31.12.3100") << true << 3100 << QStringLiteral("31.12.3100");
        QTest::newRow("before range") << QStringLiteral("31.12.1581") << false << 1581 << QString();
        QTest::newRow("after range") << QStringLiteral("1.1.3101") << false << 3101 << QString();
        QTest::newRow("short 05") << QStringLiteral("1.2.05") << true << 2005 << QStringLiteral("01.02.2005");
        QTest::newRow("short 31") << QStringLiteral("1.2.31") << true << 2031 << QStringLiteral("01.02.2031");
        QTest::newRow("short 32") << QStringLiteral("1.2.32") << true << 1932 << QStringLiteral("01.02.1932");
        QTest::newRow("short 99") << QStringLiteral("1.2.99") << true << 1999 << QStringLiteral("01.02.1999");
        QTest::newRow("short 00") << QStringLiteral("1.2.00") << true << 2000 << QStringLiteral("01.02.2000");
        QTest::newRow("short 0") << QStringLiteral("1.2.0") << true << 2000 << QStringLiteral("01.02.2000");
        QTest::newRow("no year") << QStringLiteral("1.2") << false << 0 << QString();
        QTest::newRow("year not a number") << QStringLiteral("1.2.x") << false << 0 << QString();
        QTest::newRow("slashes") << QStringLiteral("1/2/2005") << true << 2005 << QStringLiteral("01.02.2005");
        QTest::newRow("dashes") << QStringLiteral("1-2-2005") << true << 2005 << QStringLiteral("01.02.2005");
        QTest::newRow("blanks") << QStringLiteral("1 2 2005") << true << 2005 << QStringLiteral("01.02.2005");
        QTest::newRow("colons") << QStringLiteral("1:2:2005") << true << 2005 << QStringLiteral("01.02.2005");
        QTest::newRow("double dots") << QStringLiteral("1..2..2005") << true << 2005 << QStringLiteral("01.02.2005");
        QTest::newRow("backslash") << QStringLiteral("1\\2\\2005") << true << 2005 << QStringLiteral("01.02.2005");
        QTest::newRow("yu") << QStringLiteral("1ю2ю2005") << true << 2005 << QStringLiteral("01.02.2005");
        QTest::newRow("trimmed") << QStringLiteral("  01.02.2005  ") << true << 2005 << QStringLiteral("01.02.2005");
        QTest::newRow("time ignored") << QStringLiteral("01.02.2005 10:30") << true << 2005 << QStringLiteral("01.02.2005");
        QTest::newRow("empty") << QString() << false << 0 << QString();
        QTest::newRow("spaces") << QStringLiteral("   ") << false << 0 << QString();
        QTest::newRow("year first") << QStringLiteral("2005.02.01") << false << 2001 << QString();
        QTest::newRow("day 0") << QStringLiteral("0.1.2005") << false << 2005 << QString();
        QTest::newRow("day 32") << QStringLiteral("32.1.2005") << false << 2005 << QString();
        QTest::newRow("month 13") << QStringLiteral("1.13.2005") << false << 2005 << QString();
        QTest::newRow("leading separators") << QStringLiteral("..1.2.2005") << true << 2005 << QStringLiteral("01.02.2005");
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, year);
        QFETCH(QString, normalized);
        int y = -1, m = -1, d = -1;
        QCOMPARE(ParseDateStr(text, y, m, d), valid);
        QCOMPARE(y, year);
        QCOMPARE(IsValidDateStr(text), valid);
        QCOMPARE(NormalizedDateStr(text), normalized);
    }

    // The date line of a workbook and the clock: in the program's Russian
    // form where the system speaks no language (C, POSIX), else the system's.
    void dateTimeText_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("start");
        QTest::newRow("C") << QLocale::c() << "09.12.2026 22:17:37";
        QTest::newRow("POSIX") << QLocale("POSIX") << "09.12.2026 22:17:37";
        QTest::newRow("Russian") << QLocale(QLocale::Russian, QLocale::Russia) << "09.12.2026 22:17:37";
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << "12/9/26 10:17:37";
    }
    void dateTimeText()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, start);
        const QString text = LocalDateTimeText(QDateTime(QDate(2026, 12, 9), QTime(22, 17, 37)), locale);
        QVERIFY2(text.startsWith(start), qPrintable(text));
        if (locale.language() == QLocale::C)
            QCOMPARE(text, start);
    }

    void daysInMonth()
    {
        QCOMPARE(DaysInMonth(2000, 2), 29);
        QCOMPARE(DaysInMonth(2100, 2), 28);
        QCOMPARE(DaysInMonth(2005, 12), 31);
        QCOMPARE(DaysInMonth(2005, 11), 30);
        QCOMPARE(DaysInMonth(0, 1), 0);
        QCOMPARE(DaysInMonth(2005, 13), 0);
        QCOMPARE(MinDateYear(), 1582);
    }
};

QTEST_APPLESS_MAIN(TestDateUtils)
#include "test_date_utils.moc"
