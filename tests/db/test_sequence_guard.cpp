// The promise that nothing the program sends moves a sequence, held against
// the engine itself: a store with a sequence and objects that move it when
// read; conditions that put the calls and the objects in random places of
// the text, inside and outside every literal and comment form, are sent as
// the result window sends them. After each, either the statement was refused
// or the sequence stands where it stood, and conditions that only mention
// the words in literals or comments still run.

#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/db_error.h"
#include "db/fb_api.h"
#include "query/filter_page.h"
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

class TestSequenceGuard : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString store_;
    DbConnection conn_;
    fb::Handle<IAttachment> raw_; // reads the sequence past the program's guard

    qint64 sequence()
    {
        fb::Status st;
        return fb::check([&] {
            fb::Handle<ITransaction> tra(raw_->startTransaction(st.get(), 0, nullptr));
            fb::Handle<IStatement> s(
                raw_->prepare(st.get(), tra.get(), 0, "SELECT GEN_ID(G_X, 0) FROM RDB$DATABASE", 1, 0));
            fb::Handle<IMessageMetadata> meta(s->getOutputMetadata(st.get()));
            std::vector<unsigned char> buf(meta->getMessageLength(st.get()));
            s->execute(st.get(), tra.get(), nullptr, nullptr, meta.get(), buf.data());
            ISC_INT64 value = 0;
            std::memcpy(&value, buf.data() + meta->getOffset(st.get(), 0), sizeof value);
            fb::end(tra, [](ITransaction *t, ThrowStatusWrapper *w) { t->commit(w); });
            return qint64(value);
        });
    }

    // Runs a condition past the program's guard, and undoes nothing: only
    // the sequence can change, in a read-only transaction.
    void sendUnguarded(const QString &condition)
    {
        fb::Status st;
        fb::check([&] {
            static const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                                                isc_tpb_rec_version};
            fb::Handle<ITransaction> tra(raw_->startTransaction(st.get(), sizeof tpb, tpb));
            const QByteArray sql = ("SELECT COUNT(*) FROM OBJECTS_TREE t_o WHERE " + condition).toLatin1();
            fb::Handle<IStatement> s(raw_->prepare(st.get(), tra.get(), 0, sql.constData(), 1, 0));
            fb::Handle<IMessageMetadata> meta(s->getOutputMetadata(st.get()));
            std::vector<unsigned char> buf(meta->getMessageLength(st.get()));
            s->execute(st.get(), tra.get(), nullptr, nullptr, meta.get(), buf.data());
        });
    }

    // Sends the condition as the result window does; true when it ran.
    bool send(const QString &condition, QString *error = nullptr)
    {
        DbDataSet ds;
        ds.setConnection(&conn_);
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

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        store_ = MakeTestStore(dir_.path(), "guard.fdb", [](StoreWriter &w) {
            for (int i = 0; i < 3; ++i)
                AddObject(w, QStringLiteral("1-%1").arg(i), QStringLiteral("Объект %1").arg(i));
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
            w.exec("CREATE PROCEDURE P_DYN RETURNS (R INTEGER) AS BEGIN "
                   "EXECUTE STATEMENT 'SELECT GEN_ID(G_X, 3) FROM RDB$DATABASE' INTO :R; SUSPEND; END");
            // Keys from a trigger: the table stays readable.
            w.exec("CREATE TRIGGER TR_OBJECTS FOR OBJECTS_TREE BEFORE INSERT AS BEGIN "
                   "NEW.NUMPP = GEN_ID(G_X, 1); END");
            w.commit();
        });
        raw_ = fb::attach(store_, "SYSDBA", "masterkey", QString(), false);
        conn_.setDatabaseName(store_);
        conn_.setUserName("SYSDBA");
        conn_.setPassword("masterkey");
        conn_.open();
        QCOMPARE(conn_.sequenceReach().size(), 6);
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
    // message, the sequence where it was, the text kept.
    void refusedThroughTheFilterPage_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("said");
        QTest::newRow("q literal") << "t_o.ID_THIS = q'{'}' OR GEN_ID(G_X, 1) > 0 OR 'a' = 'a'" << "GEN_ID";
        QTest::newRow("next value for") << "(next /* x */ value\nfor G_X) > 0" << "NEXT VALUE FOR";
        QTest::newRow("procedure") << "t_o.NUMPP IN (SELECT R FROM P_NEXT)" << "процедура P_NEXT";
        QTest::newRow("function") << "F_NEXT() > 0" << "функция F_NEXT";
        QTest::newRow("view") << "EXISTS (SELECT X FROM V_NEXT)" << "представление V_NEXT";
        QTest::newRow("computed column") << "EXISTS (SELECT C FROM T_COMP)" << "таблица T_COMP";
        QTest::newRow("dynamic sql") << "EXISTS (SELECT R FROM P_DYN)" << "EXECUTE STATEMENT";
    }
    void refusedThroughTheFilterPage()
    {
        QFETCH(QString, condition);
        QFETCH(QString, said);
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
    }
};

QTEST_MAIN(TestSequenceGuard)
#include "test_sequence_guard.moc"
