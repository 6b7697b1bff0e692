#pragma once
// The result rows written as the HTML page, and the temporary file the page
// is written to before the user has chosen where it goes.

#include <QString>
#include <functional>
#include <memory>

class DbDataSet;
class QIODevice;
class QTemporaryFile;

// Writes the page of every row of the open row set in one pass. The progress
// callback gets the rows written and the row count (-1 while unknown); when it
// returns false the export stops and this returns false. At the end the last
// row is the current one. Throws DbError or AppError.
bool WriteResultPage(DbDataSet &rows, QIODevice &out, const std::function<bool(int written, int total)> &progress);

// An open, empty temporary file in the folder when it can be made there,
// otherwise in the system's temporary folder; it removes itself unless kept.
// Throws AppError when neither works.
std::unique_ptr<QTemporaryFile> OpenTemporaryPage(const QString &folder);

// Gives the finished temporary file the chosen name, replacing a file of that
// name; the new file gets the usual permissions, a replaced one keeps its
// own. The temporary file is kept from removing itself only on success.
// Throws AppError.
void MovePageTo(QTemporaryFile &page, const QString &fileName);

// Whether the name's last part has an extension (a "." after the last "/").
bool HasExtension(const QString &fileName);
