// The statement check, without a store: the text is read as the engine reads
// it, and the store's objects that reach a sequence or unchecked code are
// followed to the end.

#include "db/sql_guard.h"
#include "db/sql_lexer.h"
#include "support/codec_1251.h"

#include <QTest>

namespace {

// A store's dependency rows, as store_dependencies reads them.
SequenceReach storeObjects()
{
    using namespace ObjectType;
    return SequenceReach({
        {"P_NEXT", Procedure, "G", Sequence},
        {"F_NEXT", Function, "P_NEXT", Procedure},
        {"V_NEXT", View, "F_NEXT", Function},
        {"T_COMPUTED", Table, "G", Sequence},
        {"V_COLUMN", View, "G", Sequence},
        {"P_CYCLE_A", Procedure, "P_CYCLE_B", Procedure},
        {"P_CYCLE_B", Procedure, "P_CYCLE_A", Procedure},
        {"P_CYCLE_B", Procedure, "T_COMPUTED", Table},
        {"PKG", PackageBody, "G", Sequence},
        {"P_VIA_PKG", Procedure, "PKG", PackageBody},
        {"PKG_HEAD", PackageHeader, "PKG", PackageBody},
        {"P_SAFE", Procedure, "T_TRIGGERED", Table},
        {"P_DYNAMIC", Procedure, "", DynamicSql},
        {"V_DYNAMIC", View, "P_DYNAMIC", Procedure},
        {"P_BOTH", Procedure, "P_DYNAMIC", Procedure},
        {"P_BOTH", Procedure, "P_NEXT", Procedure},
        {"P_NOSRC", Procedure, "", NoSource},
        {"V_NOSRC", View, "P_NOSRC", Procedure},
        {"P_NOSRC_AND_UDF", Procedure, "UDF_X", Function},
        {"P_NOSRC_AND_UDF", Procedure, "P_NOSRC", Procedure},
        {"F_CALLS_UDF", Function, "UDF_X", Function},
        {"UDF_X", Function, "", External},
        {"PKG_DYN", PackageBody, "", DynamicSql},
        {"TR_CONNECT", Trigger, "G", Sequence},
        {"TR_START", Trigger, "P_DYNAMIC", Procedure},
        {"TR_SAFE", Trigger, "T_TRIGGERED", Table},
        {"TR_DYN", Trigger, "", DynamicSql},
    });
}

QString refusal(const QByteArray &statement)
{
    return StatementRefusal(statement, storeObjects());
}

} // namespace

