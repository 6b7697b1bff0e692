#include "exports/html_export.h"

#include "db/db_dataset.h"
#include "exports/export_rows.h"
#include "exports/html_page.h"
#include "exports/save_watch.h"
#include "support/app_error.h"
#include "support/files.h"

#include <QDir>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

[[noreturn]] void cannotWrite(const QString &fileName, const QString &reason, bool noSpace)
{
    // A full disk is said as such, naming the file it showed in.
    if (noSpace)
        throw AppError(NoSpaceText(fileName));
    throw AppError(QStringLiteral("Не удалось записать файл %1: %2").arg(QDir::toNativeSeparators(fileName), reason));
}

} // namespace

bool WriteResultPage(DbDataSet &rows, QIODevice &out, const LongWorkRunner &run)
{
    ExportRowReader reader(rows);
    std::vector<HtmlColumn> columns;
    for (const ExportColumn &c : reader.columns())
        columns.push_back({c.name, c.label});
    HtmlPageWriter page(out);
    page.begin(columns);
    QStringList values;
    values.resize(qsizetype(columns.size()));
    const bool finished = ForEachExportRow(
        reader,
        [&] {
            for (qsizetype k = 0; k < values.size(); ++k)
                values[k] = reader.text(int(k));
            page.writeRow(values);
        },
        [&] { return RowsWrittenText(page.rows(), reader.total()); }, run);
    if (!finished)
        return false;
    page.end();
    return true;
}

TemporaryPage::TemporaryPage(const QString &otherFolder)
{
    const QString folder = QDir::tempPath();
    QString reason;
    for (const QString &dir : {folder, otherFolder}) {
        if (dir.isEmpty())
            continue;
        QByteArray name = QFile::encodeName(QDir(dir).filePath(QStringLiteral("VRKX_Query_page_XXXXXX")));
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) {
            if (reason.isEmpty())
                reason = QString::fromLocal8Bit(std::strerror(errno));
            continue;
        }
        // Opened by its name, which it keeps: a full disk names the file, and
        // so the folder, where the space ran out. The name goes at once.
        file_.setFileName(QFile::decodeName(name));
        const bool opened = file_.open(QIODevice::ReadWrite);
        ::unlink(name.constData());
        ::close(fd);
        if (opened)
            return;
        if (reason.isEmpty())
            reason = file_.errorString();
    }
    throw AppError(QStringLiteral("Не удалось создать временный файл в папке %1: %2")
                       .arg(QDir::toNativeSeparators(folder), reason));
}

bool TemporaryPage::saveAs(const QString &fileName, SaveWatch *watch)
{
    QString reason;
    if (!file_.flush() || !file_.seek(0)) {
        const bool noSpace = WriteFailedForSpace(file_, &reason);
        cannotWrite(file_.fileName(), reason, noSpace);
    }
    bool noSpace = false;
    SaveWatch unwatched;
    if (CopyFileWatched(file_, fileName, watch ? *watch : unwatched, &reason, &noSpace))
        return true;
    if (reason.isEmpty())
        return false; // stopped
    cannotWrite(fileName, reason, noSpace);
}
