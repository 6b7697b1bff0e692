// The promise that nothing the program sends moves a sequence, held against
// the engine itself: a store with a sequence and objects that move it when
// read (procedures, functions, views, computed columns, packages, dynamic SQL
// in every spacing, a routine whose source was removed, an external
// function); conditions that put the calls and the objects in random places
// of the text, inside and outside every literal and comment form, are sent
// as the result window sends them. After each, either the statement was
// refused or the sequence stands where it stood, and conditions that only
// mention the words in literals or comments still run. Each object moves the
// sequence when named past the program (the control). Objects created or
// altered by another attachment while the program stays connected are
// refused at once (through the tests' own server).

#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/db_error.h"
#include "db/fb_api.h"
#include "db/sql_guard.h"
#include "query/filter_page.h"
#include "support/codec_1251.h"
#include "results/result_query.h"
#include "results/result_window.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cstring>

using namespace Firebird;

namespace {

constexpr quint32 kSeed = 20261209;
constexpr int kConditions = 400;

// Each reads as a condition that moves the sequence when it runs.
const char *const kCalls[] = {
    "GEN_ID{}({}G_X{},{}1{}){}>{}0",
    "({}NEXT{}VALUE{}FOR{}G_X{}){}>{}0",
    "EXISTS{}({}SELECT{}R{}FROM{}P_NEXT{})",
    "t_o.NUMPP{}IN{}({}SELECT{}R{}FROM{}P_DEEP{})",
    "F_NEXT{}({}){}>{}0",
    "({}SELECT{}FIRST{}1{}X{}FROM{}V_NEXT{}){}>{}0",
    "({}SELECT{}FIRST{}1{}C{}FROM{}T_COMP{}){}>{}0",
    "EXISTS{}({}SELECT{}R{}FROM{}P_DYN{})",
    "PKG_SEQ.F{}({}){}>{}0",
    "EXISTS{}({}SELECT{}R{}FROM{}PKG_SEQ.P{})",
    "EXISTS{}({}SELECT{}R{}FROM{}P_VIA_PKG{})",
    "F_VIA_PKG{}({}){}>{}0",
    "({}SELECT{}FIRST{}1{}X{}FROM{}V_VIA_PKG{}){}>{}0",
    "({}SELECT{}FIRST{}1{}C{}FROM{}T_VIA_PKG{}){}>{}0",
    "EXISTS{}({}SELECT{}R{}FROM{}P_DYN_COMMENT{})",
    "EXISTS{}({}SELECT{}R{}FROM{}P_NOSRC{})",
};

// Literals the engine closes where a careless reader would not.
const char *const kDecoys[] = {
    "'it''s'", "q'{'}'", "q'<'>'", "q'(''')'", "q'!'!'", "q'[]]'", "\"a\"\"b\"", "_WIN1251'x'", "X'41'",
    "q'{}}'", "''''",
};

enum class Place { Bare, Literal, Comment };

class ConditionMaker {
public:
    explicit ConditionMaker(quint32 seed) : rng_(seed) {}

    // A condition and whether a call stands in it outside every literal and
    // comment.
    QString make(bool &exposed)
    {
        exposed = false;
        QStringList parts;
        const int n = 1 + int(rng_.bounded(4));
        for (int i = 0; i < n; ++i) {
            QString part;
            switch (rng_.bounded(3)) {
            case 0:
                part = QStringLiteral("t_o.NOTE = ") + pick(kDecoys);
                break;
            case 1:
                part = hidden();
                break;
            default:
                part = call(Place::Bare);
                exposed = true;
                break;
            }
            parts << part;
        }
        return parts.join(separator(Place::Bare) + (rng_.bounded(2) ? "OR" : "AND") + separator(Place::Bare));
    }

private:
    template <std::size_t N>
    QString pick(const char *const (&list)[N])
    {
        return QString::fromUtf8(list[rng_.bounded(quint32(N))]);
    }

    QString randomCase(const QString &s)
    {
        QString out;
        for (QChar c : s)
            out += rng_.bounded(2) ? c.toLower() : c.toUpper();
        return out;
    }

    // Blanks, line breaks and comments between words, as the place allows:
    // a line break would end a line comment, "*/" a block comment.
    QString separator(Place place)
    {
        switch (rng_.bounded(place == Place::Comment ? 3 : 6)) {
        case 0: return QStringLiteral(" ");
        case 1: return QStringLiteral("\t ");
        case 2: return QStringLiteral("  ");
        case 3: return QStringLiteral("\r\n");
        case 4: return QStringLiteral(" /* c */ ");
        default: return QStringLiteral(" -- c\n");
        }
    }

