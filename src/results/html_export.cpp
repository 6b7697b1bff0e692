#include "results/html_export.h"

#include "db/db_dataset.h"
#include "results/export_rows.h"
#include "results/html_page.h"
#include "support/app_error.h"
#include "support/files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <sys/stat.h>

namespace {

QFileDevice::Permissions usualPermissions()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = 0666 & ~mask;
    QFileDevice::Permissions p;
    const std::pair<mode_t, QFileDevice::Permission> bits[] = {
        {S_IRUSR, QFileDevice::ReadOwner}, {S_IWUSR, QFileDevice::WriteOwner}, {S_IRGRP, QFileDevice::ReadGroup},
        {S_IWGRP, QFileDevice::WriteGroup}, {S_IROTH, QFileDevice::ReadOther}, {S_IWOTH, QFileDevice::WriteOther}};
    for (const auto &[bit, permission] : bits)
        if (mode & bit)
            p |= permission;
    return p;
}

[[noreturn]] void cannotWrite(const QString &fileName, const QString &reason)
{
    throw AppError(QStringLiteral("Не удалось записать файл %1: %2").arg(QDir::toNativeSeparators(fileName), reason));
}

} // namespace

bool WriteResultPage(DbDataSet &rows, QIODevice &out, const std::function<bool(int written, int total)> &progress)
{
    ExportRowReader reader(rows);
    std::vector<HtmlColumn> columns;
    for (const ExportColumn &c : reader.columns())
        columns.push_back({c.name, c.label});
    HtmlPageWriter page(out);
    page.begin(columns);
    QStringList values;
    values.resize(qsizetype(columns.size()));
    while (reader.next()) {
        for (qsizetype k = 0; k < values.size(); ++k)
            values[k] = reader.text(int(k));
        page.writeRow(values);
        if (progress && !progress(page.rows(), reader.total()))
            return false;
    }
    if (!reader.complete()) // closed while pending events ran: the page would be cut short
        return false;
    page.end();
    reader.finish();
    return true;
}

std::unique_ptr<QTemporaryFile> OpenTemporaryPage(const QString &folder)
{
    const QString pattern = QStringLiteral("VRKX_Query_page_XXXXXX.tmp");
    for (const QString &dir : {folder, QDir::tempPath()}) {
        if (dir.isEmpty())
            continue;
        auto file = std::make_unique<QTemporaryFile>(QDir(dir).filePath(pattern));
        if (file->open())
            return file;
    }
    throw AppError(QStringLiteral("Не удалось создать временный файл в папке %1").arg(QDir::tempPath()));
}

void MovePageTo(QTemporaryFile &page, const QString &fileName)
{
    if (page.isOpen()) {
        if (!page.flush())
            cannotWrite(fileName, page.errorString());
        page.close();
    }
    const QFileInfo target(fileName);
    page.setPermissions(target.exists() ? target.permissions() : usualPermissions());
    QString reason;
    if (!MoveFileOver(page.fileName(), fileName, &reason))
        cannotWrite(fileName, reason);
    page.setAutoRemove(false); // it is the chosen file now
}

bool HasExtension(const QString &fileName)
{
    return fileName.lastIndexOf(QChar('.')) > fileName.lastIndexOf(QChar('/'));
}
