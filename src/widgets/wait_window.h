#pragma once
// The small modal window shown while the program waits on the store for
// longer than a moment: "Выполняется запрос к базе данных ...", a busy
// indicator and "Отмена". Installed for every call of the wait routine.

#include "db/store_wait.h"

#include <QDialog>

class QLabel;
class QPushButton;

class StoreWaitDialog : public QDialog, public StoreWaitWindow {
    Q_OBJECT
public:
    StoreWaitDialog();
    ~StoreWaitDialog() override;

    void begin(std::function<void()> cancel) override;
    void cancelling() override;
    void progress(const QString &text) override;

    QLabel *label;
    QPushButton *cancelButton;

protected:
    // Closing the window or Escape cancel, as the button does; when the
    // program ends (EndWaiting) the window closes.
    void reject() override;

private:
    std::function<void()> cancel_;
    bool arrowCursor_ = false;
};

// Makes the wait routine show this window. Done when this unit is linked in
// (a program with windows), and again by the application at start.
void InstallStoreWaitWindow();
