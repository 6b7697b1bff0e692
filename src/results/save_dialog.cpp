#include "results/save_dialog.h"

#include "support/files.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString OfferedFile(const QString &initialDir, const QString &fileName)
{
    if (QFileInfo(fileName).isAbsolute())
        return fileName;
    return QDir(initialDir).filePath(fileName);
}

QString AskSaveFileName(QWidget *parent, const QString &offered, const QString &objectName,
                        const QStringList &filters, const QString &defaultSuffix)
{
    // Opened straight in the offered folder: starting from the last folder
    // the dialog visited would first read that one (a system folder can
    // hold files whose reading never ends).
    const QFileInfo info(offered);
    QFileDialog dialog(parent, QString(), info.absolutePath());
    dialog.setObjectName(objectName);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setSizeGripEnabled(true);
    dialog.selectFile(info.fileName());
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    QString chosen = dialog.selectedFiles().value(0);
    if (!chosen.isEmpty() && !HasExtension(chosen))
        chosen += QChar('.') + defaultSuffix;
    return chosen;
}
