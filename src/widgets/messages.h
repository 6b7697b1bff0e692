#pragma once
// Messages to the user: information with one OK button, confirmation with
// OK and Cancel, the error box behind the program's one error handler
// (ReportError, support/app_error.h), and the busy cursor.

#include "support/app_error.h"

#include <QString>

class QWidget;

void ShowInfo(const QString &text, QWidget *parent = nullptr);
bool Confirm(const QString &text, QWidget *parent = nullptr);
// The same with a line below the text (the box's informative text), such as
// the file a save went to.
void ShowInfo(const QString &text, const QString &below, QWidget *parent);
bool Confirm(const QString &text, const QString &below, QWidget *parent);
// The line that names the file a save went to.
QString SavedToText(const QString &fileName);
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
