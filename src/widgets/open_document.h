#pragma once
// Opening a document with the desktop's application for its type.

#include <QString>
#include <functional>

class QWidget;

// How the document's window should appear. The desktop's application decides
// on its own window; the value is kept for the callers that pass it.
enum ShowCommand { SW_SHOWNORMAL = 1, SW_SHOWMAXIMIZED = 3 };

// Opens the trimmed file name through the desktop's handler. A blank name
// gives false ("Имя файла документа не задано" with showMessages); a file
// that does not exist, or that the desktop cannot open, gives false
// ("Ошибка при открытии документа : " and the name with showMessages).
bool OpenDocument(bool ShowMessages, QWidget *ParentWindow, const QString &FileName, int ShowCommand);

// What hands a file to the desktop; tests put a recorder here, so that
// nothing is started on the machine that runs them. An empty function
// restores the desktop's handler.
using DocumentOpener = std::function<bool(const QString &fileName)>;
void SetDocumentOpener(DocumentOpener opener);

// Whether the desktop has an application for files of the MIME type
// (`xdg-mime query default TYPE` names one). Opening a file hands it to
// xdg-open, which reports success as soon as it starts, whether or not any
// application takes the file: ask this first.
bool DesktopOpensType(const QString &mimeType);
// What answers DesktopOpensType; tests put a stand-in here, as no desktop
// application is registered where they run. An empty function restores
// the desktop's answer.
using OpenerProbe = std::function<bool(const QString &mimeType)>;
void SetOpenerProbe(OpenerProbe probe);
