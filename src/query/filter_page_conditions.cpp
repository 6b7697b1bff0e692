// The filter page's condition files: "Сохранить условие в файл ...",
// "Открыть условие из файла ..." and "Недавние условия".

#include "query/condition_file.h"
#include "query/filter_page.h"
#include "query/tool_icons.h"
#include "support/codec_1251.h"
#include "support/startup_dir.h"
#include "widgets/messages.h"
#include "widgets/widget_utils.h"
#include "widgets/window_memory.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QToolButton>

namespace {

const QString kFolderKey = QStringLiteral("FilterPage/conditionFolder");
const QString kRecentKey = QStringLiteral("FilterPage/recentConditions");
const QStringList kFilters{QStringLiteral("Условия SQL (*.sql)"), QStringLiteral("Все файлы (*)")};

QString conditionFolder()
{
    const QString kept = RememberedValue(kFolderKey).toString();
    return !kept.isEmpty() && QFileInfo(kept).isDir() ? kept : ProgramStartupDir();
}

// The toolkit's own file dialog (Russian, as the program's other dialogs).
QString askFile(QWidget *parent, bool save)
{
    QFileDialog dialog(parent, save ? QStringLiteral("Сохранить условие в файл")
                                    : QStringLiteral("Открыть условие из файла"),
                       conditionFolder());
    dialog.setObjectName(save ? QStringLiteral("saveConditionDialog") : QStringLiteral("openConditionDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(kFilters);
    dialog.setDefaultSuffix(QStringLiteral("sql"));
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace

void FilterPage::buildConditionTools(QWidget *group)
{
    saveConditionButton = MakeToolButton(group, "saveConditionButton", ToolIcons::save(),
                                         QStringLiteral("Сохранить условие в файл ..."));
    openConditionButton = MakeToolButton(group, "openConditionButton", ToolIcons::open(),
                                         QStringLiteral("Открыть условие из файла ..."));
    recentConditionsMenu = Named(new QMenu(QStringLiteral("Недавние условия"), openConditionButton),
                                 "recentConditionsMenu");
    openConditionButton->setMenu(recentConditionsMenu);
    openConditionButton->setPopupMode(QToolButton::MenuButtonPopup);
    connect(recentConditionsMenu, &QMenu::aboutToShow, this, &FilterPage::fillRecentConditions);
    connect(saveConditionButton, &QToolButton::clicked, this, [this] { ReportingErrors([this] { saveCondition(); }); });
    connect(openConditionButton, &QToolButton::clicked, this, [this] { ReportingErrors([this] { openCondition(); }); });
}

QStringList FilterPage::recentConditions() const
{
    return RememberedValue(kRecentKey).toStringList();
}

void FilterPage::fillRecentConditions()
{
    QMenu *m = recentConditionsMenu;
    m->clear();
    QAction *title = m->addAction(QStringLiteral("Недавние условия"));
    title->setEnabled(false);
    m->addSeparator();
    const QStringList recent = recentConditions();
    if (recent.isEmpty())
        m->addAction(QStringLiteral("(нет)"))->setEnabled(false);
    for (int i = 0; i < recent.size(); ++i) {
        // "&1" ... "&9", "1&0": a digit takes the item from the keyboard.
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
        QAction *item = m->addAction(number + QStringLiteral("  ") + QDir::toNativeSeparators(recent[i]));
        item->setToolTip(recent[i]);
        const QString path = recent[i];
        connect(item, &QAction::triggered, this, [this, path] { ReportingErrors([&] { openConditionFrom(path); }); });
    }
    if (!recent.isEmpty()) {
        m->addSeparator();
        connect(m->addAction(QStringLiteral("Очистить список")), &QAction::triggered, this,
                [] { RememberValue(kRecentKey, QStringList()); });
    }
}

void FilterPage::rememberConditionFile(const QString &path)
{
    RememberValue(kFolderKey, QFileInfo(path).absolutePath());
    RememberValue(kRecentKey, WithRecentFile(recentConditions(), path));
}

void FilterPage::saveCondition()
{
    const QString path = askFile(this, true);
    if (!path.isEmpty())
        saveConditionTo(path);
}

bool FilterPage::saveConditionTo(const QString &path)
{
    const QString text = Memo_SQL->toPlainText();
    if (!Cp1251::canEncode(text)
        && !Confirm(QStringLiteral("В тексте условия есть символы, которых нет в кодировке Windows-1251:\n"
                                   "в файле они будут записаны как «?». Сохранить?"),
                    this))
        return false;
    WriteConditionFile(path, text.isEmpty() ? QStringList() : text.split(QChar('\n')));
    rememberConditionFile(path);
    return true;
}

void FilterPage::openCondition()
{
    const QString path = askFile(this, false);
    if (!path.isEmpty())
        openConditionFrom(path);
}

void FilterPage::openConditionFrom(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        // A file of the recent list that has gone leaves the list.
        QStringList recent = recentConditions();
        recent.removeAll(path);
        RememberValue(kRecentKey, recent);
        ShowInfo(QStringLiteral("Файл условия не найден:\n%1").arg(QDir::toNativeSeparators(path)), this);
        return;
    }
    const QStringList lines = ReadConditionFile(path);
    // Replaced as an edit, so that Ctrl+Z brings the text before it back.
    QTextCursor cursor(Memo_SQL->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(lines.join(QChar('\n')));
    rememberConditionFile(path);
}
