// "Экспорт в Excel (OLE)" of the result window: the found objects in a new
// workbook of the spreadsheet application, which is then opened, or saved
// where the user chooses when no spreadsheet program opens it. Writing the
// rows and saving the workbook are long work under the wait window, whose
// Cancel leaves nothing and gives the one cancel message.

#include "results/result_window.h"

#include "db/db_dataset.h"
#include "db/store_wait.h"
#include "exports/automation.h"
#include "exports/excel.h"
#include "exports/export_save.h"
#include "exports/sheet_text.h"
#include "exports/xlsx_backend.h"
#include "exports/xlsx_export.h"
#include "results/save_dialog.h"
#include "support/date_utils.h"
#include "support/files.h"
#include "widgets/messages.h"
#include "widgets/open_document.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kWorkbookMimeType = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");

// Finishes the workbook and opens it with the desktop's spreadsheet program,
// from the user's own folder where it was built (it stays there while the
// program runs); where there is none, or it cannot be started, the user
// keeps the workbook where they choose (in the folder last used, remembered
// in folder). False when the user declined: then nothing of it stays.
// savedTo names the file the user chose, empty when the workbook was opened.
bool keepWorkbook(QWidget *parent, XlsxBackend &book, QString &folder, const SaveDialogSettings &sd,
                  QString &savedTo)
{
    QString finished;
    {
        BusyCursor busy;
        finished = FinishWorkbook(book); // as long work: compressing takes seconds
    }
    if (DesktopOpensType(kWorkbookMimeType) && OpenDocument(false, parent, finished, SW_SHOWMAXIMIZED)) {
        book.keepWhileRunning();
        return true;
    }
    if (folder.isEmpty())
        folder = QFileInfo(OfferedFile(sd.initialDir, sd.fileName)).absolutePath();
    const QString chosen = AskSaveFileName(parent, QDir(folder).filePath(QStringLiteral("VRKX_Query_Result.xlsx")),
                                           QStringLiteral("SaveWorkbookDialog"),
                                           {QStringLiteral("Excel-файлы (*.xlsx)"), QStringLiteral("Все файлы (*)")},
                                           QStringLiteral("xlsx"));
    if (chosen.isEmpty()) {
        book.discard();
        return false;
    }
    folder = QFileInfo(chosen).absolutePath();
    // Whatever becomes of the move, the workbook's folder goes.
    struct Discard {
        XlsxBackend &book;
        ~Discard() { book.discard(); }
    } discard{book};
    BusyCursor busy;
    MoveWorkbook(book, chosen);
    savedTo = chosen;
    return true;
}

} // namespace

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
        rows = WriteWorkbookRows(sheet, reader, buffer);
    }
    auto book = std::dynamic_pointer_cast<XlsxBackend>(AutomationBackendOf(app));
    if (rows.cancelled) {
        if (book)
            book->discard(); // nothing is opened, no file stays
        throw StoreCallCancelled(); // the one cancel message, as a stopped call gives
    }
    WriteWorkbookLayout(app, sheet, reader.columns(), rows);
    if (rows.leftOut > 0)
        ShowInfo(QStringLiteral("Лист вмещает %1 строк: выгружено строк %2, не поместилось %3.")
                     .arg(kSheetRows)
                     .arg(rows.written)
                     .arg(rows.leftOut),
                 this);
    QString savedTo;
    if (book) {
        if (!keepWorkbook(this, *book, bookFolder_, SD1, savedTo))
            return;
        // Said once, for the whole workbook.
        if (const int changed = book->changedValues(); changed > 0)
            ShowInfo(QStringLiteral("Значений, которые книга не может хранить как есть, изменено: %1 (текст длиннее "
                                    "%2 символов обрезан, символы, недопустимые в книге, заменены на «?»).")
                         .arg(changed)
                         .arg(kCellTextMax),
                     this);
    }
    ShowInfo(QStringLiteral("Готово! Распечатайте или сохраните в файл ..."),
             savedTo.isEmpty() ? QString() : SavedToText(savedTo), this);
}
