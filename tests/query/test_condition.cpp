#include "query/condition.h"
#include "support/str_utils.h"

#include <QTest>
#include <cfloat>
#include <cmath>

Q_DECLARE_METATYPE(FilterCriteria)

namespace {

const QString kNewRow = QStringLiteral("op 0 0 0 0 0 0 0 0 0 0 0 1");

FilterCriteria workedExample()
{
    FilterCriteria c;
    c.parentId = "1001";
    c.yesAncestor = true;
    c.typeIds = {"12", "15"};
    c.refIndex = 1;
    c.date1 = true;
    c.date1Text = "01.01.2005";
    c.date2 = true;
    c.date2Text = "31.12.2005";
    c.findName = true;
    c.nameText = "насос";
    c.findInfo = true;
    c.infoLines = {"давление", "температура"};
    c.abstrIndex = 1;
    c.yesPropNumber = true;
    c.propRows = {{"И", "op 27 20,5 10", "20,5", "10"}};
    return c;
}

PropNumberRow propRow(const QString &id, const QString &max, const QString &min, const QString &op = "И")
{
    return {op, QStringLiteral("op %1 %2 %3").arg(id, max.isEmpty() ? "0" : max, min.isEmpty() ? "0" : min), max, min};
}

QStringList lines(const char *text)
{
    return QString::fromUtf8(text).split('\n');
}

} // namespace

class TestCondition : public QObject {
    Q_OBJECT
private slots:
    void workedExampleLineForLine()
    {
        const QStringList expected = {
            "(t_o.PARENTS_ID CONTAINING '[1001]')",
            "and", "(", "t_o.ID_TYPE IN ('12','15')", ")",
            "and", "(", "t_o.ITS_BASE>0", ")",
            "and", "(", "t_o.DATE_1>='01.01.2005'", "and", "t_o.DATE_1<='31.12.2005'", ")",
            "and", "(", "UPPER(t_o.NAME_MAX) CONTAINING UPPER('насос')", ")",
            "and", "(", "t_o.INFO CONTAINING 'давление'", "or", "t_o.INFO CONTAINING 'температура'", ")",
            "and", "(", "ltl.ITS_ABSTRACT<=0", ")",
            "AND ",
            "(t_o.ID_THIS IN (SELECT ID_OWNER FROM OBJECTS_PROP_NUMBER WHERE",
            " (ID_PROP='27'  and (PROP_VAL between 10 and 20.5)) ",
            "))",
        };
        QCOMPARE(BuildCondition(workedExample()).lines, expected);
    }

