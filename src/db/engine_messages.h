#pragma once
// What the user reads when the engine refuses: for its common failures one
// Russian sentence that says what happened and what to do, above the
// engine's own text (kept for whoever helps the user). One table, by the
// engine's error codes; a cancel by the user is not an error and reads
// "Запрос отменён." alone.

#include "db/db_error.h"

#include <QList>
#include <exception>
#include <QString>
#include <QStringList>

// The one text of a call the user stopped.
inline const QString kQueryCancelled = QStringLiteral("Запрос отменён.");

// A refusal of the engine as its status tells it: every error code in it
// (isc_...), the operating system's error number (0: none) and the string
// arguments, in order.
struct EngineStatus {
    QList<long> codes;
    int osError = 0;
    QStringList arguments;
};

// The sentence for the status, "" when the table has none. lockFolder is
// the embedded engine's lock folder, named by the lock folder's row.
QString EngineAdvice(const EngineStatus &status, const QString &lockFolder);
// What the user reads: the advice, a blank line and the engine's text; the
// engine's text alone without advice; only the cancel text for a cancel.
QString EngineMessage(const EngineStatus &status, const QString &engineText, const QString &lockFolder);
// The folder the embedded engine keeps its lock files in now: FIREBIRD_LOCK,
// else /tmp/firebird.
QString CurrentEngineLockFolder();

// The error of a call the user stopped (the engine's cancel code, so that
// DbError::isCancelled() holds); text is kQueryCancelled unless given.
DbError CancelledError(const QString &text = kQueryCancelled);
// Whether the error is a call the user stopped.
bool IsCancel(const std::exception_ptr &error);
