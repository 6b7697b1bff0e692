#pragma once
// The error every failing call to the database raises: the client library's
// message text, with the engine's primary error code and SQLSTATE beside it,
// so that callers can tell a lost connection from a faulty statement without
// reading the text.

#include "support/app_error.h"

class DbError : public AppError {
public:
    explicit DbError(QString message, long gdsCode = 0, QString sqlState = QString())
        : AppError(std::move(message)), gdsCode_(gdsCode), sqlState_(std::move(sqlState))
    {
    }

    // The first error code of the engine's status (isc_...), 0 for errors the
    // program raises itself.
    long gdsCode() const { return gdsCode_; }
    // The five-character SQLSTATE, empty when the engine gave none.
    const QString &sqlState() const { return sqlState_; }
    // The connection to the database is gone (network, shutdown, lost
    // attachment): every later call on it fails too.
    bool isConnectionLost() const;
    // The operation was cancelled (by the user, through the wait window).
    bool isCancelled() const;

private:
    long gdsCode_;
    QString sqlState_;
};
