// "Экспорт в HTML-формат" of the result window: the page of the found objects
// is written to a temporary file in one pass, then the user picks its name.

#include "results/result_window.h"

#include "db/db_dataset.h"
#include "results/export_progress.h"
#include "results/html_export.h"
#include "widgets/messages.h"
#include "widgets/open_document.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

// The file the save dialog offers: the last chosen one, or the default name
// in the initial folder.
QString offeredFile(const SaveDialogSettings &sd)
{
    if (QFileInfo(sd.fileName).isAbsolute())
        return sd.fileName;
    return QDir(sd.initialDir).filePath(sd.fileName);
}

// The chosen file, or "" on Cancel. The dialog asks before a file is replaced.
QString askFileName(QWidget *parent, const QString &offered)
{
    // Opened straight in the offered folder: starting from the last folder
    // the dialog visited would first read that one (a system folder can
    // hold files whose reading never ends).
    const QFileInfo info(offered);
    QFileDialog dialog(parent, QString(), info.absolutePath());
    dialog.setObjectName(QStringLiteral("SD1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("HTML-файлы (*.htm)"), QStringLiteral("Все файлы (*)")});
    dialog.setDefaultSuffix(QStringLiteral("htm"));
    dialog.setSizeGripEnabled(true);
    dialog.selectFile(info.fileName());
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace

void TDlg_ViewQuery_Objects::SpeedButton3Click()
{
    // An error goes to the button's handler, which shows it; the temporary
    // page has removed itself by then.
    QCoreApplication::processEvents();
    if (!Query1->isOpen())
        return;
    if (!HasExtension(SD1.fileName))
        SD1.fileName += QStringLiteral(".htm");
    const QString offered = offeredFile(SD1);
    // Removes itself on every path but a successful move.
    std::unique_ptr<QTemporaryFile> page = OpenTemporaryPage(QFileInfo(offered).absolutePath());
    {
        BusyCursor busy;
        ExportProgress progress(this, QStringLiteral("Экспорт в HTML-формат"));
        if (!WriteResultPage(*Query1, *page,
                             [&progress](int written, int total) { return progress.step(written, total); }))
            return;
    }
    QString chosen = askFileName(this, offered);
    if (chosen.isEmpty())
        return;
    if (!HasExtension(chosen))
        chosen += QStringLiteral(".htm");
    SD1.fileName = chosen;
    MovePageTo(*page, chosen);
    if (Confirm(QStringLiteral("Желаете посмотреть ?"), this))
        OpenDocument(true, this, chosen, SW_SHOWMAXIMIZED);
}
