// bench/statement_guard [--server]
// What the statement guard costs for each statement the program sends. It
// reads, for the objects a statement names, what they use from the store's
// system tables as they stand (a routine may have been created or altered a
// moment ago), so its cost is measured here per statement: on the demo store
// and on a store with 10,000 routines (procedures, functions, packages with
// their routines, views and computed columns over them, in chains ten deep),
// for the result query, a caption lookup, and statements that name a chain
// of routines. Beside it: the whole statement as the program sends it (guard,
// prepare, first rows) against isql-fb running the same statement 200 times
// in one script, and what reading the whole store's code would cost instead.
// With --server both stores are read through a Firebird server of the
// bench's own on loopback. Last, the lexer on a megabyte of unclosed
// literals.

#include "bench_common.h"
#include "store_writer.h"

#include "common/private_server.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/sql_guard.h"
#include "db/store_dependencies.h"
#include "demo_content.h"
#include "results/result_query.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryFile>
#include <cstdio>
#include <memory>

namespace {

constexpr int kRepeat = 200;

// 5,000 procedures, 3,000 functions and 500 packages of 4 routines, in
// chains of ten (each calls the one before); the first of every tenth chain
// moves the sequence, every 50th procedure runs dynamic SQL; a view over
// each tenth function and a table with a computed column over each 100th.
void fillRoutines(StoreWriter &w)
{
    FillDemoStore(w);
    w.exec("CREATE SEQUENCE G_BENCH");
    w.commit();
    for (int i = 0; i < 5000; ++i) {
        QString body;
        if (i % 10 != 0)
            body = QStringLiteral("SELECT R FROM P_%1 INTO :R;").arg(i - 1, 5, 10, QLatin1Char('0'));
        else if (i % 100 == 0)
            body = QStringLiteral("R = GEN_ID(G_BENCH, 1);");
        else
            body = QStringLiteral("R = %1;").arg(i);
        if (i % 50 == 7)
            body += QStringLiteral(" EXECUTE STATEMENT 'SELECT 1 FROM RDB$DATABASE' INTO :R;");
        w.exec(QStringLiteral("CREATE PROCEDURE P_%1 RETURNS (R INTEGER) AS BEGIN %2 SUSPEND; END")
                   .arg(i, 5, 10, QLatin1Char('0'))
                   .arg(body));
        if (i % 200 == 199)
            w.commit();
    }
    for (int i = 0; i < 3000; ++i) {
        const QString body = i % 10 != 0 ? QStringLiteral("RETURN F_%1() + 1;").arg(i - 1, 5, 10, QLatin1Char('0'))
                                         : QStringLiteral("RETURN (SELECT R FROM P_%1);").arg(i, 5, 10, QLatin1Char('0'));
        w.exec(QStringLiteral("CREATE FUNCTION F_%1 RETURNS INTEGER AS BEGIN %2 END").arg(i, 5, 10, QLatin1Char('0')).arg(body));
        if (i % 10 == 9)
            w.exec(QStringLiteral("CREATE VIEW V_%1 (X) AS SELECT F_%1() FROM RDB$DATABASE").arg(i, 5, 10, QLatin1Char('0')));
        if (i % 100 == 99)
            w.exec(QStringLiteral("CREATE TABLE T_%1 (ID INTEGER, C COMPUTED BY (F_%1()))").arg(i, 5, 10, QLatin1Char('0')));
        if (i % 200 == 199)
            w.commit();
    }
    for (int k = 0; k < 500; ++k) {
        const QString name = QStringLiteral("PKG_%1").arg(k, 3, 10, QLatin1Char('0'));
        w.exec(QStringLiteral("CREATE PACKAGE %1 AS BEGIN FUNCTION A RETURNS INTEGER; FUNCTION B RETURNS INTEGER; "
                              "PROCEDURE C RETURNS (R INTEGER); PROCEDURE D RETURNS (R INTEGER); END")
                   .arg(name));
        w.exec(QStringLiteral("CREATE PACKAGE BODY %1 AS BEGIN "
                              "FUNCTION A RETURNS INTEGER AS BEGIN RETURN F_%2(); END "
                              "FUNCTION B RETURNS INTEGER AS BEGIN RETURN A() + 1; END "
                              "PROCEDURE C RETURNS (R INTEGER) AS BEGIN R = B(); SUSPEND; END "
                              "PROCEDURE D RETURNS (R INTEGER) AS BEGIN FOR SELECT R FROM C INTO :R DO SUSPEND; END END")
                   .arg(name)
                   .arg(k * 6 + 5, 5, 10, QLatin1Char('0')));
        if (k % 50 == 49)
            w.commit();
    }
}

struct Side {
    QString name;       // the store as the program names it
    QString isqlName;   // the same for isql-fb
    QString user = QStringLiteral("SYSDBA"); // the routines are executed by their owner
    QString password = QStringLiteral("masterkey");
};

// isql-fb runs the statement kRepeat times in one script; seconds per run.
double isqlPerStatement(const Side &side, const QString &statement)
{
    QTemporaryFile script;
    script.open();
    QByteArray text;
    for (int i = 0; i < kRepeat; ++i)
        text += statement.toLatin1() + ";\n";
    script.write(text);
    script.flush();
    auto run = [&](const QString &file) {
        QProcess isql;
        isql.setStandardOutputFile(QProcess::nullDevice());
        isql.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q"), QStringLiteral("-ch"), QStringLiteral("WIN1251"),
                                               QStringLiteral("-u"), side.user, QStringLiteral("-p"), side.password,
                                               QStringLiteral("-i"), file, side.isqlName});
        isql.waitForFinished(-1);
        return double(timer.nsecsElapsed()) / 1e9;
    };
    QTemporaryFile empty;
    empty.open();
    empty.write("SELECT 1 FROM RDB$DATABASE;\n");
    empty.flush();
    // Less the cost of starting isql-fb and attaching.
    return std::max(0.0, run(script.fileName()) - run(empty.fileName())) / kRepeat;
}

