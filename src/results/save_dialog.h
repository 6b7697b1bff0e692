#pragma once
// The save dialog both exports ask for their file with.

#include <QString>
#include <QStringList>

class QWidget;

// The file a save dialog offers: the last one chosen (an absolute name), or
// the name in the initial folder.
QString OfferedFile(const QString &initialDir, const QString &fileName);

// The chosen file, or "" on Cancel. The dialog opens in the offered file's
// folder with its name selected, shows the filters, and asks before a file
// is replaced; a name chosen without an extension gets the default suffix.
QString AskSaveFileName(QWidget *parent, const QString &offered, const QString &objectName,
                        const QStringList &filters, const QString &defaultSuffix);
