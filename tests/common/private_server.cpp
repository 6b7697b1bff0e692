#include "private_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

QString &errorText()
{
    static QString text;
    return text;
}

// The folder that holds the engine's plugins and character sets.
QString engineFolder()
{
    QStringList candidates;
    for (const QFileInfo &lib : QDir(QStringLiteral("/usr/lib")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
        candidates << lib.filePath() + QStringLiteral("/firebird/3.0");
    candidates << QStringLiteral("/usr/lib/firebird/3.0");
    for (const QString &c : candidates)
        if (QFile::exists(c + QStringLiteral("/plugins/libEngine12.so")))
            return c;
    return QString();
}

QString randomWord()
{
    return QStringLiteral("t%1").arg(QRandomGenerator::system()->generate64(), 0, 36);
}

// A port nobody listens on now: the system's choice for a socket bound to 0.
int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr *>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

// Whether process pid holds the socket that listens on the loopback port:
// the listening socket's inode from /proc/net/tcp among the process's files.
bool listensOn(pid_t pid, int port)
{
    QFile tcp(QStringLiteral("/proc/net/tcp"));
    if (!tcp.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = QByteArray("0100007F:") + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    QByteArray inode;
    for (const QByteArray &line : tcp.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() > 9 && f[1] == local && f[3] == "0A")
            inode = f[9];
    }
    if (inode.isEmpty())
        return false;
    const QByteArray wanted = "socket:[" + inode + "]";
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString &fd : QDir(fds).entryList(QDir::System | QDir::NoDotAndDotDot)) {
        char link[64] = {};
        if (::readlink(QFile::encodeName(fds + '/' + fd).constData(), link, sizeof link - 1) > 0 &&
            wanted == link)
            return true;
    }
    return false;
}

bool writeFile(const QString &path, const QByteArray &text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

} // namespace

QString PrivateServer::lastError()
{
    return errorText();
}

std::unique_ptr<PrivateServer> PrivateServer::start()
{
    std::unique_ptr<PrivateServer> server(new PrivateServer);
    if (!server->prepare())
        return nullptr;
    for (int attempt = 0; attempt < 5; ++attempt)
        if (server->launch())
            return server;
    return nullptr;
}

PrivateServer::~PrivateServer()
{
    stop();
    if (!root_.isEmpty())
        QDir(root_).removeRecursively();
}

QString PrivateServer::host() const
{
    return QStringLiteral("localhost/%1").arg(port_);
}

QString PrivateServer::databaseFolder() const
{
    return root_ + QStringLiteral("/db");
}

bool PrivateServer::prepare()
{
    const QString engine = engineFolder();
    if (engine.isEmpty() || !QFile::exists(QStringLiteral("/usr/sbin/firebird"))) {
        errorText() = QStringLiteral("no Firebird server here (firebird3.0-server)");
        return false;
    }
    QByteArray templ = QFile::encodeName(QDir::tempPath() + QStringLiteral("/vrkx-fbserver-XXXXXX"));
    if (!::mkdtemp(templ.data())) {
        errorText() = QStringLiteral("cannot make a folder for the server");
        return false;
    }
    root_ = QFile::decodeName(templ);
    // Open to every user: a test may hand a store of an ordinary user's to
    // the server through the database folder.
    ::chmod(templ.constData(), 0755);
    for (const char *d : {"lock", "tmp", "intl", "db"})
        QDir(root_).mkdir(QString::fromLatin1(d));
    ::chmod(QFile::encodeName(databaseFolder()).constData(), 01777);
    for (const char *name : {"plugins", "UDF", "firebird.msg", "lib", "plugins.conf", "fbtrace.conf"})
        QFile::link(engine + '/' + QLatin1String(name), root_ + '/' + QLatin1String(name));
    // The character sets' module must be a file of the root itself: through a
    // link the engine loads it but knows none of its character sets.
    QFile::copy(engine + QStringLiteral("/intl/libfbintl.so"), root_ + QStringLiteral("/intl/libfbintl.so"));
    QFile::copy(engine + QStringLiteral("/intl/fbintl.conf"), root_ + QStringLiteral("/intl/fbintl.conf"));
    const QByteArray security = QFile::encodeName(root_ + QStringLiteral("/security3.fdb"));
    writeFile(root_ + QStringLiteral("/databases.conf"),
              "security.db = " + security + "\n{\n\tRemoteAccess = false\n}\n");

    password_ = randomWord();
    sysdbaPassword_ = randomWord();
    QProcess isql;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), root_);
    env.insert(QStringLiteral("FIREBIRD_LOCK"), root_ + QStringLiteral("/lock"));
    env.insert(QStringLiteral("FIREBIRD_TMP"), root_ + QStringLiteral("/tmp"));
    env.remove(QStringLiteral("ISC_USER"));
    env.remove(QStringLiteral("ISC_PASSWORD"));
    isql.setProcessEnvironment(env);
    isql.setProcessChannelMode(QProcess::MergedChannels);
    // The server is not running yet: the security database is made and
    // filled through the embedded engine.
    writeFile(root_ + QStringLiteral("/firebird.conf"), "SecurityDatabase = " + security + "\n");
    isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q")});
    isql.write("CREATE DATABASE '" + security + "' USER SYSDBA;\n"
               "CREATE USER SYSDBA PASSWORD '" + sysdbaPassword_.toLatin1() + "' USING PLUGIN Srp;\n"
               "CREATE USER VRKX_TEST PASSWORD '" + password_.toLatin1() + "' USING PLUGIN Srp;\n"
               "COMMIT;\nGRANT CREATE DATABASE TO USER VRKX_TEST;\nCOMMIT;\n");
    isql.closeWriteChannel();
    if (!isql.waitForFinished(60000) || isql.exitCode() != 0 || !isql.readAll().trimmed().isEmpty()) {
        errorText() = QStringLiteral("cannot make the server's security database: ") + QString::fromLocal8Bit(isql.readAll());
        return false;
    }
    return true;
}

