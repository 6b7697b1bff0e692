#pragma once
// Messages to the user: information with one OK button, confirmation with
// OK and Cancel, and the report of an error that ended a user action.

#include <QString>
#include <exception>

class QWidget;

void ShowInfo(const QString &text, QWidget *parent = nullptr);
bool Confirm(const QString &text, QWidget *parent = nullptr);
// The text of an error as the user sees it.
QString ErrorText(const std::exception &e);
// Shows the error's text in a message box; the program goes on.
void ReportError(const std::exception &e);

// The busy cursor while an object of this class lives.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
