// "Экспорт в HTML-формат" of the result window: the page of the found objects
// is written to a temporary file in one pass, then the user picks its name
// and the page is saved there; both as long work under the wait window,
// whose Cancel leaves nothing and gives the one cancel message.

#include "results/result_window.h"

#include "db/db_dataset.h"
#include "db/store_wait.h"
#include "exports/export_save.h"
#include "exports/html_export.h"
#include "results/save_dialog.h"
#include "support/files.h"
#include "widgets/messages.h"
#include "widgets/open_document.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

void TDlg_ViewQuery_Objects::SpeedButton3Click()
{
    // An error goes to the button's handler, which shows it.
    QCoreApplication::processEvents();
    if (!Query1->isOpen())
        return;
    if (!HasExtension(SD1.fileName))
        SD1.fileName += QStringLiteral(".htm");
    const QString offered = OfferedFile(SD1.initialDir, SD1.fileName);
    // Written where the user never sees it until it is saved.
    TemporaryPage page(QFileInfo(offered).absolutePath());
    {
        BusyCursor busy;
        if (!WriteResultPage(*Query1, page.device()))
            throw StoreCallCancelled(); // the one cancel message; nothing was written anywhere
    }
    const QString chosen = AskSaveFileName(this, offered, QStringLiteral("SD1"),
                                           {QStringLiteral("HTML-файлы (*.htm)"), QStringLiteral("Все файлы (*)")},
                                           QStringLiteral("htm"));
    if (chosen.isEmpty())
        return;
    SD1.fileName = chosen;
    {
        BusyCursor busy;
        SavePage(page, chosen); // as long work: a large page takes seconds
    }
    if (Confirm(QStringLiteral("Желаете посмотреть ?"), SavedToText(chosen), this))
        OpenDocument(true, this, chosen, SW_SHOWMAXIMIZED);
}
