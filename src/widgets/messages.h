#pragma once
// Messages to the user: information with one OK button, confirmation with
// OK and Cancel, the error box behind the program's one error handler
// (ReportError, support/app_error.h), and the busy cursor.

#include "support/app_error.h"

#include <QString>

class QWidget;

void ShowInfo(const QString &text, QWidget *parent = nullptr);
bool Confirm(const QString &text, QWidget *parent = nullptr);
// Makes ReportError show a message box. Done when this unit is linked in,
// and again by the application at start.
void InstallErrorMessageBox();

// The busy cursor while an object of this class lives.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