class TestSqlGuard : public QObject {
    Q_OBJECT
private slots:
    // A condition in the result query's place: a sequence call outside
    // every literal and comment is refused, one inside runs.
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
        QTest::newRow("q closed at once") << "NOTE = q'{}' AND NOTE = q'{ GEN_ID(G, 1) }'" << "";
        QTest::newRow("unclosed q is a word and a string") << "NOTE = q'{GEN_ID(G, 1)'" << "";
        QTest::newRow("introducer") << "NOTE = _WIN1251'GEN_ID(G, 1)'" << "";
        QTest::newRow("hex string") << "NOTE = X'4142' || 'GEN_ID(G, 1)'" << "";
        QTest::newRow("block comment") << "ID = 1 /* GEN_ID(G, 1) */" << "";
        QTest::newRow("line comment") << "ID = 1 -- NEXT VALUE FOR G\n" << "";
        QTest::newRow("double minus is a comment") << "ID = a--b OR GEN_ID(G, 1) > 0" << "";
        QTest::newRow("malformed exponent then a comment") << "ID = 1E-- GEN_ID(G, 1) > 0" << "";
        QTest::newRow("the word alone, last") << "X = GEN_ID" << "";
        QTest::newRow("the word, no call") << "X = GEN_ID OR GEN_ID = 1" << "";
        QTest::newRow("inside a name") << "MY_GEN_ID_COL = 1 AND GEN_ID_X(1) > 0 AND NEXT_VALUE_FOR = 2" << "";
        // Outside every literal and comment: found.
        QTest::newRow("q quote closed by brace-quote")
            << "t_o.ID_THIS = q'{'}' OR GEN_ID(G_X, 1) > 0 OR 'a' = 'a'" << "GEN_ID";
        QTest::newRow("q with next value for")
            << "t_o.ID_THIS = q'<'>' OR (NEXT VALUE FOR G_X) > 0 OR 'a' = 'a'" << "NEXT VALUE FOR";
        QTest::newRow("q closed by the first delimiter-quote")
            << "NOTE = q'{a}' OR GEN_ID(G, 1) > 0 OR '}' = ''" << "GEN_ID";
        QTest::newRow("after doubled double quote") << "NOTE = \"x\"\"\" OR GEN_ID(G, 1) > 0" << "GEN_ID";
        QTest::newRow("comments between words") << "gen_id /* a */ -- b\n (G, 1) > 0" << "GEN_ID";
        QTest::newRow("any blanks and case") << "(NeXt\tVaLuE\f/**/FoR\r\nG) > 0" << "NEXT VALUE FOR";
        QTest::newRow("line comment ends at CR") << "ID = 1 -- x\rOR GEN_ID(G, 1) > 0" << "GEN_ID";
        QTest::newRow("line comment ends at LF") << "ID = a--b\nOR GEN_ID(G, 1) > 0" << "GEN_ID";
        QTest::newRow("minus between numbers") << "ID = 2-1 OR GEN_ID(G, 1) > 0" << "GEN_ID";
        QTest::newRow("lone minus and slash") << "ID = -1 - -2 / 1 OR GEN_ID(G, 1) > 0" << "GEN_ID";
        QTest::newRow("after a Cyrillic letter") << "ID = 1 OR ЖGEN_ID(G, 1) > 0" << "GEN_ID";
        QTest::newRow("after a number") << "ID = 1GEN_ID(G, 1)" << "GEN_ID";
        QTest::newRow("after a decimal") << "ID = 1.5GEN_ID(G, 1)" << "GEN_ID";
        QTest::newRow("after a leading point") << "ID = .5 OR GEN_ID(G, 1) > 0" << "GEN_ID";
        QTest::newRow("after an exponent") << "ID = 1E5GEN_ID(G, 1)" << "GEN_ID";
        QTest::newRow("after a signed exponent") << "ID = 2.5e-3 OR NEXT VALUE FOR G > 0" << "NEXT VALUE FOR";
        QTest::newRow("after a plus exponent") << "ID = 1e+7GEN_ID(G, 1)" << "GEN_ID";
        QTest::newRow("two points") << "ID = 1.2.3GEN_ID(G, 1)" << "GEN_ID";
        QTest::newRow("exponent without digits") << "ID = 1Ex OR GEN_ID(G, 1) > 0" << "GEN_ID";
        QTest::newRow("exponent sign without digits") << "ID = 1E+GEN_ID(G, 1)" << "GEN_ID";
        QTest::newRow("text ends in an exponent") << "GEN_ID(G, 1) > 1E" << "GEN_ID";
        QTest::newRow("after a hex number") << "ID = 0xAGEN_ID(G, 1)" << "GEN_ID";
        QTest::newRow("not hex: X is a word") << "NOTE = X'4G' OR GEN_ID(G, 1) > 0" << "GEN_ID";
        QTest::newRow("odd hex: X is a word") << "NOTE = X'414' OR GEN_ID(G, 1) > 0 OR N = '" << "GEN_ID";
        QTest::newRow("introducer before a name") << "ID = _GEN_ID(G, 1)" << "GEN_ID";
    }
    void sequenceCalls()
    {
        QFETCH(QString, condition);
        QFETCH(QString, call);
        const QString message =
            StatementRefusal(Cp1251::encode("SELECT ID FROM OBJECTS_TREE t_o WHERE " + condition), SequenceReach());
        if (call.isEmpty())
            QVERIFY2(message.isEmpty(), qPrintable(message));
        else
            QCOMPARE(message, "Запрос не отправлен: в нём вызывается " + call + ". Такой вызов изменил бы счётчик "
                                                                                "(генератор) базы данных, а программа базу данных только читает.");
    }

    // The tokens of texts at each edge of the engine's reading (checked
    // against the engine: where it takes a word, a literal or a number).
    void tokens_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("tokens");
        QTest::newRow("letters, digits, $ and _ in words") << QByteArray("Zz_9$ zZ a0 A$B") << "W:ZZ_9$ W:ZZ W:A0 W:A$B";
        QTest::newRow("what cannot begin a word") << QByteArray("$a _x 9a") << "P:$ W:A P:_ W:X N:9 W:A";
        QTest::newRow("numbers") << QByteArray("0 9 10.9 .0 9e9 1.e3 5E+2 5e-1") << "N:0 N:9 N:10.9 N:.0 N:9e9 N:1.e3 N:5E+2 N:5e-1";
        QTest::newRow("malformed numbers")
            << QByteArray("1.2.3 4..5 6ex 7e+x 8E 9e+-1")
            << "P:1 P:. N:2.3 P:4 P:. N:.5 P:6 W:EX P:7 W:E P:+ W:X P:8 W:E P:9 W:E P:+ P:- N:1";
        QTest::newRow("a number ends at a point after the exponent") << QByteArray("1e5.5") << "N:1e5 N:.5";
        QTest::newRow("hex numbers") << QByteArray("0xAF 0xaf 0x9G 0xG") << "N:0xAF N:0xaf N:0x9 W:G N:0 W:XG";
        QTest::newRow("16 hex digits") << QByteArray("0xFFFFFFFFFFFFFFFF") << "N:0xFFFFFFFFFFFFFFFF";
        QTest::newRow("17 hex digits") << QByteArray("0xFFFFFFFFFFFFFFFFF") << "N:0 W:XFFFFFFFFFFFFFFFFF";
        QTest::newRow("hex strings") << QByteArray("x'4a' X'4A' x'' X'4' X'4 1' x'4g' x'4ag'")
                                     << "L:x'4a' L:X'4A' L:x'' W:X L:'4' W:X L:'4 1' W:X L:'4g' W:X L:'4ag'";
        QTest::newRow("points") << QByteArray("t.x .e .") << "W:T P:. W:X P:. W:E P:.";
        QTest::newRow("introducers") << QByteArray("_w'a' _\"b\" _ c") << "P:_ W:W L:'a' P:_ L:\"b\" P:_ W:C";
        QTest::newRow("doubled quotes") << QByteArray("'a''b' \"c\"\"d\" '' 'e") << "L:'a''b' L:\"c\"\"d\" L:'' L:'e";
        QTest::newRow("line comments") << QByteArray("a -- b\nc -x --\rd -") << "W:A W:C P:- W:X W:D P:-";
        QTest::newRow("block comments") << QByteArray("a/b /*/ c */ d /**/e /* f") << "W:A P:/ W:B W:D W:E";
        QTest::newRow("q literals") << QByteArray("q'(a)' Q'[b]' q'{c}' q'<d>' q'!e!' q'[]]' q'{}'")
                                    << "L:q'(a)' L:Q'[b]' L:q'{c}' L:q'<d>' L:q'!e!' L:q'[]]' L:q'{}'";
        QTest::newRow("q delimiters are paired") << QByteArray("q'(a(' q'[a[' q'{a{' q'<a<'")
                                                 << "W:Q L:'(a(' W:Q L:'[a[' W:Q L:'{a{' W:Q L:'<a<'";
        QTest::newRow("unclosed q: a word") << QByteArray("q'{}") << "W:Q L:'{}";
        QTest::newRow("q closed by the first delimiter and quote") << QByteArray("q'{a}'}' b") << "L:q'{a}' P:} L:' b";
        QTest::newRow("the same delimiter again") << QByteArray("q'{x}' q'{ q'{y}'") << "L:q'{x}' L:q'{ q'{y}'";
    }
    void tokens()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, tokens);
        QStringList seen;
        for (const SqlToken &t : SqlTokens(text))
            seen << QString("WNLP"[t.kind]) + ':' + QString::fromLatin1(t.text.data(), qsizetype(t.text.size()));
        QCOMPARE(seen.join(' '), tokens);
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<QString>("refusal"); // a part of the message, empty: sent
        QTest::newRow("select") << QByteArray("  -- first\nselect ID from OBJECTS_TREE") << "";
        QTest::newRow("common table expression")
            << QByteArray("WITH X AS (SELECT 1 A FROM RDB$DATABASE) SELECT A FROM X") << "";
        QTest::newRow("block") << QByteArray("EXECUTE BLOCK RETURNS (X INT) AS BEGIN SUSPEND; END")
                               << "Разрешены только запросы SELECT";
        QTest::newRow("procedure") << QByteArray("EXECUTE PROCEDURE P") << "Разрешены только запросы SELECT";
        QTest::newRow("locking select") << QByteArray("SELECT ID FROM T\nwith  /* x */ lock") << "Разрешены только запросы SELECT";
        QTest::newRow("only the lock") << QByteArray("WITH LOCK") << "Разрешены только запросы SELECT";
        QTest::newRow("common table named lock") << QByteArray("WITH LOCK AS (SELECT 1 A FROM T) SELECT A FROM LOCK") << "";
        QTest::newRow("empty of words") << QByteArray("/* SELECT */") << "Разрешены только запросы SELECT";
        QTest::newRow("NUL byte") << QByteArray("SELECT ID FROM T WHERE X > 0\0 AND 1 = 0", 39) << "символ с кодом 0";
        QTest::newRow("procedure reaching")
            << QByteArray("SELECT X FROM P_NEXT")
            << "в нём названа процедура P_NEXT базы данных, а при её выполнении изменился бы счётчик (генератор) G";
        QTest::newRow("function") << QByteArray("SELECT 1 FROM RDB$DATABASE WHERE f_next() > 0")
                                  << "названа функция F_NEXT базы данных, а при её вызове изменился бы";
        QTest::newRow("view over the function")
            << QByteArray("SELECT * FROM V_NEXT") << "названо представление V_NEXT базы данных, а при его чтении";
        QTest::newRow("table's computed column")
            << QByteArray("SELECT ID FROM T_COMPUTED")
            << "названа таблица T_COMPUTED базы данных, а при чтении её вычисляемого поля";
        QTest::newRow("view's own column") << QByteArray("SELECT X FROM V_COLUMN") << "названо представление V_COLUMN";
        QTest::newRow("package")
            << QByteArray("SELECT PKG.F() FROM RDB$DATABASE")
            << "назван пакет PKG базы данных, а при вызове его подпрограмм изменился бы счётчик";
        QTest::newRow("procedure through a package") << QByteArray("SELECT R FROM P_VIA_PKG") << "процедура P_VIA_PKG";
        QTest::newRow("package header") << QByteArray("SELECT PKG_HEAD.F() FROM RDB$DATABASE") << "назван пакет PKG_HEAD";
        QTest::newRow("dynamic sql")
            << QByteArray("SELECT * FROM P_DYNAMIC")
            << "названа процедура P_DYNAMIC базы данных, а при её выполнении выполняется динамический SQL "
               "(EXECUTE STATEMENT в процедуре P_DYNAMIC). Что он сделает с базой данных, проверить нельзя";
        QTest::newRow("dynamic sql through a view")
            << QByteArray("SELECT * FROM V_DYNAMIC")
            << "названо представление V_DYNAMIC базы данных, а при его чтении выполняется динамический SQL "
               "(EXECUTE STATEMENT в процедуре P_DYNAMIC)";
        QTest::newRow("dynamic package") << QByteArray("SELECT PKG_DYN.F() FROM RDB$DATABASE")
                                         << "(EXECUTE STATEMENT в пакете PKG_DYN)";
        QTest::newRow("a sequence wins") << QByteArray("SELECT R FROM P_BOTH") << "изменился бы счётчик (генератор) G";
        QTest::newRow("no source")
            << QByteArray("SELECT R FROM P_NOSRC")
            << "названа процедура P_NOSRC базы данных, а при её выполнении выполняется код, исходного текста "
               "которого в базе данных нет (процедура P_NOSRC)";
        QTest::newRow("no source through a view")
            << QByteArray("SELECT * FROM V_NOSRC")
            << "названо представление V_NOSRC базы данных, а при его чтении выполняется код, исходного текста "
               "которого в базе данных нет (процедура P_NOSRC)";
        QTest::newRow("no source wins over external") << QByteArray("SELECT R FROM P_NOSRC_AND_UDF")
                                                      << "исходного текста которого в базе данных нет";
        QTest::newRow("external through a function")
            << QByteArray("SELECT F_CALLS_UDF(1) FROM RDB$DATABASE")
            << "названа функция F_CALLS_UDF базы данных, а при её вызове выполняется внешний код, который "
               "хранится вне базы данных (функция UDF_X)";
        QTest::newRow("named in a literal only") << QByteArray("SELECT ID FROM T WHERE N = 'P_NEXT'") << "";
        QTest::newRow("table with a trigger") << QByteArray("SELECT ID FROM T_TRIGGERED") << "";
        QTest::newRow("a trigger's name") << QByteArray("SELECT TR_CONNECT FROM T") << "";
    }
    void refusals()
    {
        QFETCH(QByteArray, statement);
        QFETCH(QString, refusal);
        const QString message = ::refusal(statement);
        if (refusal.isEmpty())
            QVERIFY2(message.isEmpty(), qPrintable(message));
        else
            QVERIFY2(message.contains(refusal), qPrintable(message));
    }

    void reachFollowsEveryPath()
    {
        const SequenceReach reach = storeObjects();
        // Through each other, in a cycle, to the end; triggers only as seeds.
        for (const char *name : {"P_NEXT", "F_NEXT", "V_NEXT", "T_COMPUTED", "P_CYCLE_A", "P_CYCLE_B", "PKG",
                                 "P_DYNAMIC", "V_DYNAMIC", "TR_CONNECT", "TR_START"})
            QVERIFY2(reach.find(QLatin1String(name)), name);
        for (const char *name : {"T_TRIGGERED", "TR_SAFE", "G", "P_SAFE"})
            QVERIFY2(!reach.find(QLatin1String(name)), name);
        QCOMPARE(reach.size(), 22);
        QCOMPARE(reach.find("P_CYCLE_A")->type, ObjectType::Procedure);
        QCOMPARE(reach.find("PKG_HEAD")->type, ObjectType::PackageBody);
        QCOMPARE(reach.find("TR_START")->why, ObjectType::DynamicSql);
        QCOMPARE(reach.find("TR_START")->origin, QStringLiteral("P_DYNAMIC"));
    }

    void dynamicSql_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<bool>("dynamic");
        QTest::newRow("one blank") << QByteArray("BEGIN EXECUTE STATEMENT 'SELECT 1' INTO :R; END") << true;
        QTest::newRow("blanks, tab, line break")
            << QByteArray("begin execute  \t\r\n statement :s; end") << true;
        QTest::newRow("block comment") << QByteArray("BEGIN EXECUTE/* x */STATEMENT :S; END") << true;
        QTest::newRow("line comment") << QByteArray("BEGIN EXECUTE -- x\nSTATEMENT :S; END") << true;
        QTest::newRow("in a string") << QByteArray("BEGIN R = 'EXECUTE STATEMENT'; END") << false;
        QTest::newRow("in a q string") << QByteArray("BEGIN R = q'{EXECUTE STATEMENT}'; END") << false;
        QTest::newRow("in comments") << QByteArray("/* EXECUTE STATEMENT */ -- EXECUTE STATEMENT\nBEGIN END") << false;
        QTest::newRow("other statements")
            << QByteArray("BEGIN EXECUTE PROCEDURE P; R = STATEMENT; EXECUTE_STATEMENT = 1; END") << false;
        QTest::newRow("last word") << QByteArray("EXECUTE") << false;
    }
    void dynamicSql()
    {
        QFETCH(QByteArray, source);
        QFETCH(bool, dynamic);
        QCOMPARE(RunsDynamicSql(source), dynamic);
    }

    void statementNames()
    {
        QCOMPARE(StatementNames("select x, X FROM p_Next -- Q\nWHERE n = 'P_SAFE' AND PKG.F(1.5) = \"Z\""),
                 QStringList({"SELECT", "X", "FROM", "P_NEXT", "WHERE", "N", "AND", "PKG", "F"}));
    }

    // Texts that made the reading slow, a megabyte long: each is read once
    // (within the tests' time limit), and what stands after it still counts.
    void longTexts_data()
    {
        QTest::addColumn<QByteArray>("piece");
        QTest::addColumn<QByteArray>("closer"); // closes the first piece's literal at the end
        QTest::addColumn<QByteArray>("end");    // after the pieces
        QTest::newRow("unclosed q literals") << QByteArray("q'{") << QByteArray("}'") << QByteArray();
        QTest::newRow("unclosed q, any delimiter") << QByteArray("q'x") << QByteArray("x'") << QByteArray();
        QTest::newRow("q words and short strings") << QByteArray("q'{'") << QByteArray() << QByteArray();
        QTest::newRow("the same with parentheses") << QByteArray("q'('") << QByteArray() << QByteArray();
        QTest::newRow("the same with angles") << QByteArray("q'<'") << QByteArray() << QByteArray();
        QTest::newRow("numbers with two points") << QByteArray("1.") << QByteArray() << QByteArray();
        QTest::newRow("exponents without digits") << QByteArray("1e") << QByteArray() << QByteArray();
        QTest::newRow("unclosed hex strings") << QByteArray("X'0") << QByteArray() << QByteArray();
        QTest::newRow("one word") << QByteArray("a") << QByteArray() << QByteArray();
        QTest::newRow("digits before two points") << QByteArray("1") << QByteArray() << QByteArray("..");
    }
    void longTexts()
    {
        QFETCH(QByteArray, piece);
        QFETCH(QByteArray, closer);
        QFETCH(QByteArray, end);
        // An even count: the quotes of the pieces pair up.
        const QByteArray pieces = piece.repeated(2 * (512 * 1024 / piece.size() + 1));
        const QByteArray text = "SELECT ID FROM T WHERE N = " + pieces + end + " OR GEN_ID(G, 1) > 0";
        QVERIFY(StatementRefusal(text, SequenceReach()).contains("GEN_ID"));
        if (!closer.isEmpty()) {
            const std::vector<SqlToken> tokens = SqlTokens(pieces + closer);
            QCOMPARE(tokens.size(), std::size_t(1));
            QCOMPARE(tokens.front().kind, SqlToken::Literal);
        }
    }

    void databaseTriggerNotice()
    {
        using namespace ObjectType;
        const SequenceReach reach = storeObjects();
        QCOMPARE(DatabaseTriggerNotice({{"TR_SAFE", 8192}}, reach), QString());
        const QString one = DatabaseTriggerNotice({{"TR_CONNECT", 8192}, {"TR_SAFE", 8194}}, reach);
        QCOMPARE(one, QStringLiteral("В базе данных есть триггер базы данных, который сервер выполняет сам, и "
                                     "программа не может этому помешать (отключить его при подключении может "
                                     "только владелец базы данных или SYSDBA):\n"
                                     "    TR_CONNECT (при каждом подключении): изменяет счётчик (генератор) G "
                                     "базы данных\n"
                                     "Сама программа базу данных только читает."));
        const QString two = DatabaseTriggerNotice(
            {{"TR_CONNECT", 8193}, {"TR_START", 8194}, {"TR_CONNECT", 8195}, {"TR_CONNECT", 8196}, {"TR_CONNECT", 9000},
             {"TR_DYN", 8194}},
            reach);
        for (const char *part : {"есть триггеры базы данных, которые", "отключить их",
                                 "TR_CONNECT (при каждом отключении)", "TR_CONNECT (при подтверждении каждой транзакции)",
                                 "TR_CONNECT (при откате каждой транзакции)", "TR_CONNECT (по событию 9000)",
                                 "TR_START (в начале каждой транзакции): выполняется динамический SQL (EXECUTE "
                                 "STATEMENT в процедуре P_DYNAMIC)",
                                 "TR_DYN (в начале каждой транзакции): выполняется динамический SQL (EXECUTE STATEMENT "
                                 "в триггере TR_DYN)"})
            QVERIFY2(two.contains(QString::fromUtf8(part)), part);
    }
};

QTEST_APPLESS_MAIN(TestSqlGuard)
#include "test_sql_guard.moc"
