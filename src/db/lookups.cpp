#include "db/lookups.h"

#include "db/db_connection.h"
#include "db/db_query.h"
#include "db/engine_messages.h"
#include "db/schema.h"
#include "support/str_utils.h"

namespace {

SqlErrorHook &errorHook()
{
    static SqlErrorHook hook;
    return hook;
}

const QString kUnknown = QStringLiteral("???");

QString stripId(const QString &value)
{
    return TrimChars(CharSets::IdStrip, value);
}

// The value an identifier literal stands for: a proper SQL literal loses its
// quotes and gets its doubled quotes back as single ones; anything else is
// stripped of quotes at both ends.
QString literalValue(const QString &literal)
{
    if (literal.size() >= 2 && literal.startsWith(QChar('\'')) && literal.endsWith(QChar('\''))) {
        QString inner = literal.mid(1, literal.size() - 2);
        if (!QString(inner).remove(QStringLiteral("''")).contains(QChar('\'')))
            return inner.replace(QStringLiteral("''"), QStringLiteral("'"));
    }
    return TrimChars(CharSets::QuoteStrip, literal);
}

QString nameFromCatalog(DbConnection *connection, const QString &table, const QString &value, int nameKind)
{
    const QString id = FindIdByMnemo(connection, table, stripId(value));
    if (id.isEmpty())
        return QString();
    if (id == Schema::NO_ID)
        return kUnknown;
    return GetFieldById(connection, table, nameKind > 0 ? Schema::FLD_NAME_MAX : Schema::FLD_NAME_MIN,
                        QuotedSql(id), true);
}

} // namespace

void SetSqlErrorHook(SqlErrorHook hook)
{
    errorHook() = std::move(hook);
}

bool EnsureTransactionActive(DbConnection *connection, bool start)
{
    if (!connection || !connection->defaultTransaction())
        return false;
    DbTransaction *tra = connection->defaultTransaction();
    if (!tra->isActive() && start)
        tra->start();
    return tra->isActive();
}

void FreeQuery(std::unique_ptr<DbQuery> &query)
{
    if (!query)
        return;
    query->close();
    query->sql().clear();
    query.reset();
}

QString SelectSingleValue(DbConnection *connection, const QString &tableName, const QString &fieldList,
                          const QString &condition, bool trimResult, bool /*paramCheck*/, bool fetchFirstRow)
{
    // The statement text is always sent unchanged: nothing scans it for
    // parameter markers, whatever the caller asks for.
    QString result;
    if (!connection || !EnsureTransactionActive(connection, true))
        return result;
    const QString table = Trim(tableName);
    const QString fields = Trim(fieldList);
    const QString where = Trim(condition);
    if (table.isEmpty() || fields.isEmpty())
        return result;
    auto query = std::make_unique<DbQuery>();
    try {
        query->setConnection(connection);
        query->setTransaction(connection->defaultTransaction());
        query->setGoToFirstRow(fetchFirstRow);
        query->sql() << QStringLiteral("SELECT ") + fields << QStringLiteral("FROM") << table;
        if (!where.isEmpty())
            query->sql() << QStringLiteral("WHERE") << where;
        query->execQuery();
        result = query->fieldAsString(0);
        if (trimResult)
            result = Trim(result);
    } catch (...) {
        if (errorHook() && !IsCancel(std::current_exception()))
            errorHook()(QStringLiteral("Error! \n") + query->sqlText());
        FreeQuery(query);
        throw;
    }
    FreeQuery(query);
    return result;
}

QString GetFieldById(DbConnection *connection, const QString &tableName, const QString &fieldName,
                     const QString &idLiteral, bool trimResult)
{
    const QString table = Trim(tableName);
    const QString fieldNameT = Trim(fieldName);
    const QString literal = Trim(idLiteral);
    if (table.isEmpty() || fieldNameT.isEmpty() || literal.isEmpty())
        return QString();
    if (literalValue(literal).size() > Schema::ID_LENGTH)
        return QString();
    return SelectSingleValue(connection, table, fieldNameT, QStringLiteral("ID_THIS=") + literal, trimResult,
                             false, true);
}

bool RowExistsById(DbConnection *connection, const QString &tableName, const QString &idLiteral)
{
    if (!connection)
        return false;
    const QString table = Trim(tableName);
    const QString literal = Trim(idLiteral);
    if (table.isEmpty() || literal.isEmpty())
        return false;
    const QString found = GetFieldById(connection, table, Schema::FLD_ID_THIS, literal, true);
    if (found.isEmpty())
        return false;
    return literalValue(literal).toUpper() == found.toUpper();
}

bool ObjectExists(DbConnection *connection, const QString &id)
{
    const QString value = stripId(id);
    if (value.isEmpty())
        return false;
    return RowExistsById(connection, Schema::OBJECTS_TREE, QuotedSql(value));
}

QString GetObjectName(DbConnection *connection, const QString &id)
{
    const QString value = stripId(id);
    if (value.isEmpty())
        return QString();
    return GetFieldById(connection, Schema::OBJECTS_TREE, Schema::FLD_NAME_MAX, QuotedSql(value), true);
}

QString GetObjectCaption(DbConnection *connection, const QString &id, int nameKind, bool markUnknown)
{
    const QString value = stripId(id);
    if (value.isEmpty())
        return QString();
    QString typeName = markUnknown ? kUnknown : QString();
    const QString typeId = GetFieldById(connection, Schema::OBJECTS_TREE, Schema::FLD_ID_TYPE, QuotedSql(value), true);
    if (!typeId.isEmpty()) {
        typeName = Trim(GetTypeName(connection, typeId, nameKind));
        if (typeName.isEmpty() && markUnknown)
            typeName = kUnknown;
    }
    const QString name = Trim(GetObjectName(connection, value));
    return typeName.isEmpty() ? name : typeName + QStringLiteral(": ") + name;
}

QString FindIdByMnemo(DbConnection *connection, const QString &tableName, const QString &value)
{
    const QString v = stripId(value);
    if (v.isEmpty())
        return QString();
    if (!BeginsWithNonDigit(v))
        return v;
    const QString table = Trim(tableName);
    if (table.isEmpty() || v.size() > Schema::MNEMO_LENGTH)
        return QString();
    return SelectSingleValue(connection, table, Schema::FLD_ID_THIS,
                             QStringLiteral("UPPER(MNEMO_CODE)=") + QuotedSql(v.toUpper()), true, false, true);
}

QString GetTypeName(DbConnection *connection, const QString &value, int nameKind)
{
    return nameFromCatalog(connection, Schema::L_TYPEOBJ_LIST, value, nameKind);
}

QString GetNumberPropName(DbConnection *connection, const QString &value, int nameKind)
{
    return nameFromCatalog(connection, Schema::L_PROPNUMBER_LIST, value, nameKind);
}

QString GetEnumValueName(DbConnection *connection, const QString &value, int nameKind)
{
    return nameFromCatalog(connection, Schema::L_PROPENUM_VAL, value, nameKind);
}
