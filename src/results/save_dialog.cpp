#include "results/save_dialog.h"

#include "support/files.h"
#include "support/startup_dir.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

QString DialogStartFolder(const QString &startupDir, const QString &programDir, const QString &documentsDir,
                          const QString &homeDir)
{
    if (QDir(startupDir) == QDir(programDir))
        return startupDir;
    if (!documentsDir.isEmpty() && QFileInfo(documentsDir).isDir())
        return QDir(documentsDir).absolutePath() + QChar('/');
    return QDir(homeDir).absolutePath() + QChar('/');
}

QString DialogStartFolder()
{
    return DialogStartFolder(ProgramStartupDir(), ProgramDir(),
                             QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), QDir::homePath());
}

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
