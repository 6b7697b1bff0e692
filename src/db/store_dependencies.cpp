#include "db/store_dependencies.h"

#include "db/db_cursor.h"
#include "db/fb_api.h"
#include "support/codec_1251.h"

#include <QSet>
#include <cstring>
#include <deque>

using namespace Firebird;

namespace {

// Names looked up at once.
constexpr int kBatch = 16;

// For the names of N, what they use, one row each: the user's name and type,
// the name and type used, and for code that may run EXECUTE STATEMENT its
// source (as bytes: a binary blob is never transliterated, so a source the
// connection's character set cannot hold still reads). A use of a routine
// of a package is a use of the package (type 19). Every lookup goes through
// an index of the system table. Table triggers are not read: nothing in a
// select fires them.
const char *const kUses =
    // views, procedures, functions, package headers and bodies, database triggers
    "SELECT N.NAME, CAST(D.RDB$DEPENDENT_TYPE AS INTEGER),\n"
    "       CAST(TRIM(COALESCE(D.RDB$PACKAGE_NAME, D.RDB$DEPENDED_ON_NAME)) AS VARCHAR(252)),\n"
    "       CAST(CASE WHEN D.RDB$PACKAGE_NAME IS NULL THEN D.RDB$DEPENDED_ON_TYPE ELSE 19 END AS INTEGER),\n"
    "       CAST(NULL AS BLOB SUB_TYPE BINARY)\n"
    "FROM N JOIN RDB$DEPENDENCIES D ON D.RDB$DEPENDENT_NAME = N.NAME\n"
    "WHERE D.RDB$DEPENDENT_TYPE IN (1, 5, 15, 18, 19)\n"
    "   OR D.RDB$DEPENDENT_TYPE = 2 AND EXISTS (SELECT 1 FROM RDB$TRIGGERS T\n"
    "      WHERE T.RDB$TRIGGER_NAME = N.NAME AND T.RDB$RELATION_NAME IS NULL)\n"
    "UNION ALL\n"
    // computed columns of tables and views (a view's own expressions too)
    "SELECT N.NAME, CASE WHEN R.RDB$VIEW_BLR IS NULL THEN 0 ELSE 1 END,\n"
    "       TRIM(COALESCE(D.RDB$PACKAGE_NAME, D.RDB$DEPENDED_ON_NAME)),\n"
    "       CASE WHEN D.RDB$PACKAGE_NAME IS NULL THEN D.RDB$DEPENDED_ON_TYPE ELSE 19 END, NULL\n"
    "FROM N JOIN RDB$RELATIONS R ON R.RDB$RELATION_NAME = N.NAME\n"
    "JOIN RDB$RELATION_FIELDS F ON F.RDB$RELATION_NAME = R.RDB$RELATION_NAME\n"
    "JOIN RDB$DEPENDENCIES D ON D.RDB$DEPENDENT_NAME = F.RDB$FIELD_SOURCE AND D.RDB$DEPENDENT_TYPE = 3\n"
    "UNION ALL\n"
    // code that cannot be checked (-3 external, -2 no source) or may run dynamic SQL (-1)
    "SELECT N.NAME, 5, '', CASE WHEN P.RDB$ENGINE_NAME IS NOT NULL THEN -3\n"
    "                           WHEN P.RDB$PROCEDURE_SOURCE IS NULL THEN -2 ELSE -1 END,\n"
    "       CAST(P.RDB$PROCEDURE_SOURCE AS BLOB SUB_TYPE BINARY)\n"
    "FROM N JOIN RDB$PROCEDURES P ON P.RDB$PACKAGE_NAME IS NULL AND P.RDB$PROCEDURE_NAME = N.NAME\n"
    "WHERE P.RDB$ENGINE_NAME IS NOT NULL OR P.RDB$PROCEDURE_SOURCE IS NULL\n"
    "   OR P.RDB$PROCEDURE_SOURCE CONTAINING 'EXECUTE' AND P.RDB$PROCEDURE_SOURCE CONTAINING 'STATEMENT'\n"
    "UNION ALL\n"
    "SELECT N.NAME, 15, '', CASE WHEN U.RDB$ENGINE_NAME IS NOT NULL OR U.RDB$LEGACY_FLAG = 1\n"
    "                                 OR U.RDB$MODULE_NAME IS NOT NULL THEN -3\n"
    "                            WHEN U.RDB$FUNCTION_SOURCE IS NULL THEN -2 ELSE -1 END,\n"
    "       CAST(U.RDB$FUNCTION_SOURCE AS BLOB SUB_TYPE BINARY)\n"
    "FROM N JOIN RDB$FUNCTIONS U ON U.RDB$PACKAGE_NAME IS NULL AND U.RDB$FUNCTION_NAME = N.NAME\n"
    "WHERE U.RDB$ENGINE_NAME IS NOT NULL OR U.RDB$LEGACY_FLAG = 1 OR U.RDB$MODULE_NAME IS NOT NULL\n"
    "   OR U.RDB$FUNCTION_SOURCE IS NULL\n"
    "   OR U.RDB$FUNCTION_SOURCE CONTAINING 'EXECUTE' AND U.RDB$FUNCTION_SOURCE CONTAINING 'STATEMENT'\n"
    "UNION ALL\n"
    // a package: its body's source, its external routines (a package whose
    // body is missing or invalid runs nothing)
    "SELECT N.NAME, 19, '', CASE WHEN EXISTS (SELECT 1 FROM RDB$PROCEDURES P\n"
    "                                 WHERE P.RDB$PACKAGE_NAME = N.NAME AND P.RDB$ENGINE_NAME IS NOT NULL)\n"
    "                            OR EXISTS (SELECT 1 FROM RDB$FUNCTIONS U\n"
    "                                 WHERE U.RDB$PACKAGE_NAME = N.NAME AND U.RDB$ENGINE_NAME IS NOT NULL) THEN -3\n"
    "                            WHEN K.RDB$PACKAGE_BODY_SOURCE IS NULL THEN -2 ELSE -1 END,\n"
    "       CAST(K.RDB$PACKAGE_BODY_SOURCE AS BLOB SUB_TYPE BINARY)\n"
    "FROM N JOIN RDB$PACKAGES K ON K.RDB$PACKAGE_NAME = N.NAME\n"
    "WHERE K.RDB$VALID_BODY_FLAG = 1 AND (K.RDB$PACKAGE_BODY_SOURCE IS NULL\n"
    "   OR K.RDB$PACKAGE_BODY_SOURCE CONTAINING 'EXECUTE' AND K.RDB$PACKAGE_BODY_SOURCE CONTAINING 'STATEMENT'\n"
    "   OR EXISTS (SELECT 1 FROM RDB$PROCEDURES P WHERE P.RDB$PACKAGE_NAME = N.NAME AND P.RDB$ENGINE_NAME IS NOT NULL)\n"
    "   OR EXISTS (SELECT 1 FROM RDB$FUNCTIONS U WHERE U.RDB$PACKAGE_NAME = N.NAME AND U.RDB$ENGINE_NAME IS NOT NULL))\n"
    "UNION ALL\n"
    "SELECT N.NAME, 2, '', CASE WHEN T.RDB$ENGINE_NAME IS NOT NULL THEN -3\n"
    "                           WHEN T.RDB$TRIGGER_SOURCE IS NULL THEN -2 ELSE -1 END,\n"
    "       CAST(T.RDB$TRIGGER_SOURCE AS BLOB SUB_TYPE BINARY)\n"
    "FROM N JOIN RDB$TRIGGERS T ON T.RDB$TRIGGER_NAME = N.NAME AND T.RDB$RELATION_NAME IS NULL\n"
    "WHERE T.RDB$ENGINE_NAME IS NOT NULL OR T.RDB$TRIGGER_SOURCE IS NULL\n"
    "   OR T.RDB$TRIGGER_SOURCE CONTAINING 'EXECUTE' AND T.RDB$TRIGGER_SOURCE CONTAINING 'STATEMENT'";

QByteArray usesStatement()
{
    QByteArray sql = "WITH N (NAME) AS (\n";
    for (int i = 0; i < kBatch; ++i)
        sql += QByteArray(i ? "  UNION ALL " : "  ") + "SELECT CAST(? AS VARCHAR(252)) FROM RDB$DATABASE\n";
    return sql + ")\n" + kUses;
}

const char *const kDatabaseTriggers =
    "SELECT CAST(TRIM(RDB$TRIGGER_NAME) AS VARCHAR(252)), CAST(RDB$TRIGGER_TYPE AS INTEGER)\n"
    "FROM RDB$TRIGGERS\n"
    "WHERE RDB$RELATION_NAME IS NULL AND RDB$TRIGGER_TYPE BETWEEN 8192 AND 8196\n"
    "  AND COALESCE(RDB$TRIGGER_INACTIVE, 0) = 0\n"
    "ORDER BY RDB$TRIGGER_TYPE, RDB$TRIGGER_SEQUENCE, RDB$TRIGGER_NAME";

// A prepared statement over the system tables, run as often as needed.
class Query {
public:
    Query(IAttachment *attachment, ITransaction *transaction, const QByteArray &sql)
        : attachment_(attachment), transaction_(transaction)
    {
        fb::check([&] {
            statement_.reset(attachment->prepare(st_.get(), transaction, unsigned(sql.size()), sql.constData(), 1,
                                                 IStatement::PREPARE_PREFETCH_METADATA));
            input_.reset(statement_->getInputMetadata(st_.get()));
            output_.reset(statement_->getOutputMetadata(st_.get()));
            in_.assign(input_->getMessageLength(st_.get()), 0);
            out_.assign(output_->getMessageLength(st_.get()), 0);
        });
    }