    void edgeCases_data()
    {
        QTest::addColumn<FilterCriteria>("criteria");
        QTest::addColumn<QStringList>("expected");
        FilterCriteria c;
        QTest::newRow("nothing ticked") << c << QStringList();

        c = {};
        c.parentId = "7";
        QTest::newRow("parent without boxes") << c << QStringList();
        c.yesParent = true;
        QTest::newRow("parent alone") << c << QStringList{"(t_o.ID_PARENT='7')"};
        c.yesAncestor = true;
        QTest::newRow("parent and ancestor")
            << c << QStringList{"(t_o.ID_PARENT='7')  and  (t_o.PARENTS_ID CONTAINING '[7]')"};
        c.parentId = "  7  ";
        QTest::newRow("parent trimmed")
            << c << QStringList{"(t_o.ID_PARENT='7')  and  (t_o.PARENTS_ID CONTAINING '[7]')"};
        c.parentId = "7') OR (1=1";
        c.yesAncestor = false;
        QTest::newRow("quote in parent") << c << QStringList{"(t_o.ID_PARENT='7'') OR (1=1')"};

        c = {};
        c.typeIds = {"12", "15"};
        QTest::newRow("two types") << c << lines("(\nt_o.ID_TYPE IN ('12','15')\n)");
        c.typeIds = {"1'2"};
        QTest::newRow("quote in type id") << c << lines("(\nt_o.ID_TYPE IN ('1''2')\n)");

        c = {};
        c.refIndex = 2;
        QTest::newRow("reference objects") << c << lines("(\nt_o.ITS_BASE<=0\n)");
        c.refIndex = 0;
        c.abstrIndex = 2;
        QTest::newRow("abstract") << c << lines("(\nltl.ITS_ABSTRACT>0\n)");

        c = {};
        c.date1 = true;
        c.date1Text = "31.04.2005";
        QTest::newRow("invalid start dropped") << c << QStringList();
        c.date2 = true;
        c.date2Text = " 31.12.2005 ";
        c.datesIndex = 1;
        QTest::newRow("end alone on DATE_2") << c << lines("(\nt_o.DATE_2<='31.12.2005'\n)");
        c = {};
        c.date1 = true;
        c.date1Text = "1.2.05";
        QTest::newRow("start normalised") << c << lines("(\nt_o.DATE_1>='01.02.2005'\n)");
        c.date1Text = "1/2/2005";
        QTest::newRow("slashes normalised") << c << lines("(\nt_o.DATE_1>='01.02.2005'\n)");
        c.date1Text = "1ю2ю40";
        QTest::newRow("yu and short year") << c << lines("(\nt_o.DATE_1>='01.02.1940'\n)");
        c.date1 = false;
        QTest::newRow("unticked date ignored") << c << QStringList();

        c = {};
        c.findName = true;
        c.nameText = "   ";
        QTest::newRow("empty name") << c << QStringList();
        c.nameText = " O'Brien ";
        QTest::newRow("quote in name") << c << lines("(\nUPPER(t_o.NAME_MAX) CONTAINING UPPER('O''Brien')\n)");
        c.findName = false;
        c.findNote = true;
        c.noteText = "ре'монт";
        QTest::newRow("note") << c << lines("(\nUPPER(t_o.NOTE) CONTAINING UPPER('ре''монт')\n)");

        c = {};
        c.findInfo = true;
        c.infoLines = {"  ", "", "\t"};
        QTest::newRow("blank phrases") << c << QStringList();
        c.infoLines = {"  a  ", "", "b"};
        QTest::newRow("two phrases")
            << c << lines("(\nt_o.INFO CONTAINING 'a'\nor\nt_o.INFO CONTAINING 'b'\n)");
        c.infoLines = {"it's"};
        QTest::newRow("quote in phrase") << c << lines("(\nt_o.INFO CONTAINING 'it''s'\n)");

        c = {};
        c.yesPropNumber = true;
        c.propRows = {{"И", kNewRow, "", ""}};
        QTest::newRow("property never chosen") << c << QStringList();
        c.propRows = {propRow("27", "", "")};
        QTest::newRow("empty bounds") << c
            << lines("(t_o.ID_THIS IN (SELECT ID_OWNER FROM OBJECTS_PROP_NUMBER WHERE\n"
                     " (ID_PROP='27'  and (PROP_VAL between 0 and 0)) \n))");
        c.propRows = {propRow("27", "20,5", "10"), propRow("0", "1", "2"), propRow("28", "1e3", "-0.5", "и"),
                      propRow("29", "5", "1", "ИЛИ")};
        QTest::newRow("two contributing rows")
            << c << lines("(t_o.ID_THIS IN (SELECT ID_OWNER FROM OBJECTS_PROP_NUMBER WHERE\n"
                          " (ID_PROP='27'  and (PROP_VAL between 10 and 20.5)) \n))\n"
                          " and \n"
                          "(t_o.ID_THIS IN (SELECT ID_OWNER FROM OBJECTS_PROP_NUMBER WHERE\n"
                          " (ID_PROP='28'  and (PROP_VAL between -0.5 and 1000)) \n))");
        c.propRows = {propRow("27", "abc", "")};
        c.refIndex = 1;
        QTest::newRow("AND after other blocks")
            << c << lines("(\nt_o.ITS_BASE>0\n)\nAND \n"
                          "(t_o.ID_THIS IN (SELECT ID_OWNER FROM OBJECTS_PROP_NUMBER WHERE\n"
                          " (ID_PROP='27'  and (PROP_VAL between 0 and 0)) \n))");
        c.yesPropNumber = false;
        QTest::newRow("numeric not ticked") << c << lines("(\nt_o.ITS_BASE>0\n)");
    }
    void edgeCases()
    {
        QFETCH(FilterCriteria, criteria);
        QFETCH(QStringList, expected);
        QCOMPARE(BuildCondition(criteria).lines, expected);
    }

    void normalisedInputs()
    {
        FilterCriteria c;
        c.date1 = true;
        c.date1Text = "  31.04.2005 ";
        c.date2 = true;
        c.date2Text = " 1.2.05 ";
        c.nameText = "  насос ";
        c.noteText = "\tx\t";
        c.parentId = " 1001 ";
        const FilterCriteria n = BuildCondition(c).normalized;
        QVERIFY(!n.date1);
        QCOMPARE(n.date1Text, QStringLiteral("31.04.2005"));
        QVERIFY(n.date2);
        QCOMPARE(n.date2Text, QStringLiteral("1.2.05")); // the edit line keeps what was typed
        QCOMPARE(n.nameText, QStringLiteral("насос"));
        QCOMPARE(n.noteText, QStringLiteral("x"));
        QCOMPARE(n.parentId, QStringLiteral("1001"));
    }

    void numberFormat_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("whole") << 10.0 << "10";
        QTest::newRow("fraction") << 20.5 << "20.5";
        QTest::newRow("negative") << -3.25 << "-3.25";
        QTest::newRow("small plain") << 0.0001 << "0.0001";
        QTest::newRow("below plain") << 0.00001 << "1E-5";
        QTest::newRow("tiny") << 2.5e-6 << "2.5E-6";
        QTest::newRow("largest plain") << 999999999999999.0 << "999999999999999";
        QTest::newRow("1E15") << 1e15 << "1E15";
        QTest::newRow("rounds up to 1E15") << 999999999999999.9 << "1E15";
        QTest::newRow("huge") << 1.5e300 << "1.5E300";
        QTest::newRow("15 digits") << 1.0 / 3.0 << "0.333333333333333";
        QTest::newRow("binary fraction") << 0.1 + 0.2 << "0.3";
        QTest::newRow("one tenth") << 0.1 << "0.1";
        QTest::newRow("large fraction") << 123456.789 << "123456.789";
        // Rounding to 15 digits must not step past the largest double.
        QTest::newRow("largest double") << DBL_MAX << "1.79769313486231E308";
        QTest::newRow("negative largest") << -DBL_MAX << "-1.79769313486231E308";
        QTest::newRow("infinity") << HUGE_VAL << "1.79769313486231E308";
    }
    void numberFormat()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(FormatFloat15(value), text);
        QVERIFY(std::isfinite(StrToFloatOr(text, 0)));
    }
};

QTEST_APPLESS_MAIN(TestCondition)
#include "test_condition.moc"
