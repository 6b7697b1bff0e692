#pragma once
// Answers the modal windows a test makes the program open: every few
// milliseconds it looks for the active modal widget, records what it said
// and closes it (OK), or hands it to the test's own handler. A modal window
// that is still open a few seconds after it was handed over ends the test
// with its name, instead of hanging until CTest's time limit.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

class QAbstractItemView;
class QWidget;

// Chooses a row of a shown view as a user would: a double click on it, or
// making it current and pressing Enter.
void ChooseRow(QAbstractItemView *view, int row, bool enter);

class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    // The handler decides what to do with a modal widget; without one the
    // widget is accepted (message boxes: OK).
    explicit ModalAnswerer(std::function<void(QWidget *)> handler = {});

    // One line per modal widget seen: a message box's text, or the object
    // name of any other window.
    QStringList seen;

    static void accept(QWidget *modal);
    static void reject(QWidget *modal);

    // A handler that works a window of type W from inside its modal loop,
    // closes it if the steps left it open, and accepts any other.
    template <class W>
    static std::function<void(QWidget *)> inWindow(std::function<void(W *)> steps)
    {
        return [steps](QWidget *modal) {
            if (auto *w = qobject_cast<W *>(modal)) {
                steps(w);
                if (w->isVisible())
                    reject(modal);
            } else {
                accept(modal);
            }
        };
    }

    static constexpr int kStuckMs = 5000;
    // A wait window that work on the store keeps open (making a store).
    static constexpr int kWaitStuckMs = 60000;

private:
    void poll();
    QElapsedTimer since_;
    QTimer timer_;
    QPointer<QWidget> last_;
    std::function<void(QWidget *)> handler_;
};