    // Runs it in another transaction of the same attachment from now on.
    void setTransaction(ITransaction *transaction) { transaction_ = transaction; }

    // Parameter i (a VARCHAR) set to the text.
    void setText(unsigned i, const QString &text)
    {
        fb::check([&] {
            const QByteArray bytes = Cp1251::encode(text).left(int(input_->getLength(st_.get(), i)));
            const auto length = std::uint16_t(bytes.size());
            unsigned char *at = in_.data() + input_->getOffset(st_.get(), i);
            std::memcpy(at, &length, sizeof length);
            std::memcpy(at + sizeof length, bytes.constData(), std::size_t(bytes.size()));
            std::memset(in_.data() + input_->getNullOffset(st_.get(), i), 0, sizeof(short));
        });
    }

    // Runs it and hands each row over, with the cursor still open.
    template <class F>
    void forEachRow(F &&row)
    {
        fb::check([&] {
            fb::Handle<IResultSet> cursor(statement_->openCursor(st_.get(), transaction_, input_.get(), in_.data(),
                                                                 output_.get(), 0));
            while (cursor->fetchNext(st_.get(), out_.data()) == IStatus::RESULT_OK)
                row();
            fb::end(cursor, [](IResultSet *c, ThrowStatusWrapper *s) { c->close(s); });
        });
    }

