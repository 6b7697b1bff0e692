#include "app/vrkx_application.h"

#include "widgets/messages.h"
#include "widgets/wait_window.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <cstring>
#include <exception>

// The program's pictures live in the app library's resources: a static
// library's resources are registered by hand.
static void initResources()
{
    Q_INIT_RESOURCE(app);
}
namespace {

// Texts of the toolkit's own dialogs that its Russian translation lacks: the
// kinds of entries the file dialog lists.
class ToolkitTextsRu : public QTranslator {
public:
    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        static const struct {
            const char *context;
            const char *source;
            const char *russian;
        } texts[] = {
            {"QAbstractFileIconProvider", "Folder", "Папка"},
            {"QAbstractFileIconProvider", "File", "Файл"},
            {"QAbstractFileIconProvider", "Drive", "Диск"},
            {"QAbstractFileIconProvider", "%1 File", "Файл %1"},
        };
        if (!context || !sourceText)
            return QString();
        for (const auto &t : texts)
            if (std::strcmp(context, t.context) == 0 && std::strcmp(sourceText, t.source) == 0)
                return QString::fromUtf8(t.russian);
        return QString();
    }
};

} // namespace

VrkxApplication::VrkxApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("VRKX_Query"));
    // The desktop entry the window belongs to, and its icon where no desktop
    // entry is installed (a build folder).
    setDesktopFileName(QStringLiteral(VRKX_APP_ID));
    initResources();
    QIcon icon;
    for (int size : {48, 128, 256})
        icon.addFile(QStringLiteral(":/app/icon-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    InstallErrorMessageBox();
    InstallStoreWaitWindow();
    // The program speaks Russian: so do the toolkit's own dialogs (the save
    // dialog, its question before a file is replaced, the input box). The
    // desktop's native dialogs would follow the system's language instead
    // (English under the C locale): the toolkit's own are used.
    setAttribute(Qt::AA_DontUseNativeDialogs);
    // Translators asked last are installed first: the gaps of the toolkit's
    // translation are filled from our own texts.
    toolkitTextsRu_ = std::make_unique<ToolkitTextsRu>();
    installTranslator(toolkitTextsRu_.get());
    if (qtTranslator_.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&qtTranslator_);
}

VrkxApplication::~VrkxApplication() = default;

bool VrkxApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ReportError(e);
    } catch (...) {
        ReportError(std::runtime_error("Unknown error"));
    }
    return false;
}