    QString call(Place place)
    {
        QString text = pick(kCalls);
        while (text.contains(QLatin1String("{}")))
            text.replace(text.indexOf(QLatin1String("{}")), 2, separator(place));
        // Words in any case; the sequence and the objects keep theirs.
        return randomCase(text).replace(QLatin1String("g_x"), QLatin1String("G_X"), Qt::CaseInsensitive);
    }

    // A call written inside one literal or comment form.
    QString hidden()
    {
        switch (rng_.bounded(9)) {
        case 0: return QStringLiteral("t_o.NOTE = '%1'").arg(call(Place::Literal).replace("'", "''"));
        case 1: return QStringLiteral("t_o.NOTE = \"%1\"").arg(call(Place::Literal));
        case 2: return QStringLiteral("t_o.NOTE = q'{%1}'").arg(call(Place::Comment));
        case 3: return QStringLiteral("t_o.NOTE = Q'(%1)'").arg(call(Place::Comment));
        case 4: return QStringLiteral("t_o.NOTE = q'<%1>'").arg(call(Place::Comment));
        case 5: return QStringLiteral("t_o.NOTE = q'#%1#'").arg(call(Place::Comment));
        case 6: return QStringLiteral("t_o.NOTE = _WIN1251'%1'").arg(call(Place::Literal));
        case 7: return QStringLiteral("/* %1 */ t_o.NOTE = 'x'").arg(call(Place::Comment));
        default: return QStringLiteral("-- %1\nt_o.NOTE = 'x'").arg(call(Place::Comment));
        }
    }

    QRandomGenerator rng_;
};

} // namespace

// The value of the sequence, read past the program's guard.
qint64 SequenceValue(IAttachment *attachment)
{
    fb::Status st;
    return fb::check([&] {
        fb::Handle<ITransaction> tra(attachment->startTransaction(st.get(), 0, nullptr));
        fb::Handle<IStatement> s(
            attachment->prepare(st.get(), tra.get(), 0, "SELECT GEN_ID(G_X, 0) FROM RDB$DATABASE", 1, 0));
        fb::Handle<IMessageMetadata> meta(s->getOutputMetadata(st.get()));
        std::vector<unsigned char> buf(meta->getMessageLength(st.get()));
        s->execute(st.get(), tra.get(), nullptr, nullptr, meta.get(), buf.data());
        ISC_INT64 value = 0;
        std::memcpy(&value, buf.data() + meta->getOffset(st.get(), 0), sizeof value);
        fb::end(tra, [](ITransaction *t, ThrowStatusWrapper *w) { t->commit(w); });
        return qint64(value);
    });
}

// Counts the objects a condition finds, past the program's guard, in a
// read-only transaction: only a sequence can change. The bytes are sent
// whole.
qint64 CountUnguarded(IAttachment *attachment, const QByteArray &condition)
{
    fb::Status st;
    return fb::check([&] {
        static const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                                            isc_tpb_rec_version};
        fb::Handle<ITransaction> tra(attachment->startTransaction(st.get(), sizeof tpb, tpb));
        const QByteArray sql = "SELECT COUNT(*) FROM OBJECTS_TREE t_o WHERE " + condition;
        fb::Handle<IStatement> s(attachment->prepare(st.get(), tra.get(), unsigned(sql.size()), sql.constData(), 1, 0));
        fb::Handle<IMessageMetadata> meta(s->getOutputMetadata(st.get()));
        std::vector<unsigned char> buf(meta->getMessageLength(st.get()));
        s->execute(st.get(), tra.get(), nullptr, nullptr, meta.get(), buf.data());
        std::int32_t count = 0;
        std::memcpy(&count, buf.data() + meta->getOffset(st.get(), 0), sizeof count);
        return qint64(count);
    });
}

// Sends the condition as the result window does; true when it ran.
bool SendGuarded(DbConnection &conn, const QString &condition, QString *error = nullptr)
{
    DbDataSet ds;
    ds.setConnection(&conn);
    for (const FieldDef &f : ResultFieldDefs())
        ds.addField(f);
    ds.sql() = ResultQueryLines(condition, QStringLiteral("t_o.ID_THIS"));
    try {
        ds.open();
        ds.last();
        return true;
    } catch (const DbError &e) {
        if (error)
            *error = e.message();
        return false;
    }
}