bool PrivateServer::launch()
{
    port_ = freePort();
    if (port_ <= 0) {
        errorText() = QStringLiteral("no free port");
        return false;
    }
    const QByteArray security = QFile::encodeName(root_ + QStringLiteral("/security3.fdb"));
    writeFile(root_ + QStringLiteral("/firebird.conf"),
              "RemoteServicePort = " + QByteArray::number(port_) +
                  "\nRemoteBindAddress = 127.0.0.1\nSecurityDatabase = " + security + "\nUdfAccess = None\n");

    // Everything the child needs is made before the fork.
    std::vector<QByteArray> envText;
    for (char **e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (!entry.startsWith("FIREBIRD") && !entry.startsWith("ISC_"))
            envText.push_back(entry);
    }
    envText.push_back("FIREBIRD=" + QFile::encodeName(root_));
    envText.push_back("FIREBIRD_LOCK=" + QFile::encodeName(root_ + QStringLiteral("/lock")));
    envText.push_back("FIREBIRD_TMP=" + QFile::encodeName(root_ + QStringLiteral("/tmp")));
    std::vector<char *> envp;
    for (QByteArray &e : envText)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const QByteArray log = QFile::encodeName(root_ + QStringLiteral("/server.log"));
    const QByteArray dir = QFile::encodeName(root_);
    char program[] = "/usr/sbin/firebird";
    char *argv[] = {program, nullptr};
    const pid_t parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid < 0) {
        errorText() = QStringLiteral("fork failed");
        return false;
    }
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        const int out = ::open(log.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        const int in = ::open("/dev/null", O_RDONLY);
        if (out >= 0 && in >= 0) {
            ::dup2(in, 0);
            ::dup2(out, 1);
            ::dup2(out, 2);
        }
        if (::chdir(dir.constData()) != 0)
            ::_exit(127);
        ::execve(program, argv, envp.data());
        ::_exit(127);
    }
    pid_ = pid;
    for (int i = 0; i < 200; ++i) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = 0;
            errorText() = QStringLiteral("the server ended at start: ") + QString::fromLocal8Bit(
                [&] { QFile f(QFile::decodeName(log)); return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(); }());
            return false;
        }
        if (listensOn(pid_, port_))
            return true;
        QThread::msleep(50);
    }
    errorText() = QStringLiteral("the server did not listen on port %1").arg(port_);
    stop();
    return false;
}

bool PrivateServer::pause()
{
    return pid_ > 0 && ::kill(pid_, SIGSTOP) == 0;
}

void PrivateServer::resume()
{
    if (pid_ > 0)
        ::kill(pid_, SIGCONT);
}

void PrivateServer::stop()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGCONT);
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = 0;
            return;
        }
        QThread::msleep(50);
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = 0;
}
