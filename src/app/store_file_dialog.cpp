#include "app/store_file_dialog.h"

#include "app/command_line.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString AskStoreFile(QWidget *parent, const QString &startFolder)
{
    QFileDialog dialog(parent, QStringLiteral("Открыть файл базы данных"), startFolder);
    dialog.setObjectName(QStringLiteral("OpenDatabaseFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({kStoreFileFilter, QStringLiteral("Все файлы (*)")});
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QString chosen = dialog.selectedFiles().value(0);
    return chosen.isEmpty() ? QString() : QFileInfo(chosen).absoluteFilePath();
}

QString StoreFileStartFolder(const QString &currentStore, const QString &startFolder)
{
    if (!currentStore.isEmpty() && !IsServerPath(currentStore)) {
        const QFileInfo info(currentStore);
        if (info.isAbsolute() && info.absoluteDir().exists())
            return info.absolutePath();
    }
    return startFolder;
}
