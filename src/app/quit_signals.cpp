#include "app/quit_signals.h"

#include "db/store_wait.h"

#include <QApplication>
#include <QWidget>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int pipeEnds[2] = {-1, -1};

void onSignal(int signalNumber)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
    if (pipeEnds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0)
        return;
    ::fcntl(pipeEnds[1], F_SETFL, ::fcntl(pipeEnds[1], F_GETFL) | O_NONBLOCK);
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::readSignal);
    reclaim();
}

QuitSignals::~QuitSignals()
{
    for (int s : kSignals)
        std::signal(s, SIG_DFL);
}

void QuitSignals::reclaim()
{
    if (!notifier_)
        return;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals)
        ::sigaction(s, &action, nullptr);
}

void QuitSignals::readSignal()
{
    unsigned char byte = 0;
    if (::read(pipeEnds[0], &byte, 1) == 1)
        emit quitRequested(byte);
}

void QuitAsClose()
{
    // A call or long work the windows wait for is stopped and left, and the
    // wait window gives way: nothing keeps the windows from closing.
    EndWaiting();
    // Modal windows first, innermost first, then the others (the main window
    // saves the settings as it closes).
    QApplication::closeAllWindows();
    // Also the windows behind one that refused: none of them keeps the
    // program.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        if (w->isVisible())
            w->close();
    // Every event loop ends, however nested.
    QCoreApplication::exit(0);
}
