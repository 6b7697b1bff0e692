#pragma once
// A Firebird server of the tests' own: started by the process that needs it,
// on a free loopback port, with its own configuration, security database,
// lock and temporary folders under a folder of its own, and stopped by the
// process id it was started with. It never looks for a server by name, never
// touches port 3050 and never makes a user on a server it did not start: the
// people who run these tests run Firebird servers of their own.
//
// The server dies with the process that started it, however that process
// ends (the kernel sends it SIGKILL when its parent goes).

#include <QString>
#include <memory>
#include <sys/types.h>

class PrivateServer {
public:
    // Starts one; error() says why when it did not come up.
    static std::unique_ptr<PrivateServer> start();
    ~PrivateServer();
    PrivateServer(const PrivateServer &) = delete;
    PrivateServer &operator=(const PrivateServer &) = delete;

    QString host() const;            // "localhost/PORT", the part before ":" of a "host:path"
    int port() const { return port_; }
    QString user() const { return QStringLiteral("VRKX_TEST"); }
    QString password() const { return password_; }
    QString sysdbaPassword() const { return sysdbaPassword_; }
    QString databaseFolder() const;  // the server may create databases here
    pid_t pid() const { return pid_; }

    // Holds the server still (SIGSTOP) and lets it go on (SIGCONT), by the id kept.
    bool pause();
    void resume();

    static QString lastError();

private:
    PrivateServer() = default;
    bool prepare();
    bool launch();
    void stop();

    QString root_;
    int port_ = 0;
    pid_t pid_ = 0;
    QString password_;
    QString sysdbaPassword_;
};
