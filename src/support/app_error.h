#pragma once
// The one exception type the program raises. Its text is what the
// program-wide handler shows to the user.

#include <QByteArray>
#include <QString>
#include <exception>

class AppError : public std::exception {
public:
    explicit AppError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString &message() const noexcept { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};