// The objects of the store, made by a writer attached to it.
void AddGuardedObjects(StoreWriter &w)
{
    w.exec("CREATE SEQUENCE G_X");
    w.commit();
    w.exec("ALTER SEQUENCE G_X RESTART WITH 5");
    w.exec("CREATE PROCEDURE P_NEXT RETURNS (R INTEGER) AS BEGIN R = GEN_ID(G_X, 1000); SUSPEND; END");
    w.exec("CREATE FUNCTION F_NEXT RETURNS INTEGER AS BEGIN RETURN GEN_ID(G_X, 100000); END");
    w.exec("CREATE VIEW V_NEXT (X) AS SELECT GEN_ID(G_X, 350) FROM RDB$DATABASE");
    w.exec("CREATE TABLE T_COMP (ID INTEGER, C COMPUTED BY (GEN_ID(G_X, 7)))");
    w.commit();
    w.exec("INSERT INTO T_COMP (ID) VALUES (1)");
    w.exec("CREATE PROCEDURE P_DEEP RETURNS (R INTEGER) AS BEGIN "
           "FOR SELECT X FROM V_NEXT INTO :R DO SUSPEND; END");
    w.exec("CREATE VIEW V_OVER_COMP (X) AS SELECT C FROM T_COMP");
    w.exec("CREATE PROCEDURE P_DYN RETURNS (R INTEGER) AS BEGIN "
           "EXECUTE STATEMENT 'SELECT GEN_ID(G_X, 3) FROM RDB$DATABASE' INTO :R; SUSPEND; END");
    // Keys from a trigger: the table stays readable.
    w.exec("CREATE TRIGGER TR_OBJECTS FOR OBJECTS_TREE BEFORE INSERT AS BEGIN "
           "NEW.NUMPP = GEN_ID(G_X, 1); END");
    // A package: a routine of its header calls one of its body only.
    w.exec("CREATE PACKAGE PKG_SEQ AS BEGIN FUNCTION F RETURNS INTEGER; PROCEDURE P RETURNS (R INTEGER); END");
    w.exec("CREATE PACKAGE BODY PKG_SEQ AS BEGIN "
           "FUNCTION H RETURNS INTEGER AS BEGIN RETURN GEN_ID(G_X, 11); END "
           "FUNCTION F RETURNS INTEGER AS BEGIN RETURN H(); END "
           "PROCEDURE P RETURNS (R INTEGER) AS BEGIN R = GEN_ID(G_X, 13); SUSPEND; END END");
    w.commit();
    w.exec("CREATE PROCEDURE P_VIA_PKG RETURNS (R INTEGER) AS BEGIN R = PKG_SEQ.F(); SUSPEND; END");
    w.exec("CREATE FUNCTION F_VIA_PKG RETURNS INTEGER AS BEGIN RETURN PKG_SEQ.F(); END");
    w.exec("CREATE VIEW V_VIA_PKG (X) AS SELECT PKG_SEQ.F() FROM RDB$DATABASE");
    w.exec("CREATE TABLE T_VIA_PKG (ID INTEGER, C COMPUTED BY (PKG_SEQ.F()))");
    w.exec("CREATE PROCEDURE P_VIA_PKG_P RETURNS (R INTEGER) AS BEGIN FOR SELECT R FROM PKG_SEQ.P INTO :R DO "
           "SUSPEND; END");
    w.commit();
    w.exec("INSERT INTO T_VIA_PKG (ID) VALUES (1)");
    // Dynamic SQL in every spacing the engine reads as two words.
    const char *const dynamic[][2] = {{"P_DYN_SPACES", "EXECUTE   STATEMENT"},
                                      {"P_DYN_TAB", "EXECUTE\tSTATEMENT"},
                                      {"P_DYN_LINE", "EXECUTE\r\nSTATEMENT"},
                                      {"P_DYN_COMMENT", "EXECUTE /* ; */ STATEMENT"},
                                      {"P_DYN_LINE_COMMENT", "EXECUTE -- ;\n STATEMENT"},
                                      {"P_DYN_CASE", "execute\n\n/**/Statement"}};
    for (const auto &d : dynamic)
        w.exec(QStringLiteral("CREATE PROCEDURE %1 RETURNS (R INTEGER) AS BEGIN %2 "
                              "'SELECT GEN_ID(G_X, 3) FROM RDB$DATABASE' INTO :R; SUSPEND; END")
                   .arg(QLatin1String(d[0]), QLatin1String(d[1])));
    w.exec("CREATE FUNCTION F_DYN RETURNS INTEGER AS DECLARE R INTEGER; BEGIN "
           "EXECUTE  STATEMENT 'SELECT GEN_ID(G_X, 3) FROM RDB$DATABASE' INTO :R; RETURN R; END");
    w.exec("CREATE PACKAGE PKG_DYN AS BEGIN FUNCTION F RETURNS INTEGER; END");
    w.exec("CREATE PACKAGE BODY PKG_DYN AS BEGIN FUNCTION F RETURNS INTEGER AS DECLARE R INTEGER; BEGIN "
           "EXECUTE\nSTATEMENT 'SELECT GEN_ID(G_X, 3) FROM RDB$DATABASE' INTO :R; RETURN R; END END");
    // Two procedures that call each other; the second moves the sequence.
    w.exec("CREATE PROCEDURE P_REC_A (N INTEGER) RETURNS (R INTEGER) AS BEGIN R = 0; SUSPEND; END");
    w.exec("CREATE PROCEDURE P_REC_B (N INTEGER) RETURNS (R INTEGER) AS BEGIN R = GEN_ID(G_X, 19); "
           "IF (N > 0) THEN SELECT R FROM P_REC_A(:N - 1) INTO :R; SUSPEND; END");
    w.commit();
    w.exec("ALTER PROCEDURE P_REC_A (N INTEGER) RETURNS (R INTEGER) AS BEGIN R = 0; "
           "IF (N > 0) THEN SELECT R FROM P_REC_B(:N - 1) INTO :R; SUSPEND; END");
    // A harmless package: its routines (whose own sources the engine keeps
    // empty) are named freely.
    w.exec("CREATE PACKAGE PKG_SAFE AS BEGIN FUNCTION G RETURNS INTEGER; PROCEDURE P RETURNS (R INTEGER); END");
    w.exec("CREATE PACKAGE BODY PKG_SAFE AS BEGIN FUNCTION G RETURNS INTEGER AS BEGIN RETURN 1; END "
           "PROCEDURE P RETURNS (R INTEGER) AS BEGIN R = 1; SUSPEND; END END");
    // A package without a body runs nothing (the engine refuses the call).
    w.exec("CREATE PACKAGE PKG_HEAD_ONLY AS BEGIN FUNCTION F RETURNS INTEGER; END");
    // The words in a literal and a comment only: safe, and named freely.
    w.exec("CREATE PROCEDURE P_QUIET RETURNS (R VARCHAR(40)) AS BEGIN /* EXECUTE STATEMENT */ "
           "R = 'EXECUTE STATEMENT'; SUSPEND; END");
    // A routine whose source was removed: the engine runs it all the same,
    // and what it runs (here dynamic SQL) can no longer be read.
    w.exec("CREATE PROCEDURE P_NOSRC RETURNS (R INTEGER) AS BEGIN "
           "EXECUTE STATEMENT 'SELECT GEN_ID(G_X, 17) FROM RDB$DATABASE' INTO :R; SUSPEND; END");
    w.commit();
    w.exec("UPDATE RDB$PROCEDURES SET RDB$PROCEDURE_SOURCE = NULL WHERE RDB$PROCEDURE_NAME = 'P_NOSRC'");
    w.commit();
}

