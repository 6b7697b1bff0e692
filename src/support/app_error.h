#pragma once
// The one exception type the program raises, and the program's one error
// handler. An error that ends a user action is handed to ReportError at the
// boundary where it would otherwise leave the program's own code (a slot, a
// timer, a model callback); the windowing layer installs the message box
// that shows it.

#include <QByteArray>
#include <QString>
#include <exception>
#include <functional>

class AppError : public std::exception {
public:
    explicit AppError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString &message() const noexcept { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// The text of an error as the user sees it.
QString ErrorText(const std::exception &e);

// Shows the error's text (through the installed sink; without one it is
// written to the log). The program goes on.
void ReportError(const std::exception &e);
using ErrorSink = std::function<void(const QString &text)>;
void SetErrorSink(ErrorSink sink);

// Runs the action and reports an error that leaves it; false when one did.
template <class F>
bool ReportingErrors(F &&action)
{
    try {
        std::forward<F>(action)();
        return true;
    } catch (const std::exception &e) {
        ReportError(e);
    } catch (...) {
        ReportError(AppError(QStringLiteral("Unknown error")));
    }
    return false;
}
