#pragma once
// Condition files: the text of Memo_SQL kept in a plain text file (".sql"),
// Windows-1251 with CR LF line ends like the program's other files, and the
// list of the files used last.

#include <QString>
#include <QStringList>

// A condition file larger than this is not a condition: it is refused.
constexpr qint64 kConditionFileMaxBytes = 1024 * 1024;
// How many files the "Недавние условия" menu lists.
constexpr int kRecentConditions = 10;

// The lines of the file, as they were written (a last line break ends the
// last line, it does not add an empty one). Throws AppError, in Russian,
// when the file cannot be read, is too large or is no text (holds NUL bytes).
QStringList ReadConditionFile(const QString &path);
// Writes the lines, each ended by CR LF, replacing the file whole or not at
// all. Throws AppError, in Russian, when it cannot.
void WriteConditionFile(const QString &path, const QStringList &lines);
// The recent list with path first (once), at most kRecentConditions long.
QStringList WithRecentFile(const QStringList &recent, const QString &path);
