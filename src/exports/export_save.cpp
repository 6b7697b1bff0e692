#include "exports/export_save.h"

#include "db/store_wait.h"
#include "exports/html_export.h"
#include "exports/save_watch.h"
#include "exports/xlsx_backend.h"

namespace {

// Runs the save under the watch given, or one of its own.
bool watched(const QString &what, SaveWatch *watch, const std::function<bool(SaveWatch &)> &save)
{
    SaveWatch own;
    SaveWatch &w = watch ? *watch : own;
    return RunSave(what, w, [&] { return save(w); });
}

} // namespace

QString FinishWorkbook(XlsxBackend &book, SaveWatch *watch)
{
    QString file;
    const bool done = watched(QStringLiteral("Книга сохраняется"), watch, [&](SaveWatch &w) {
        file = book.finish(&w);
        return !file.isEmpty();
    });
    if (!done) {
        book.discard();
        throw StoreCallCancelled();
    }
    return file;
}

void MoveWorkbook(XlsxBackend &book, const QString &fileName, SaveWatch *watch)
{
    if (!watched(QStringLiteral("Книга записывается"), watch, [&](SaveWatch &w) { return book.moveTo(fileName, &w); })) {
        book.discard();
        throw StoreCallCancelled();
    }
}

void SavePage(TemporaryPage &page, const QString &fileName, SaveWatch *watch)
{
    if (!watched(QStringLiteral("Страница записывается"), watch, [&](SaveWatch &w) { return page.saveAs(fileName, &w); }))
        throw StoreCallCancelled();
}
