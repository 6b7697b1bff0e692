// The exports as a program that the tests kill, or run where a disk is full.
//   export_child page          writes the page into the temporary page, says
//                              "writing" once several megabytes are written,
//                              then waits to be killed
//   export_child page FILE     writes a page of 20,000 rows and saves it as FILE
//   export_child book FILE     writes a workbook of 20,000 rows and saves it as FILE
//   export_child book-wait rows      writes the rows of a workbook, says
//                                    "waiting FOLDER" and waits to be killed
//   export_child book-wait finished  finishes it too (as before the save
//                                    dialog), says "waiting FILE" and waits
// An error's text goes to stderr in UTF-8, with status 1.

#include "exports/excel.h"
#include "exports/html_export.h"
#include "exports/html_page.h"
#include "exports/work_folder.h"
#include "exports/xlsx_backend.h"
#include "support/app_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kRows = 20000;

// A value of the row that compresses as badly as names and notes do.
QString value(int row, int col)
{
    return QString::number(quint32(row * 2654435761u + col * 40503u), 36) + QStringLiteral(" Насос");
}

void page(const QString &fileName)
{
    TemporaryPage file;
    HtmlPageWriter page(file.device());
    page.begin({{"NAME_MAX", "Наименование"}, {"NOTE", "Примечание"}, {"ID_THIS", "ID-объекта"}});
    for (int r = 0; fileName.isEmpty() || r < kRows; ++r) {
        page.writeRow({value(r, 1), value(r, 2), value(r, 3)});
        if (fileName.isEmpty() && file.device().size() > (4 << 20)) {
            std::puts("writing");
            std::fflush(stdout);
            ::pause();
        }
    }
    page.end();
    file.saveAs(fileName);
}

void book(const QString &fileName, const QString &wait = QString())
{
    QVariant app, sheet;
    ExcelStart(false, true, app);
    ExcelGetSheet(app, 1, sheet);
    QVariant buffer = VarArrayCreate(1, 3);
    for (int r = 0; r < kRows; ++r) {
        for (int k = 1; k <= 3; ++k)
            VarArraySet(buffer, k, value(r, k));
        ExcelWriteRange(sheet, r + 1, 1, r + 1, 3, buffer);
    }
    auto backend = std::dynamic_pointer_cast<XlsxBackend>(AutomationBackendOf(app));
    if (wait.isEmpty()) {
        backend->save(fileName);
        return;
    }
    // Killed while the rows are written, or with the finished workbook
    // waiting for the user's choice of a place.
    const QString said = wait == QLatin1String("finished")
                             ? backend->finish()
                             : WorkFolder::root(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath());
    std::printf("waiting %s\n", said.toUtf8().constData());
    std::fflush(stdout);
    ::pause();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.value(0) == QLatin1String("page"))
            page(args.value(1));
        else if (args.value(0) == QLatin1String("book") && args.size() == 2)
            book(args.value(1));
        else if (args.value(0) == QLatin1String("book-wait") && args.size() == 2)
            book(QString(), args.value(1));
        else
            return 2;
    } catch (const std::exception &e) {
        std::fputs(ErrorText(e).toUtf8().constData(), stderr);
        return 1;
    }
    return 0;
}