struct Statement {
    const char *title;
    QString text;
};

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void measure(const char *storeTitle, const Side &side, const std::vector<Statement> &statements, bool routines)
{
    std::vector<double> isql;
    for (const Statement &s : statements)
        isql.push_back(isqlPerStatement(side, s.text) * 1000);

    DbConnection conn;
    conn.setDatabaseName(side.name);
    conn.setUserName(side.user);
    conn.setPassword(side.password);
    conn.open();
    conn.defaultTransaction()->start();
    Firebird::IAttachment *attachment = conn.attachment();
    Firebird::ITransaction *transaction = conn.defaultTransaction()->handle();
    const std::shared_ptr<DependencyReader> reader = conn.dependencyReader(); // as the row set checks
    std::printf("%s\n", storeTitle);
    for (std::size_t i = 0; i < statements.size(); ++i) {
        const QByteArray text = statements[i].text.toLatin1();
        QString refusal;
        double guard = 0;
        conn.call([&] {
            QElapsedTimer t;
            t.start();
            for (int r = 0; r < kRepeat; ++r)
                refusal = StoreStatementRefusal(*reader, transaction, text);
            guard = ms(t) / kRepeat;
        });
        double whole = 0;
        if (refusal.isEmpty()) {
            QElapsedTimer t;
            t.start();
            for (int r = 0; r < kRepeat; ++r) {
                DbDataSet ds;
                ds.setConnection(&conn);
                ds.sql() << statements[i].text;
                ds.setFirstFetch(50);
                ds.open();
            }
            whole = ms(t) / kRepeat;
        }
        std::printf("  %-44s guard %6.2f ms/statement", statements[i].title, guard);
        if (refusal.isEmpty() && isql[i] >= 0.01)
            std::printf("; sent whole %6.2f ms, isql-fb %6.2f ms, ratio %.1f\n", whole, isql[i], whole / isql[i]);
        else if (refusal.isEmpty())
            std::printf("; sent whole %6.2f ms, isql-fb under 0.01 ms\n", whole);
        else
            std::printf(" (refused)\n");
    }
    if (routines) {
        // Reading the whole store's code for every statement instead.
        QStringList names;
        DbDataSet all;
        all.setConnection(&conn);
        all.sql() << "SELECT TRIM(RDB$PROCEDURE_NAME) N FROM RDB$PROCEDURES WHERE RDB$PACKAGE_NAME IS NULL UNION ALL "
                     "SELECT TRIM(RDB$FUNCTION_NAME) FROM RDB$FUNCTIONS WHERE RDB$PACKAGE_NAME IS NULL UNION ALL "
                     "SELECT TRIM(RDB$PACKAGE_NAME) FROM RDB$PACKAGES UNION ALL "
                     "SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS WHERE RDB$SYSTEM_FLAG = 0";
        all.open();
        for (all.first(); !all.eof(); all.next())
            names << all.field(0)->asString();
        double wholeStore = 0;
        std::size_t rows = 0;
        conn.call([&] {
            QElapsedTimer t;
            t.start();
            rows = ReadDependencies(attachment, transaction, names).size();
            wholeStore = ms(t);
        });
        std::printf("  reading the code of all %lld objects (%zu rows) instead: %.0f ms per statement\n",
                    static_cast<long long>(names.size()), rows, wholeStore);
    }
    conn.close();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const BenchArgs args = ParseBenchArgs(app.arguments(),
                                          "usage: statement_guard [--server]\n"
                                          "  What the statement guard costs per statement on the demo store and on a\n"
                                          "  store with 10,000 routines, against isql-fb running the same statements;\n"
                                          "  --server: through a Firebird server of the bench's own on loopback.\n",
                                          {}, {QStringLiteral("--server")});
    const QString demo = EnsureStore(QStringLiteral("guard_demo.fdb"), FillDemoStore);
    const QString routines = EnsureStore(QStringLiteral("guard_routines_10000.fdb"), fillRoutines);

    std::unique_ptr<PrivateServer> server;
    auto side = [&](const QString &path) {
        Side s{path, path};
        if (server) {
            s.name = s.isqlName = server->host() + QLatin1Char(':') + path;
            s.user = QStringLiteral("SYSDBA");
            s.password = server->sysdbaPassword();
        }
        return s;
    };
    if (args.flags.contains(QStringLiteral("--server"))) {
        server = PrivateServer::start();
        if (!server) {
            std::fprintf(stderr, "no server: %s\n", qPrintable(PrivateServer::lastError()));
            return 1;
        }
    }

    const QString result = ResultQueryLines(QStringLiteral("(t_o.ITS_BASE = 1) AND (t_o.NAME_MAX CONTAINING 'насос')"),
                                            QStringLiteral("t_o.ID_THIS"))
                               .join('\n');
    const QString lookup = QStringLiteral("SELECT NAME_MAX FROM OBJECTS_TREE WHERE ID_THIS = '1-1'");
    measure(server ? "demo store, through the server" : "demo store", side(demo),
            {{"result query", result}, {"caption lookup", lookup}}, false);
    measure(server ? "10,000 routines, through the server" : "10,000 routines", side(routines),
            {{"result query", result},
             {"caption lookup", lookup},
             {"a chain of 10 procedures, harmless", "SELECT R FROM P_00019"},
             {"a chain of 10 procedures to a sequence", "SELECT R FROM P_00109"},
             {"a package over chains of functions", "SELECT R FROM PKG_001.D"},
             {"a view over 10 functions", "SELECT X FROM V_00019"}},
            true);

    QByteArray literal = "SELECT ID FROM T WHERE N = ";
    while (literal.size() < 1024 * 1024)
        literal += "q'{";
    QElapsedTimer t;
    t.start();
    const QString refusal = StatementRefusal(literal, SequenceReach());
    std::printf("lexer: 1 MB of unclosed q'{ literals read in %.0f ms%s\n", ms(t),
                refusal.isEmpty() ? "" : " (refused)");
    return 0;
}
