#pragma once
// Small lookups of one value in the store: whether an object exists, the
// names of objects, types, numeric properties and enumerated values, an
// object's caption, and the identifier behind a mnemonic code. Values typed
// by the user are pasted between single quotes with every quote inside
// doubled, so any text is looked up literally.

#include <QString>
#include <functional>
#include <memory>

class DbConnection;
class DbQuery;

// Shows the failing statement ("Error! ", a line feed and the statement)
// before the error travels on. The application sets a message box here.
using SqlErrorHook = std::function<void(const QString &message)>;
void SetSqlErrorHook(SqlErrorHook hook);

QString SelectSingleValue(DbConnection *connection, const QString &tableName, const QString &fieldList,
                          const QString &condition, bool trimResult, bool paramCheck, bool fetchFirstRow);
bool EnsureTransactionActive(DbConnection *connection, bool start);
void FreeQuery(std::unique_ptr<DbQuery> &query);

// idLiteral is an identifier already written between single quotes.
QString GetFieldById(DbConnection *connection, const QString &tableName, const QString &fieldName,
                     const QString &idLiteral, bool trimResult);
bool RowExistsById(DbConnection *connection, const QString &tableName, const QString &idLiteral);
bool ObjectExists(DbConnection *connection, const QString &id);
QString GetObjectName(DbConnection *connection, const QString &id);
QString GetObjectCaption(DbConnection *connection, const QString &id, int nameKind, bool markUnknown);
QString FindIdByMnemo(DbConnection *connection, const QString &tableName, const QString &value);
QString GetTypeName(DbConnection *connection, const QString &value, int nameKind);
QString GetNumberPropName(DbConnection *connection, const QString &value, int nameKind);
QString GetEnumValueName(DbConnection *connection, const QString &value, int nameKind);
