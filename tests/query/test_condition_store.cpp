// The generated conditions run against a real store find exactly the
// objects they should.

#include "common/test_store.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "query/condition.h"
#include "results/result_query.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(FilterCriteria)

namespace {

void fill(StoreWriter &w)
{
    AddType(w, "10", "Цех или завод", "Цех", "SHOP", 1, 0);
    AddType(w, "12", "Насос (обобщённый)", "Насос", "PUMP", 1, 1);
    AddType(w, "15", "Осмотр", "Осмотр", "INSPECT", 2, 0);
    AddObject(w, "1001", "Завод", "10", "", "", "", "", 1, QDate(2000, 1, 1), QDate(2030, 1, 1));
    AddObject(w, "1002", "Цех насосный", "10", "1001", "[1001]", "", "", 1, QDate(2001, 1, 1), QDate(2030, 1, 1));
    AddObject(w, "1003", "Насос О'Брайен", "12", "1002", "[1001][1002]", "ремонт насоса",
              "давление в норме\nтемпература высокая", 0, QDate(2005, 6, 1), QDate(2005, 12, 1));
    AddObject(w, "1004", "Другой насос", "15", "", "", "Примечание", "Давление", 1, QDate(2006, 1, 1),
              QDate(2007, 1, 1));
    AddObject(w, "1005", "Склад", "999", "1001", "[1001]", "", "", 1, QDate(1999, 1, 1), QDate());
    auto s = w.prepare("INSERT INTO OBJECTS_PROP_NUMBER (ID_OWNER, ID_PROP, PROP_VAL) VALUES (?, ?, ?)");
    w.run(s, {QStringLiteral("1003"), QStringLiteral("27"), 15.5});
    w.run(s, {QStringLiteral("1004"), QStringLiteral("27"), 25.0});
    w.run(s, {QStringLiteral("1002"), QStringLiteral("28"), 10.0});
}

PropNumberRow prop(const QString &id, const QString &min, const QString &max)
{
    return {"И", QStringLiteral("op %1 %2 %3").arg(id, max, min), max, min};
}

} // namespace

class TestConditionStore : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    DbConnection conn_;

    QStringList found(const QString &condition)
    {
        DbDataSet ds;
        ds.setConnection(&conn_);
        for (const FieldDef &f : ResultFieldDefs())
            ds.addField(f);
        ds.sql() = ResultQueryLines(condition, "t_o.ID_THIS");
        ds.open();
        QStringList ids;
        for (ds.first(); !ds.eof(); ds.next())
            ids << ds.fieldByName("ID_THIS")->asString();
        return ids;
    }

private slots:
    void initTestCase()
    {
        conn_.setDatabaseName(MakeTestStore(dir_.path(), "conditions.fdb", fill));
        conn_.setUserName("VeldaRunKX");
        conn_.open();
    }

    void finds_data()
    {
        QTest::addColumn<FilterCriteria>("criteria");
        QTest::addColumn<QStringList>("ids");
        FilterCriteria c;
        QTest::newRow("everything") << c << QStringList{"1001", "1002", "1003", "1004", "1005"};
        c.parentId = "1001";
        c.yesParent = true;
        QTest::newRow("children") << c << QStringList{"1002", "1005"};
        c.yesParent = false;
        c.yesAncestor = true;
        QTest::newRow("descendants") << c << QStringList{"1002", "1003", "1005"};
        c.parentId = "1001') OR ('1'='1";
        QTest::newRow("quote in parent finds nothing") << c << QStringList();

        c = {};
        c.typeIds = {"12", "15"};
        QTest::newRow("types") << c << QStringList{"1003", "1004"};
        c = {};
        c.refIndex = 2;
        QTest::newRow("reference objects") << c << QStringList{"1003"};
        c.refIndex = 1;
        QTest::newRow("base objects") << c << QStringList{"1001", "1002", "1004", "1005"};

        c = {};
        c.date1 = true;
        c.date1Text = "1.1.05";
        QTest::newRow("from 2005") << c << QStringList{"1003", "1004"};
        c.date2 = true;
        c.date2Text = "31/12/2005";
        QTest::newRow("within 2005") << c << QStringList{"1003"};
        c.date1 = false;
        c.date2Text = "1.12.2005";
        c.datesIndex = 1;
        QTest::newRow("ending by 1 December 2005") << c << QStringList{"1003"};

        c = {};
        c.findName = true;
        c.nameText = "насос";
        QTest::newRow("name any case") << c << QStringList{"1002", "1003", "1004"};
        c.nameText = "О'Брайен";
        QTest::newRow("name with quote") << c << QStringList{"1003"};
        c = {};
        c.findNote = true;
        c.noteText = "РЕМОНТ";
        QTest::newRow("note") << c << QStringList{"1003"};
        c = {};
        c.findInfo = true;
        c.infoLines = {"температура", "нет такого"};
        QTest::newRow("phrases") << c << QStringList{"1003"};

        c = {};
        c.abstrIndex = 2;
        QTest::newRow("abstract types") << c << QStringList{"1003"};
        c.abstrIndex = 1;
        QTest::newRow("not abstract") << c << QStringList{"1001", "1002", "1004"};

        c = {};
        c.yesPropNumber = true;
        c.propRows = {prop("27", "10", "20,5")};
        QTest::newRow("numeric range with comma") << c << QStringList{"1003"};
        c.propRows = {prop("27", "20.0", "30")};
        QTest::newRow("numeric range with point") << c << QStringList{"1004"};
        c.propRows = {prop("27", "0", "100"), prop("28", "5", "15")};
        QTest::newRow("both properties") << c << QStringList();
        c.propRows = {prop("27", "0", "100")};
        c.findName = true;
        c.nameText = "другой";
        QTest::newRow("numeric and name") << c << QStringList{"1004"};
    }
    void finds()
    {
        QFETCH(FilterCriteria, criteria);
        QFETCH(QStringList, ids);
        const QString condition = BuildCondition(criteria).lines.join("\r\n");
        QCOMPARE(found(condition), ids);
    }
};

QTEST_MAIN(TestConditionStore)
#include "test_condition_store.moc"
