// The statement check, without a store: the text is read as the engine reads
// it, and the store's objects that reach a sequence are followed to the end.

#include "db/sql_guard.h"
#include "support/codec_1251.h"

#include <QTest>

class TestSqlGuard : public QObject {
    Q_OBJECT
private slots:
    void sequenceCalls_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("call");
        // Hidden in literals and comments: nothing runs.
        QTest::newRow("string") << "NOTE = 'GEN_ID(G, 1)'" << "";
        QTest::newRow("doubled quote") << "NOTE = 'it''s GEN_ID(G, 1)'" << "";
        QTest::newRow("double quotes are a string") << "NOTE = \"a\"\" next value for G\"" << "";
        QTest::newRow("q braces") << "NOTE = q'{GEN_ID(G, 1)}'" << "";
        QTest::newRow("q parentheses, quote inside") << "NOTE = Q'(it's GEN_ID(G, 1))'" << "";
        QTest::newRow("q brackets") << "NOTE = q'[NEXT VALUE FOR G]'" << "";
        QTest::newRow("q angles") << "NOTE = q'<GEN_ID(G, 1)>'" << "";
        QTest::newRow("q any character") << "NOTE = q'!GEN_ID(G, 1)!'" << "";
        QTest::newRow("unclosed q is a word and a string") << "NOTE = q'{GEN_ID(G, 1)'" << "";
        QTest::newRow("introducer") << "NOTE = _WIN1251'GEN_ID(G, 1)'" << "";
        QTest::newRow("hex string") << "NOTE = X'4142' || 'GEN_ID(G, 1)'" << "";
        QTest::newRow("block comment") << "ID = 1 /* GEN_ID(G, 1) */" << "";
        QTest::newRow("line comment") << "ID = 1 -- NEXT VALUE FOR G\n" << "";
        QTest::newRow("inside a name") << "MY_GEN_ID_COL = 1 AND GEN_ID_X(1) > 0 AND NEXT_VALUE_FOR = 2" << "";
        // Outside every literal and comment: found.
        QTest::newRow("q quote closed by brace-quote")
            << "t_o.ID_THIS = q'{'}' OR GEN_ID(G_X, 1) > 0 OR 'a' = 'a'" << "GEN_ID";
        QTest::newRow("q with next value for")
            << "t_o.ID_THIS = q'<'>' OR (NEXT VALUE FOR G_X) > 0 OR 'a' = 'a'" << "NEXT VALUE FOR";
        QTest::newRow("after doubled double quote") << "NOTE = \"x\"\"\" OR GEN_ID(G, 1) > 0" << "GEN_ID";
        QTest::newRow("comments between words") << "gen_id /* a */ -- b\n (G, 1) > 0" << "GEN_ID";
        QTest::newRow("any blanks and case") << "(NeXt\tVaLuE\f/**/FoR\r\nG) > 0" << "NEXT VALUE FOR";
        QTest::newRow("line comment ends at CR") << "ID = 1 -- x\rOR GEN_ID(G, 1) > 0" << "GEN_ID";
        QTest::newRow("after a Cyrillic letter") << "ID = 1 OR ЖGEN_ID(G, 1) > 0" << "GEN_ID";
        QTest::newRow("after a number") << "ID = 1GEN_ID(G, 1)" << "GEN_ID";
        QTest::newRow("after a hex number") << "ID = 0xAGEN_ID(G, 1)" << "GEN_ID";
        QTest::newRow("not hex: X is a word") << "NOTE = X'4G' OR GEN_ID(G, 1) > 0" << "GEN_ID";
        QTest::newRow("introducer before a name") << "ID = _GEN_ID(G, 1)" << "GEN_ID";
    }
    void sequenceCalls()
    {
        QFETCH(QString, condition);
        QFETCH(QString, call);
        QCOMPARE(SequenceCallIn(condition), call);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("refusal"); // a part of the message, empty: sent
        QTest::newRow("select") << "  -- first\nselect ID from OBJECTS_TREE" << "";
        QTest::newRow("common table expression") << "WITH X AS (SELECT 1 A FROM RDB$DATABASE) SELECT A FROM X" << "";
        QTest::newRow("block") << "EXECUTE BLOCK RETURNS (X INT) AS BEGIN SUSPEND; END" << "только запросы SELECT";
        QTest::newRow("procedure") << "EXECUTE PROCEDURE P" << "только запросы SELECT";
        QTest::newRow("empty of words") << "/* SELECT */" << "только запросы SELECT";
        QTest::newRow("selectable procedure") << "SELECT X FROM P_NEXT" << "процедура P_NEXT";
        QTest::newRow("function") << "SELECT 1 FROM RDB$DATABASE WHERE f_next() > 0" << "функция F_NEXT";
        QTest::newRow("view over the function") << "SELECT * FROM V_NEXT" << "представление V_NEXT";
        QTest::newRow("table's computed column") << "SELECT ID FROM T_COMPUTED" << "таблица T_COMPUTED";
        QTest::newRow("view's own column") << "SELECT X FROM V_COLUMN" << "представление V_COLUMN";
        QTest::newRow("package") << "SELECT PKG.F() FROM RDB$DATABASE" << "пакет PKG";
        QTest::newRow("dynamic sql") << "SELECT * FROM P_DYNAMIC" << "EXECUTE STATEMENT";
        QTest::newRow("named in a literal only") << "SELECT ID FROM T WHERE N = 'P_NEXT'" << "";
        QTest::newRow("table with a trigger") << "SELECT ID FROM T_TRIGGERED" << "";
    }
    void refusals()
    {
        QFETCH(QString, statement);
        QFETCH(QString, refusal);
        const QString message = StatementRefusal(Cp1251::encode(statement), storeObjects());
        if (refusal.isEmpty())
            QVERIFY2(message.isEmpty(), qPrintable(message));
        else
            QVERIFY2(message.contains(refusal), qPrintable(message));
    }

    void reachFollowsEveryPath()
    {
        const SequenceReach reach = storeObjects();
        // Through each other, in a cycle, to the end; triggers never.
        for (const char *name : {"P_NEXT", "F_NEXT", "V_NEXT", "T_COMPUTED", "P_CYCLE_A", "P_CYCLE_B", "PKG",
                                 "P_DYNAMIC", "V_DYNAMIC"})
            QVERIFY2(reach.find(QLatin1String(name)), name);
        for (const char *name : {"T_TRIGGERED", "TR_ID", "G", "P_SAFE"})
            QVERIFY2(!reach.find(QLatin1String(name)), name);
        QVERIFY(reach.find("V_DYNAMIC")->dynamic);
        QVERIFY(!reach.find("P_CYCLE_B")->dynamic);
    }

private:
    static SequenceReach storeObjects()
    {
        using namespace ObjectType;
        return SequenceReach({
            {"P_NEXT", Procedure, "G", Sequence, ""},
            {"F_NEXT", Function, "P_NEXT", Procedure, ""},
            {"V_NEXT", View, "F_NEXT", Function, ""},
            {"RDB$5", ComputedColumn, "G", Sequence, "T_COMPUTED"},
            {"RDB$6", ComputedColumn, "G", Sequence, "V_COLUMN", true},
            {"P_CYCLE_A", Procedure, "P_CYCLE_B", Procedure, ""},
            {"P_CYCLE_B", Procedure, "P_CYCLE_A", Procedure, ""},
            {"P_CYCLE_B", Procedure, "T_COMPUTED", Table, ""},
            {"PKG", PackageBody, "G", Sequence, ""},
            {"TR_ID", Trigger, "G", Sequence, ""},
            {"P_SAFE", Procedure, "T_TRIGGERED", Table, ""},
            {"P_DYNAMIC", Procedure, "", DynamicSql, ""},
            {"V_DYNAMIC", View, "P_DYNAMIC", Procedure, ""},
        });
    }
};

QTEST_APPLESS_MAIN(TestSqlGuard)
#include "test_sql_guard.moc"
