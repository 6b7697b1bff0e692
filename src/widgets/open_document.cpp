#include "widgets/open_document.h"

#include "widgets/messages.h"
#include "support/str_utils.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

DocumentOpener &opener()
{
    static DocumentOpener instance;
    return instance;
}

} // namespace

void SetDocumentOpener(DocumentOpener o)
{
    opener() = std::move(o);
}

bool OpenDocument(bool ShowMessages, QWidget *ParentWindow, const QString &FileName, int ShowCommand)
{
    Q_UNUSED(ShowCommand);
    const QString name = Trim(FileName);
    if (name.isEmpty()) {
        if (ShowMessages)
            ShowInfo(QStringLiteral("Имя файла документа не задано"), ParentWindow);
        return false;
    }
    const bool opened = opener() ? opener()(name) : QDesktopServices::openUrl(QUrl::fromLocalFile(name));
    if (!opened && ShowMessages)
        ShowInfo(QStringLiteral("Ошибка при открытии документа : ") + name, ParentWindow);
    return opened;
}