    bool isNull(unsigned i) { return *reinterpret_cast<const short *>(out_.data() + meta(i).nullOffset) != 0; }

    QString text(unsigned i)
    {
        if (isNull(i))
            return QString();
        std::uint16_t length = 0;
        const unsigned char *at = out_.data() + meta(i).offset;
        std::memcpy(&length, at, sizeof length);
        return Cp1251::decode(reinterpret_cast<const char *>(at + sizeof length), length).trimmed();
    }

    int integer(unsigned i)
    {
        std::int32_t value = 0;
        if (!isNull(i))
            std::memcpy(&value, out_.data() + meta(i).offset, sizeof value);
        return value;
    }

    QByteArray blob(unsigned i)
    {
        if (isNull(i))
            return QByteArray();
        return ReadBlob(attachment_, transaction_, reinterpret_cast<const char *>(out_.data() + meta(i).offset));
    }

private:
    struct Place {
        unsigned offset;
        unsigned nullOffset;
    };
    Place meta(unsigned i)
    {
        return fb::check([&] { return Place{output_->getOffset(st_.get(), i), output_->getNullOffset(st_.get(), i)}; });
    }

    IAttachment *attachment_;
    ITransaction *transaction_;
    fb::Status st_;
    fb::Handle<IStatement> statement_;
    fb::Handle<IMessageMetadata> input_;
    fb::Handle<IMessageMetadata> output_;
    std::vector<unsigned char> in_;
    std::vector<unsigned char> out_;
};

bool isFollowed(int type)
{
    switch (type) {
    case ObjectType::Table:
    case ObjectType::View:
    case ObjectType::Procedure:
    case ObjectType::Function:
    case ObjectType::PackageHeader:
    case ObjectType::PackageBody:
        return true;
    default:
        return false;
    }
}

} // namespace