class TestSequenceGuard : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString store_;
    DbConnection conn_;
    fb::Handle<IAttachment> raw_; // reads the sequence past the program's guard
    bool external_ = false;      // the engine here declared the external function

    qint64 sequence() { return SequenceValue(raw_.get()); }
    void sendUnguarded(const QString &condition) { CountUnguarded(raw_.get(), condition.toLatin1()); }
    bool send(const QString &condition, QString *error = nullptr) { return SendGuarded(conn_, condition, error); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        store_ = MakeTestStore(dir_.path(), "guard.fdb", [](StoreWriter &w) {
            for (int i = 0; i < 3; ++i)
                AddObject(w, QStringLiteral("1-%1").arg(i), QStringLiteral("Объект %1").arg(i));
            AddGuardedObjects(w);
        });
        // An external function (a UDF of the engine's own library), where the
        // engine here lets one be declared.
        try {
            auto w = StoreWriter::attach(store_);
            w->exec("DECLARE EXTERNAL FUNCTION UDF_ABS DOUBLE PRECISION RETURNS DOUBLE PRECISION BY VALUE "
                    "ENTRY_POINT 'IB_UDF_abs' MODULE_NAME 'ib_udf'");
            w->close();
            external_ = true;
        } catch (const DbError &e) {
            qInfo("no external function here: %s", qPrintable(e.message()));
        }
        raw_ = fb::attach(store_, "SYSDBA", "masterkey", QString(), false);
        conn_.setDatabaseName(store_);
        conn_.setUserName("SYSDBA");
        conn_.setPassword("masterkey");
        conn_.open();
        QCOMPARE(sequence(), 5);
    }

    void cleanupTestCase()
    {
        conn_.close();
        raw_.reset();
    }

    // The calls are real: read past the guard, in a read-only transaction,
    // each moves the sequence.
    void callsMoveTheSequenceWhenUnguarded()
    {
        for (const char *call : kCalls) {
            const qint64 before = sequence();
            sendUnguarded(QString::fromLatin1(call).replace(QLatin1String("{}"), QLatin1String(" ")));
            QVERIFY2(sequence() > before, call);
        }
    }

    void randomConditions()
    {
        ConditionMaker maker(kSeed);
        int refused = 0;
        int ran = 0;
        for (int i = 0; i < kConditions; ++i) {
            bool exposed = false;
            const QString condition = maker.make(exposed);
            const qint64 before = sequence();
            QString error;
            const bool sent = send(condition, &error);
            const QByteArray where = QStringLiteral("seed %1, condition %2:\n%3\n%4")
                                         .arg(kSeed).arg(i).arg(condition, error).toUtf8();
            QVERIFY2(sequence() == before, where.constData());
            if (exposed) {
                QVERIFY2(!sent && error.startsWith(QStringLiteral("Запрос не отправлен")), where.constData());
                ++refused;
            } else {
                QVERIFY2(sent, where.constData());
                ++ran;
            }
        }
        qInfo("%d conditions (seed %u): %d refused, %d ran", kConditions, kSeed, refused, ran);
        QVERIFY(refused > 50 && ran > 50);
    }

    // Through the filter page's SQL box and run button, as a user would: a
    // message, the sequence where it was, the text kept. Sent past the
    // program, the same condition moves the sequence (an external function
    // cannot be seen to: it runs, or the engine here is not allowed to load
    // its library).
    void refusedThroughTheFilterPage_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("said");
        QTest::addColumn<bool>("moves");
        const QString dynamic = QStringLiteral("динамический SQL (EXECUTE STATEMENT в процедуре %1)");
        QTest::newRow("q literal") << "t_o.ID_THIS = q'{'}' OR GEN_ID(G_X, 1) > 0 OR 'a' = 'a'" << "GEN_ID" << true;
        QTest::newRow("next value for") << "(next /* x */ value\nfor G_X) > 0" << "NEXT VALUE FOR" << true;
        QTest::newRow("procedure") << "t_o.NUMPP IN (SELECT R FROM P_NEXT)" << "названа процедура P_NEXT" << true;
        QTest::newRow("function") << "F_NEXT() > 0" << "названа функция F_NEXT" << true;
        QTest::newRow("view") << "(SELECT FIRST 1 X FROM V_NEXT) > 0" << "названо представление V_NEXT" << true;
        QTest::newRow("computed column") << "(SELECT FIRST 1 C FROM T_COMP) > 0" << "названа таблица T_COMP" << true;
        QTest::newRow("view over a computed column")
            << "(SELECT FIRST 1 X FROM V_OVER_COMP) > 0" << "названо представление V_OVER_COMP" << true;
        QTest::newRow("package function") << "PKG_SEQ.F() > 0" << "назван пакет PKG_SEQ" << true;
        QTest::newRow("package procedure") << "EXISTS (SELECT R FROM PKG_SEQ.P)" << "назван пакет PKG_SEQ" << true;
        QTest::newRow("procedure through a package") << "EXISTS (SELECT R FROM P_VIA_PKG)"
                                                     << "названа процедура P_VIA_PKG" << true;
        QTest::newRow("procedure through a package procedure")
            << "EXISTS (SELECT R FROM P_VIA_PKG_P)" << "названа процедура P_VIA_PKG_P" << true;
        QTest::newRow("function through a package") << "F_VIA_PKG() > 0" << "названа функция F_VIA_PKG" << true;
        QTest::newRow("view through a package") << "(SELECT FIRST 1 X FROM V_VIA_PKG) > 0"
                                                << "названо представление V_VIA_PKG" << true;
        QTest::newRow("computed column through a package")
            << "(SELECT FIRST 1 C FROM T_VIA_PKG) > 0" << "названа таблица T_VIA_PKG" << true;
        QTest::newRow("procedures calling each other") << "(SELECT R FROM P_REC_A(2)) >= 0"
                                                       << "названа процедура P_REC_A" << true;
        QTest::newRow("dynamic sql") << "EXISTS (SELECT R FROM P_DYN)" << dynamic.arg("P_DYN") << true;
        for (const char *name :
             {"P_DYN_SPACES", "P_DYN_TAB", "P_DYN_LINE", "P_DYN_COMMENT", "P_DYN_LINE_COMMENT", "P_DYN_CASE"})
            QTest::newRow(name) << QStringLiteral("EXISTS (SELECT R FROM %1)").arg(QLatin1String(name))
                                << dynamic.arg(QLatin1String(name)) << true;
        QTest::newRow("dynamic function") << "F_DYN() > 0" << "EXECUTE STATEMENT в функции F_DYN" << true;
        QTest::newRow("dynamic package") << "PKG_DYN.F() > 0" << "EXECUTE STATEMENT в пакете PKG_DYN" << true;
        QTest::newRow("source removed") << "EXISTS (SELECT R FROM P_NOSRC)"
                                        << "исходного текста которого в базе данных нет (процедура P_NOSRC)" << true;
        QTest::newRow("external function") << "UDF_ABS(-1) > 0"
                                           << "внешний код, который хранится вне базы данных (функция UDF_ABS)"
                                           << false;
    }
    void refusedThroughTheFilterPage()
    {
        QFETCH(QString, condition);
        QFETCH(QString, said);
        QFETCH(bool, moves);
        if (condition.contains("UDF_ABS") && !external_)
            QSKIP("the engine here declares no external function");
        FilterPage page;
        page.setConnection(&conn_);
        page.setRunHandler([this](const QString &text) {
            QString ignored;
            ShowQueryResult(QStringLiteral("Результат фильтрации"), &conn_, text, QStringLiteral("t_o.ID_THIS"),
                            QString(), ignored);
        });
        page.CB_YesClearAfter->setChecked(true);
        page.Memo_SQL->setPlainText(condition);
        const qint64 before = sequence();
        ModalAnswerer answerer;
        page.SpeedButton3->click();
        QVERIFY2(answerer.seen.join('\n').contains(said), qPrintable(answerer.seen.join('\n')));
        QCOMPARE(sequence(), before);
        QCOMPARE(page.Memo_SQL->toPlainText(), condition);
        try {
            sendUnguarded(condition);
        } catch (const DbError &e) {
            QVERIFY2(!moves, qPrintable(e.message()));
        }
        QCOMPARE(sequence() > before, moves);
    }

    // Routines that only mention the words, and tables with a trigger that
    // moves a sequence on insert, are read freely; a package without a body
    // is left to the engine, which refuses to call it.
    void safeObjectsRun()
    {
        const qint64 before = sequence();
        QString error;
        QVERIFY2(send("EXISTS (SELECT R FROM P_QUIET) AND t_o.NUMPP > 0", &error), qPrintable(error));
        QVERIFY2(send("PKG_SAFE.G() = 1 AND EXISTS (SELECT R FROM PKG_SAFE.P)", &error), qPrintable(error));
        // A word longer than any name: the engine's own error.
        QVERIFY(!send("t_o.NUMPP = " + QString(400, 'A'), &error));
        QVERIFY2(!error.startsWith("Запрос не отправлен"), qPrintable(error));
        QVERIFY(!send("PKG_HEAD_ONLY.F() > 0", &error));
        QVERIFY2(error.contains("unimplemented package PKG_HEAD_ONLY"), qPrintable(error));
        QCOMPARE(sequence(), before);
    }

    // What the text lets through and the engine, once it has prepared the
    // statement, finds to be more than a plain select; a NUL byte, at which
    // the engine would end the statement. (WITH LOCK the engine prepares as
    // a plain select: the text check refuses it.)
    void refusedAfterPrepareAndNul_data()
    {
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<QString>("said");
        QTest::newRow("for update") << QByteArray("SELECT ID_THIS FROM OBJECTS_TREE FOR UPDATE") << OnlySelectMessage();
        QTest::newRow("for update of a column")
            << QByteArray("SELECT ID_THIS FROM OBJECTS_TREE FOR UPDATE OF ID_THIS") << OnlySelectMessage();
        QTest::newRow("NUL") << QByteArray("SELECT ID_THIS FROM OBJECTS_TREE t_o WHERE t_o.ITS_BASE > 0\0 AND 1 = 0", 68)
                             << "символ с кодом 0";
    }
    void refusedAfterPrepareAndNul()
    {
        QFETCH(QByteArray, statement);
        QFETCH(QString, said);
        QVERIFY(statement.contains("SELECT ID_THIS"));
        DbDataSet ds;
        ds.setConnection(&conn_);
        ds.sql() << Cp1251::decode(statement);
        try {
            ds.open();
            QFAIL("sent");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains(said), qPrintable(e.message()));
        }
        if (statement.contains('\0')) {
            // Past the program the engine reads up to the NUL and finds every
            // object where the whole condition finds none.
            QCOMPARE(CountUnguarded(raw_.get(), statement.mid(statement.indexOf("t_o.ITS_BASE"))), qint64(3));
            QCOMPARE(CountUnguarded(raw_.get(), "t_o.ITS_BASE > 0 AND 1 = 0"), qint64(0));
        } else {
            QCOMPARE(StatementRefusal(statement, SequenceReach()), QString()); // the text alone passes
        }
    }

    // The store's software changes its code while the program stays
    // connected: a second attachment through the server creates a routine
    // and alters a harmless one, and the next statement that names either
    // is refused.
    void changedWhileConnected()
    {
        std::optional<TestServer> server;
        VRKX_TEST_SERVER_OR_SKIP(server);
        const QString name = server->host + ":" + server->dir
                             + QStringLiteral("/guard_%1.fdb").arg(QCoreApplication::applicationPid());
        {
            auto w = StoreWriter::create(name, server->user, server->password);
            AddObject(*w, "1-0", QStringLiteral("Объект"));
            w->exec("CREATE SEQUENCE G_X");
            w->exec("CREATE PROCEDURE P_LATER RETURNS (R INTEGER) AS BEGIN R = 1; SUSPEND; END");
            w->close();
        }
        fb::Handle<IAttachment> raw = fb::attach(name, server->user, server->password, QString(), false);
        DbConnection conn;
        conn.setDatabaseName(name);
        conn.setUserName(server->user);
        conn.setPassword(server->password);
        conn.open();
        QString error;
        QVERIFY2(SendGuarded(conn, "EXISTS (SELECT R FROM P_LATER)", &error), qPrintable(error));

        auto other = StoreWriter::attach(name, server->user, server->password);
        other->exec("ALTER PROCEDURE P_LATER RETURNS (R INTEGER) AS BEGIN R = GEN_ID(G_X, 1); SUSPEND; END");
        other->exec("CREATE PROCEDURE P_NEW RETURNS (R INTEGER) AS BEGIN R = GEN_ID(G_X, 1); SUSPEND; END");
        other->exec("CREATE VIEW V_NEW (X) AS SELECT R FROM P_LATER");
        other->commit();
        for (const char *condition :
             {"EXISTS (SELECT R FROM P_LATER)", "EXISTS (SELECT R FROM P_NEW)", "EXISTS (SELECT X FROM V_NEW)"}) {
            const qint64 before = SequenceValue(raw.get());
            QVERIFY(!SendGuarded(conn, condition, &error));
            QVERIFY2(error.startsWith("Запрос не отправлен: в нём назван"), qPrintable(error));
            QCOMPARE(SequenceValue(raw.get()), before);
            CountUnguarded(raw.get(), condition);
            QVERIFY2(SequenceValue(raw.get()) > before, condition);
        }
        // Made harmless again: named freely.
        other->exec("ALTER PROCEDURE P_LATER RETURNS (R INTEGER) AS BEGIN R = 2; SUSPEND; END");
        other->commit();
        QVERIFY2(SendGuarded(conn, "EXISTS (SELECT X FROM V_NEW)", &error), qPrintable(error));
        other->close();
        conn.close();
    }
};

QTEST_MAIN(TestSequenceGuard)
#include "test_sequence_guard.moc"
