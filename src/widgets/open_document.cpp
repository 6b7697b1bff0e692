#include "widgets/open_document.h"

#include "widgets/messages.h"
#include "support/str_utils.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

DocumentOpener &opener()
{
    static DocumentOpener instance;
    return instance;
}

OpenerProbe &probe()
{
    static OpenerProbe instance;
    return instance;
}

bool askDesktop(const QString &mimeType)
{
    QProcess xdgMime;
    xdgMime.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!xdgMime.waitForFinished(5000)) { // not installed, or hanging
        xdgMime.kill();
        xdgMime.waitForFinished();
        return false;
    }
    return xdgMime.exitStatus() == QProcess::NormalExit && xdgMime.exitCode() == 0
           && !xdgMime.readAllStandardOutput().trimmed().isEmpty();
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
    const bool opened = QFileInfo::exists(name)
                        && (opener() ? opener()(name) : QDesktopServices::openUrl(QUrl::fromLocalFile(name)));
    if (!opened && ShowMessages)
        ShowInfo(QStringLiteral("Ошибка при открытии документа : ") + name, ParentWindow);
    return opened;
}

void SetOpenerProbe(OpenerProbe p)
{
    probe() = std::move(p);
}

bool DesktopOpensType(const QString &mimeType)
{
    return probe() ? probe()(mimeType) : askDesktop(mimeType);
}
