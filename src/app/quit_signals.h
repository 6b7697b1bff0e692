#pragma once
// SIGTERM, SIGINT and SIGHUP end the program as closing its windows does:
// the handler only writes a byte to a socket, and the event loop turns it
// into quitRequested(). The Firebird client library puts handlers of its own
// on SIGINT and SIGTERM when it first attaches (they only shut its
// connections down and the windows would run on), so the program takes the
// signals back after every attach with reclaim().

#include <QObject>

class QSocketNotifier;

class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

    // Puts the program's handler on the three signals again.
    void reclaim();

signals:
    void quitRequested(int signalNumber);

private:
    void readSignal();
    QSocketNotifier *notifier_ = nullptr;
};

// Ends the program as a close does, in every state: a waiting call is
// stopped and left at once (EndWaiting), every window closes (the main
// window saves the settings as it closes) and every event loop ends, modal
// windows' and the wait routine's included.
void QuitAsClose();