std::vector<DependencyRow> ReadDependencies(IAttachment *attachment, ITransaction *transaction,
                                            const QStringList &names)
{
    return DependencyReader(attachment).read(transaction, names);
}

struct DependencyReader::Prepared {
    Prepared(IAttachment *attachment, ITransaction *transaction) : uses(attachment, transaction, usesStatement()) {}
    Query uses;
};

DependencyReader::DependencyReader(IAttachment *attachment) : attachment_(attachment) {}

DependencyReader::~DependencyReader() = default;

std::vector<DependencyRow> DependencyReader::read(ITransaction *transaction, const QStringList &names)
{
    std::vector<DependencyRow> rows;
    if (names.isEmpty())
        return rows;
    if (!prepared_)
        prepared_ = std::make_unique<Prepared>(attachment_, transaction);
    Query &uses = prepared_->uses;
    uses.setTransaction(transaction);
    QSet<QString> seen;
    std::deque<QString> waiting;
    auto visit = [&](const QString &name) {
        if (!name.isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            waiting.push_back(name);
        }
    };
    for (const QString &name : names)
        visit(name);
    while (!waiting.empty()) {
        QStringList batch;
        while (!waiting.empty() && batch.size() < kBatch) {
            batch << waiting.front();
            waiting.pop_front();
        }
        for (int i = 0; i < kBatch; ++i)
            uses.setText(unsigned(i), batch.at(i < batch.size() ? i : 0));
        uses.forEachRow([&] {
            DependencyRow row{uses.text(0), uses.integer(1), uses.text(2), uses.integer(3)};
            if (row.dependedOnType == ObjectType::DynamicSql && !RunsDynamicSql(uses.blob(4)))
                return; // the words stand in comments or literals only
            if (isFollowed(row.dependedOnType))
                visit(row.dependedOn);
            rows.push_back(std::move(row));
        });
    }
    return rows;
}

QString StoreStatementRefusal(DependencyReader &reader, ITransaction *transaction, const QByteArray &statement)
{
    // What the text alone refuses needs no store.
    if (QString refusal = StatementRefusal(statement, SequenceReach()); !refusal.isEmpty())
        return refusal;
    return StatementRefusal(statement, SequenceReach(reader.read(transaction, StatementNames(statement))));
}

std::vector<DatabaseTrigger> ReadDatabaseTriggers(IAttachment *attachment, ITransaction *transaction)
{
    std::vector<DatabaseTrigger> triggers;
    Query query(attachment, transaction, kDatabaseTriggers);
    query.forEachRow([&] { triggers.push_back({query.text(0), query.integer(1)}); });
    return triggers;
}

QString StoreDatabaseTriggerNotice(IAttachment *attachment, ITransaction *transaction)
{
    const std::vector<DatabaseTrigger> triggers = ReadDatabaseTriggers(attachment, transaction);
    QStringList names;
    for (const DatabaseTrigger &trigger : triggers)
        names << trigger.name;
    return DatabaseTriggerNotice(triggers, SequenceReach(ReadDependencies(attachment, transaction, names)));
}
