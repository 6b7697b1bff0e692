#pragma once
// Stores made by the tests, with the rows each test needs.

#include "private_server.h"
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
// The permission bits of a file or folder (not following a link), -1 when
// it is not there.
int FileMode(const QString &path);

// The tests' own loopback server (see private_server.h), started the first
// time a test of this process asks for it and stopped when the process ends.
struct TestServer {
    QString host;     // "localhost/PORT"
    QString user;     // a user the tests log in with
    QString password;
    QString dir;      // a folder the server may create databases in
    PrivateServer *process = nullptr; // to hold it still and let it go on
};
std::optional<TestServer> FindTestServer();
// Set VRKX_REQUIRE_SERVER (scripts/test does): a test that needs the server
// fails when it cannot start instead of skipping.
bool ServerRequired();
// In a test function: the server into var, or the test skips (fails when the
// server is required).
#define VRKX_TEST_SERVER_OR_SKIP(var)                                                                   \
    var = FindTestServer();                                                                            \
    if (!var) {                                                                                        \
        if (ServerRequired())                                                                          \
            QFAIL(qPrintable("the tests' server did not start: " + PrivateServer::lastError()));        \
        QSKIP(qPrintable("no Firebird server here: " + PrivateServer::lastError()));                   \
    }
