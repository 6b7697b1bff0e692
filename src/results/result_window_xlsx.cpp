// "Экспорт в Excel (OLE)" of the result window: the found objects in a new
// workbook of the spreadsheet application, which is then opened.

#include "results/result_window.h"

#include "db/db_dataset.h"
#include "results/automation.h"
#include "results/excel.h"
#include "results/export_progress.h"
#include "results/xlsx_backend.h"
#include "results/xlsx_export.h"
#include "support/date_utils.h"
#include "support/files.h"
#include "widgets/messages.h"
#include "widgets/open_document.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

void TDlg_ViewQuery_Objects::SpeedButton2Click()
{
    QCoreApplication::processEvents();
    if (!Query1->isOpen())
        return;
    QVariant app, sheet;
    ExcelStart(true, true, app);
    ExcelGetSheet(app, 1, sheet);
    ExportRowReader reader(*Query1);
    WriteWorkbookHeading(sheet, reader.columns(), LocalDateTimeText(QDateTime::currentDateTime()));

    WorkbookRows rows;
    {
        BusyCursor busy;
        QVariant buffer = VarArrayCreate(1, int(reader.columns().size()));
        if (!VariantAssigned(buffer)) {
            ShowInfo(QStringLiteral("Ошибка(1) при создании буфера"), this);
            return;
        }
        if (!VarIsArray(buffer)) {
            ShowInfo(QStringLiteral("Ошибка(2) при создании буфера"), this);
            return;
        }
        ExportProgress progress(this, QStringLiteral("Экспорт в Excel"));
        rows = WriteWorkbookRows(sheet, reader, buffer,
                                 [&progress](int written, int total) { return progress.step(written, total); });
    }
    auto book = std::dynamic_pointer_cast<XlsxBackend>(AutomationBackendOf(app));
    if (rows.cancelled) {
        if (book)
            book->discard(); // nothing is opened, no file stays
        return;
    }
    if (rows.leftOut > 0)
        ShowInfo(QStringLiteral("Лист вмещает %1 строк: выгружено строк %2, не поместилось %3.")
                     .arg(kSheetRows)
                     .arg(rows.written)
                     .arg(rows.leftOut),
                 this);
    if (book) {
        // The spreadsheet application opens the finished workbook; where no
        // application opens it, the user is told where it is.
        const QString name = UniqueFileName(QDir(QDir::tempPath()).filePath(QStringLiteral("VRKX_Query_Result.xlsx")));
        {
            BusyCursor busy;
            book->save(name);
        }
        if (!OpenDocument(false, this, name, SW_SHOWMAXIMIZED))
            ShowInfo(QStringLiteral("Книга сохранена в файле \"%1\". Откройте его программой электронных таблиц.").arg(name),
                     this);
    }
    ShowInfo(QStringLiteral("Готово! Распечатайте или сохраните в файл ..."), this);
}
