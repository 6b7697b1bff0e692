#pragma once
// The tests run as root; users do not. The user nobody (group nogroup) runs
// the program in the tests that say so, with /tmp/firebird as a Firebird
// server leaves it: the server's own, mode 0770.

#include <QString>
#include <sys/types.h>

struct OrdinaryUser {
    uid_t uid = 0;
    gid_t gid = 0;
    QString skip;  // why no test can run as that user here; empty when one can
    QString error; // what went wrong preparing /tmp/firebird; empty when nothing
};
OrdinaryUser PrepareOrdinaryUser();

// Whether the process (run as that user, say) holds the file open.
bool ProcessHolds(qint64 pid, const QString &file);

class DbConnection;
// The objects of the open store.
int ObjectCount(DbConnection *connection);
