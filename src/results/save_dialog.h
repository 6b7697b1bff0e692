#pragma once
// The save dialog both exports ask for their file with, and the folder the
// program's file dialogs start in.

#include <QString>
#include <QStringList>

class QWidget;

// Where a file dialog starts: the folder the program keeps its files in
// (startupDir) when that is the program's own folder (portable); otherwise
// (installed: a hidden folder of the user's) the user's documents folder,
// else the home folder when there is no documents folder.
QString DialogStartFolder(const QString &startupDir, const QString &programDir, const QString &documentsDir,
                          const QString &homeDir);
// The same for the running program.
QString DialogStartFolder();

// The file a save dialog offers: the last one chosen (an absolute name), or
// the name in the initial folder.
QString OfferedFile(const QString &initialDir, const QString &fileName);

// The chosen file, or "" on Cancel. The dialog opens in the offered file's
// folder with its name selected, shows the filters, and asks before a file
// is replaced; a name chosen without an extension gets the default suffix.
QString AskSaveFileName(QWidget *parent, const QString &offered, const QString &objectName,
                        const QStringList &filters, const QString &defaultSuffix);
