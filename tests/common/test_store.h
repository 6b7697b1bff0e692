#pragma once
// Stores made by the tests, with the rows each test needs.

#include "store_writer.h"

#include <QString>
#include <functional>
#include <optional>

// Creates a store with the program's tables at dir/name and fills it.
QString MakeTestStore(const QString &dir, const QString &name, const std::function<void(StoreWriter &)> &fill);

// Inserts one object; empty texts and an invalid date are NULL.
void AddObject(StoreWriter &w, const QString &id, const QString &name, const QString &type = QString(),
               const QString &parent = QString(), const QString &parentsPath = QString(),
               const QString &note = QString(), const QString &info = QString(), int base = 1,
               const QDate &date1 = QDate(), const QDate &date2 = QDate(), const QString &mnemo = QString());
void AddType(StoreWriter &w, const QString &id, const QString &name, const QString &shortName,
             const QString &mnemo, int kind = 1, int abstract = 0);

// The rows the workbook tests write: a type and two objects of it, "Первый"
// and a child named like a number, dated before the sheet's calendar.
void AddBookObjects(StoreWriter &w);

// Writes a database list file whose data rows are the given ones.
void WriteDatabaseList(const QString &path, const QList<QStringList> &rows);
// The bytes of a file, or "<missing>".
QByteArray ReadBytes(const QString &path);

// The loopback server the test script starts, when there is one.
struct TestServer {
    QString host;     // "localhost"
    QString user;     // a user the tests log in with
    QString password;
    QString dir;      // a folder the server may create databases in
};
// The server named by VRKX_TEST_SERVER_* variables; a test that needs it
// skips without it, unless VRKX_REQUIRE_SERVER is set, when it fails.
std::optional<TestServer> FindTestServer();
bool ServerRequired();
// In a test function: the server into var, or the test skips (fails when the
// server is required).
#define VRKX_TEST_SERVER_OR_SKIP(var)                                                                   \
    var = FindTestServer();                                                                            \
    if (!var) {                                                                                        \
        if (ServerRequired())                                                                          \
            QFAIL("VRKX_REQUIRE_SERVER is set but no test server is named");                           \
        QSKIP("no test server (scripts/test starts one)");                                             \
    }
