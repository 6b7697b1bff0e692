// The demo store make_demo_store writes: believable sizes, a consistent
// tree, and the rows that show what the program marks.

#include "common/test_store.h"
#include "db/db_connection.h"
#include "db/db_error.h"
#include "db/db_query.h"
#include "demo_content.h"

#include <QTemporaryDir>
#include <QTest>

class TestDemoStore : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    DbConnection conn_;

    int count(const QString &sql)
    {
        DbQuery q;
        q.setConnection(&conn_);
        q.sql() << sql;
        q.execQuery();
        return q.fieldAsString(0).toInt();
    }

private slots:
    void initTestCase()
    {
        conn_.setDatabaseName(MakeTestStore(dir_.path(), "demo.fdb", [](StoreWriter &w) { FillDemoStore(w); }));
        conn_.setUserName("VeldaRunKX");
        conn_.open();
    }

    // The store writer refuses a text longer than its column rather than
    // cutting it: the demo content is stored as written.
    void longTextRefused()
    {
        auto w = StoreWriter::create(dir_.filePath("long.fdb"));
        AddObject(*w, QString(40, QChar('1')), "Насос");
        QVERIFY_THROWS_EXCEPTION(DbError, AddObject(*w, QString(41, QChar('2')), "Насос"));
    }

    void sizesAndRows_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("atLeast");
        QTest::addColumn<int>("atMost");
        const int any = 1 << 30;
        QTest::newRow("objects") << "SELECT COUNT(*) FROM OBJECTS_TREE" << 300 << any;
        QTest::newRow("tree depth") << "SELECT MAX(CHAR_LENGTH(PARENTS_ID) - CHAR_LENGTH(REPLACE(PARENTS_ID, '[', ''))) "
                                       "FROM OBJECTS_TREE" << 5 << any;
        QTest::newRow("object types") << "SELECT COUNT(*) FROM L_TYPEOBJ_LIST" << 40 << any;
        QTest::newRow("numeric properties") << "SELECT COUNT(*) FROM L_PROPNUMBER_LIST" << 20 << any;
        for (const char *table : {"L_TYPEOBJ_TOP", "L_PROPNUMBER_TOP", "L_PROPENUM_TOP"})
            QTest::newRow(table) << QStringLiteral("SELECT COUNT(*) FROM %1").arg(table) << 3 << any;
        QTest::newRow("reference objects") << "SELECT COUNT(*) FROM OBJECTS_TREE WHERE ITS_BASE <= 0" << 3 << any;
        QTest::newRow("property values") << "SELECT COUNT(*) FROM OBJECTS_PROP_NUMBER" << 300 << any;
        QTest::newRow("parents and paths agree")
            << "SELECT COUNT(*) FROM OBJECTS_TREE t WHERE ID_PARENT IS NOT NULL AND NOT EXISTS (SELECT 1 FROM "
               "OBJECTS_TREE p WHERE p.ID_THIS = t.ID_PARENT AND t.PARENTS_ID = COALESCE(p.PARENTS_ID, '') || '[' "
               "|| p.ID_THIS || ']')" << 0 << 0;
        QTest::newRow("units exist") << "SELECT COUNT(*) FROM L_PROPNUMBER_LIST l WHERE ID_UNITMEASURE IS NOT NULL AND "
                                        "NOT EXISTS (SELECT 1 FROM L_PROPENUM_VAL v WHERE v.ID_THIS = l.ID_UNITMEASURE)"
                                     << 0 << 0;
        QTest::newRow("types in groups") << "SELECT COUNT(*) FROM L_TYPEOBJ_LIST l WHERE NOT EXISTS (SELECT 1 FROM "
                                            "L_TYPEOBJ_GRP g WHERE g.ID_THIS = l.ID_GRP)" << 0 << 0;
        QTest::newRow("NUMPP unique among siblings")
            << "SELECT COUNT(*) FROM (SELECT ID_PARENT FROM OBJECTS_TREE GROUP BY ID_PARENT, NUMPP HAVING COUNT(*) > 1)"
            << 0 << 0;
        QTest::newRow("type missing from the catalog")
            << "SELECT COUNT(*) FROM OBJECTS_TREE t WHERE NOT EXISTS (SELECT 1 FROM L_TYPEOBJ_LIST l WHERE l.ID_THIS = "
               "t.ID_TYPE)" << 1 << any;
        QTest::newRow("kind neither object nor process") << "SELECT COUNT(*) FROM L_TYPEOBJ_LIST WHERE ID_KIND NOT IN (1, 2)"
                                                         << 1 << any;
        QTest::newRow("abstract types") << "SELECT COUNT(*) FROM L_TYPEOBJ_LIST WHERE ITS_ABSTRACT > 0" << 2 << any;
        QTest::newRow("property without unit") << "SELECT COUNT(*) FROM L_PROPNUMBER_LIST WHERE ID_UNITMEASURE IS NULL"
                                               << 1 << any;
        QTest::newRow("group without entries") << "SELECT COUNT(*) FROM L_TYPEOBJ_GRP g WHERE NOT EXISTS (SELECT 1 FROM "
                                                  "L_TYPEOBJ_LIST l WHERE l.ID_GRP = g.ID_THIS)" << 1 << any;
        QTest::newRow("property without values") << "SELECT COUNT(*) FROM L_PROPENUM_LIST p WHERE NOT EXISTS (SELECT 1 "
                                                    "FROM L_PROPENUM_VAL v WHERE v.ID_GRP = p.ID_THIS)" << 1 << any;
        QTest::newRow("macro-group without groups") << "SELECT COUNT(*) FROM L_TYPEOBJ_MACRO m WHERE NOT EXISTS (SELECT 1 "
                                                       "FROM L_TYPEOBJ_GRP g WHERE g.ID_GRP = m.ID_THIS)" << 1 << any;
        QTest::newRow("precision of thousandths") << "SELECT COUNT(*) FROM L_PROPNUMBER_LIST WHERE PRECIS = 3" << 1 << any;
        QTest::newRow("references refer to base objects")
            << "SELECT COUNT(*) FROM OBJECTS_TREE t WHERE ITS_BASE <= 0 AND NOT EXISTS (SELECT 1 FROM OBJECTS_TREE b "
               "WHERE b.ID_THIS = t.ID_REF AND b.ITS_BASE > 0)" << 0 << 0;
        // Every look of the result grid on several rows.
        const QString objects = QStringLiteral("SELECT COUNT(*) FROM OBJECTS_TREE t LEFT JOIN L_TYPEOBJ_LIST l ON "
                                               "l.ID_THIS = t.ID_TYPE WHERE ");
        for (const char *look : {"COALESCE(l.ID_KIND, 0) NOT IN (1, 2)", "l.ITS_ABSTRACT > 0 AND t.ITS_BASE > 0",
                                 "l.ITS_ABSTRACT > 0 AND t.ITS_BASE <= 0",
                                 "l.ITS_ABSTRACT <= 0 AND t.ITS_BASE > 0 AND l.ID_KIND = 1",
                                 "l.ITS_ABSTRACT <= 0 AND t.ITS_BASE > 0 AND l.ID_KIND = 2",
                                 "l.ITS_ABSTRACT <= 0 AND t.ITS_BASE <= 0 AND l.ID_KIND = 1",
                                 "l.ITS_ABSTRACT <= 0 AND t.ITS_BASE <= 0 AND l.ID_KIND = 2"})
            QTest::newRow(look) << objects + QLatin1String(look) << 3 << any;
        // Every level: a parent above it, siblings numbered apart, texts that
        // WIN1251 holds (a character it lacks is written as "?").
        const char *const levels[][2] = {
            {"L_TYPEOBJ_TOP", nullptr}, {"L_TYPEOBJ_MACRO", "L_TYPEOBJ_TOP"}, {"L_TYPEOBJ_GRP", "L_TYPEOBJ_MACRO"},
            {"L_TYPEOBJ_LIST", "L_TYPEOBJ_GRP"}, {"L_PROPNUMBER_TOP", nullptr},
            {"L_PROPNUMBER_MACRO", "L_PROPNUMBER_TOP"}, {"L_PROPNUMBER_GRP", "L_PROPNUMBER_MACRO"},
            {"L_PROPNUMBER_LIST", "L_PROPNUMBER_GRP"}, {"L_PROPENUM_TOP", nullptr},
            {"L_PROPENUM_MACRO", "L_PROPENUM_TOP"}, {"L_PROPENUM_GRP", "L_PROPENUM_MACRO"},
            {"L_PROPENUM_LIST", "L_PROPENUM_GRP"}, {"L_PROPENUM_VAL", "L_PROPENUM_LIST"}};
        for (const auto &[table, parent] : levels) {
            const QString t = QString::fromLatin1(table);
            QTest::newRow(qPrintable(t + " rows")) << "SELECT COUNT(*) FROM " + t << 3 << any;
            if (parent)
                QTest::newRow(qPrintable(t + " parents"))
                    << QStringLiteral("SELECT COUNT(*) FROM %1 c WHERE NOT EXISTS (SELECT 1 FROM %2 p WHERE p.ID_THIS = "
                                      "c.ID_GRP)").arg(t, QLatin1String(parent)) << 0 << 0;
            QTest::newRow(qPrintable(t + " NUMPP"))
                << QStringLiteral("SELECT COUNT(*) FROM (SELECT ID_GRP FROM %1 GROUP BY ID_GRP, NUMPP HAVING COUNT(*) > 1)")
                       .arg(t) << 0 << 0;
            QTest::newRow(qPrintable(t + " texts"))
                << QStringLiteral("SELECT COUNT(*) FROM %1 WHERE NAME_MAX || NAME_MIN || COALESCE(NOTE, '') CONTAINING '?'")
                       .arg(t) << 0 << 0;
        }
        QTest::newRow("object texts") << "SELECT COUNT(*) FROM OBJECTS_TREE WHERE NAME_MAX || COALESCE(NOTE, '') "
                                         "CONTAINING '?'" << 0 << 0;
        QTest::newRow("names with quotes") << "SELECT COUNT(*) FROM OBJECTS_TREE WHERE NAME_MAX CONTAINING '''' OR "
                                              "NAME_MAX CONTAINING '\"'" << 2 << any;
    }
    void sizesAndRows()
    {
        QFETCH(QString, sql);
        QFETCH(int, atLeast);
        QFETCH(int, atMost);
        const int n = count(sql);
        QVERIFY2(n >= atLeast && n <= atMost, qPrintable(QString::number(n)));
    }
};

QTEST_GUILESS_MAIN(TestDemoStore)
#include "test_demo_store.moc"
