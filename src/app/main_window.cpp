#include "app/main_window.h"

#include "app/form_logo.h"
#include "app/settings.h"
#include "app/welcome_dialog.h"
#include "app/database_list_dialog.h"
#include "app/command_line.h"
#include "app/demo_store_maker.h"
#include "app/store_choice.h"
#include "app/store_entry.h"
#include "app/store_file_dialog.h"
#include "db/database_list.h"
#include "db/db_connection.h"
#include "query/filter_page.h"
#include "results/result_window.h"
#include "results/save_dialog.h"
#include "support/grid_layout_file.h"
#include "support/date_utils.h"
#include "support/files.h"
#include "support/startup_dir.h"
#include "widgets/menu_keys.h"
#include "widgets/messages.h"
#include "support/str_utils.h"
#include "widgets/widget_utils.h"
#include "widgets/window_memory.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kUnknown = QStringLiteral("???");

} // namespace

QString DefaultDbWarning(const QString &startupDir, const QString &programDir)
{
    const QString folder = QDir(startupDir) == QDir(programDir)
                               ? QStringLiteral("запуска программы")
                               : QDir::toNativeSeparators(startupDir);
    return QStringLiteral("Внимание !\nВ каталоге %1 найден файл VRKX_DB_01.GDB.\n"
                          "Программа будет в дальнейшем работать с этим файлом !")
        .arg(folder);
}

QString UnrememberableStoreMessage(const QString &path)
{
    return QStringLiteral("База данных %1 открыта, но запомнить её программа не может: в её пути есть знаки, "
                          "которых нет в кодировке Windows-1251, а в ней хранятся файл настроек и список баз "
                          "данных. При следующем запуске откроется прежняя база данных. Чтобы эта открывалась "
                          "всегда, дайте файлу и папкам имена из русских или латинских букв.")
        .arg(QDir::toNativeSeparators(path));
}

TForm1::TForm1(const QString &startupDir, TForm_Logo *logo, QWidget *parent)
    : QMainWindow(parent), startupDir_(startupDir), logo_(logo)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kMainCaption);
    resize(622, 676);
    RememberWindow(this); // its normal geometry: the first tick maximises it

    pFIBDatabase1 = new DbConnection(this);
    pFIBDatabase1->setObjectName(QStringLiteral("pFIBDatabase1"));

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *panel2 = new QFrame(central);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFixedHeight(17);
    Label_About_DB = MakeLabel(panel2, "Label_About_DB", kUnknown, QColor(128, 0, 0), 10, true);
    Label_About_DB->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto *p2 = new QHBoxLayout(panel2);
    p2->setContentsMargins(4, 0, 4, 0);
    p2->addWidget(Label_About_DB);

    TN1 = new QTabWidget(central);
    TN1->setObjectName(QStringLiteral("TN1"));
    filterPageHost = new QWidget(TN1);
    filterPageHost->setObjectName(QStringLiteral("TabPage_Filter"));
    auto *hostLayout = new QVBoxLayout(filterPageHost);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    filterPage = new FilterPage(filterPageHost);
    hostLayout->addWidget(filterPage);
    filterPage->setConnection(pFIBDatabase1);
    filterPage->setRunHandler([this](const QString &condition) {
        QString ignored;
        ShowQueryResult(QStringLiteral("Результат фильтрации"), pFIBDatabase1, condition, QStringLiteral("t_o.ID_THIS"),
                        QString(), ignored);
    });
    TN1->addTab(filterPageHost, QStringLiteral("Фильтрация"));
    auto *settingsPage = new QWidget(TN1);
    settingsPage->setObjectName(QStringLiteral("TabPage_Settings"));
    TN1->addTab(settingsPage, QStringLiteral("Настройка"));

    auto *panel1 = new QFrame(central);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFixedHeight(19);
    panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label_DT = MakeLabel(panel1, "Label_DT", QStringLiteral("..."), QColor(0, 0, 128), 0, true);
    Label_GDB = MakeLabel(panel1, "Label_GDB", QStringLiteral("..."), QColor(128, 128, 128), 0, false);
    auto *p1 = new QHBoxLayout(panel1);
    p1->setContentsMargins(4, 0, 4, 0);
    p1->addWidget(Label_DT);
    p1->addStretch(1);
    p1->addWidget(Label_GDB);

    layout->addWidget(panel2);
    layout->addWidget(TN1, 1);
    layout->addWidget(panel1);
    setCentralWidget(central);

    // "&" marks the letter that Alt opens the menu by (Alt+Б).
    QMenu *dbMenu = menuBar()->addMenu(QStringLiteral("&База данных"));
    N1 = dbMenu->menuAction();
    N1->setObjectName(QStringLiteral("N1"));
    N3 = dbMenu->addAction(QStringLiteral("Выбрать"), this, [this] { ReportingErrors([this] { N3Click(); }); });
    N3->setObjectName(QStringLiteral("N3"));
    openDatabaseFile = dbMenu->addAction(QStringLiteral("Открыть файл базы данных ..."), this,
                                         [this] { ReportingErrors([this] { openDatabaseFileClick(); }); });
    openDatabaseFile->setObjectName(QStringLiteral("openDatabaseFile"));
    N2 = dbMenu->addAction(QStringLiteral("Список создать (редактировать)"), this,
                           [this] { ReportingErrors([this] { N2Click(); }); });
    N2->setObjectName(QStringLiteral("N2"));
    Version1 = menuBar()->addAction(QStringLiteral("Version"));
    Version1->setObjectName(QStringLiteral("Version1"));
    Version1->setEnabled(false);
    ReachMenuBarByKeyboard(menuBar()); // F10, Alt

    // A connection dropped after an unanswered cancel: as after a failed
    // switch.
    connect(pFIBDatabase1, &DbConnection::lost, this, [this] {
        Label_GDB->setText(kUnknown);
        Label_About_DB->setText(kUnknown);
    });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { ReportingErrors([this] { Timer1Timer(); }); });

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    MakeStartupDir(startupDir_);
    for (const char *folder : {"Export/", "Import/", "Tree_Images/"})
        MakeDir(startupDir_ + QString::fromLatin1(folder));
    firstTick_ = true;
    if (logo_)
        logo_->setState(QStringLiteral("Запуск ..."));
    TN1->setCurrentIndex(0);
    filterPage->TN2->setCurrentIndex(0);
    Version1->setText(kVersionCaption);
    Timer1->start(100);
}

void TForm1::Timer1Timer()
{
    Timer1->stop();
    // The clock goes on whatever happens in this tick.
    struct Restart {
        QTimer *timer;
        ~Restart() { timer->start(); }
    } restart{Timer1};
    Label_DT->setText(LocalDateTimeText(QDateTime::currentDateTime()));
    if (firstTick_)
        deferredStartup();
}

void TForm1::deferredStartup()
{
    firstTick_ = false;
    Timer1->setInterval(1000);
    setWindowState(windowState() | Qt::WindowMaximized);
    Label_GDB->setText(kUnknown);
    Label_About_DB->setText(kUnknown);

    currentDb_ = DefaultDatabaseEntry(startupDir_);
    if (!FileExists(startupDir_ + AppFiles::DefaultDb))
        currentDb_ = ReadCurrentDb(startupDir_);
    else if (storeArgument_.isEmpty()) {
        // The splash stays on top of everything: out of the way of the message.
        if (logo_)
            logo_->hide();
        ShowInfo(DefaultDbWarning(startupDir_, ProgramDir()), this);
        if (logo_)
            logo_->show();
    }

    filterPage->ResetPropNumberGrid();

    if (logo_)
        logo_->setState(QStringLiteral("Подключение к Б.Д. ..."));
    try {
        if (storeArgument_.isEmpty())
            ConnectCurrentDb();
        else if (switchDatabase(EntryForStore(storeArgument_, startupDir_, QDir::currentPath())) && logo_)
            logo_->setState(QStringLiteral("Готово !"));
    } catch (const std::exception &e) {
        // A failed connection ends the startup's connection step only: the
        // user is told, the labels keep "???", and the program goes on.
        closeSplash();
        ReportError(e);
    }
    closeSplash();
    // Without a store the program shows nothing: the user is offered a way
    // to one.
    if (!pFIBDatabase1->isOpen())
        offerStoreChoice();
    if (welcome_)
        welcome_->exec();
}

void TForm1::closeSplash()
{
    if (!logo_)
        return;
    logo_->setWindowFlag(Qt::WindowStaysOnTopHint, false);
    logo_->hide();
    logo_->close();
    delete logo_.data();
    logo_ = nullptr;
}

void TForm1::ConnectCurrentDb()
{
    pFIBDatabase1->close();
    if (currentDb_.FullFileNameGDB.isEmpty())
        return;
    if (openDatabase(currentDb_.FullFileNameGDB, currentDb_.USER_NAME, currentDb_.PASSWORD, currentDb_.About_DB)
        && logo_)
        logo_->setState(QStringLiteral("Готово !"));
}

bool TForm1::openDatabase(const QString &fullFileName, const QString &user, const QString &password,
                          const QString &about)
{
    const QString path = ConnectionPath(fullFileName);
    pFIBDatabase1->setDatabaseName(path);
    pFIBDatabase1->setUserName(user);
    pFIBDatabase1->setPassword(password);
    pFIBDatabase1->setRoleName(QString());
    pFIBDatabase1->open();
    if (!pFIBDatabase1->isOpen())
        return false;
    Label_GDB->setText(path);
    Label_About_DB->setText(about);
    if (const QString notice = pFIBDatabase1->takeDatabaseTriggerNotice(); !notice.isEmpty()) {
        // The splash stays on top of everything: out of the way of the message.
        if (logo_)
            logo_->hide();
        ShowInfo(notice, this);
        if (logo_)
            logo_->show();
    }
    return true;
}

void TForm1::N3Click()
{
    DatabaseEntry chosen;
    if (ChooseDatabaseEntry(startupDir_ + AppFiles::DatabaseList, chosen))
        switchDatabase(chosen);
}

bool TForm1::switchDatabase(const DatabaseEntry &chosen)
{
    pFIBDatabase1->close();
    Label_GDB->setText(kUnknown);
    Label_About_DB->setText(kUnknown);
    const QString alias = Trim(chosen.AliasBDE5);
    const QString about = Trim(chosen.About_DB);
    QString full = Trim(chosen.FullFileNameGDB);
    if (full.isEmpty())
        full = AppFiles::DefaultDb;
    if (!openDatabase(full, Trim(chosen.USER_NAME), Trim(chosen.PASSWORD), about))
        return false;
    currentDb_ = {about, alias, full, pFIBDatabase1->userName(), pFIBDatabase1->password()};
    rememberCurrentDb(true);
    return true;
}

void TForm1::rememberCurrentDb(bool tell)
{
    if (CanRememberEntry(currentDb_)) {
        SaveCurrentDb(startupDir_, currentDb_);
        return;
    }
    const QString path = currentDb_.FullFileNameGDB;
    if (tell && !toldUnrememberable_.contains(path)) {
        toldUnrememberable_.insert(path);
        ShowInfo(UnrememberableStoreMessage(path), this);
    }
}

void TForm1::openDatabaseFileClick()
{
    openChosenFile();
}

bool TForm1::openChosenFile()
{
    const QString start = DialogStartFolder(startupDir_, ProgramDir(),
                                            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                            QDir::homePath());
    const QString file = AskStoreFile(this, StoreFileStartFolder(ConnectionPath(currentDb_.FullFileNameGDB), start));
    if (file.isEmpty())
        return false;
    const QString store = StoreArgument(file, QDir::currentPath());
    return switchDatabase(EntryForStore(store, startupDir_, QDir::currentPath()));
}

void TForm1::offerStoreChoice()
{
    for (;;) {
        const StoreChoice choice = AskStoreChoice(startupDir_, this);
        if (choice == StoreChoice::GoOn)
            return;
        ReportingErrors([&] {
            switch (choice) {
            case StoreChoice::CreateDemo:
                createDemoStore();
                break;
            case StoreChoice::OpenFile:
                openChosenFile();
                break;
            case StoreChoice::ChooseFromList:
                chooseFromList();
                break;
            case StoreChoice::GoOn:
                break;
            }
        });
        if (pFIBDatabase1->isOpen())
            return;
    }
}

bool TForm1::createDemoStore()
{
    const QString path = DemoStoreFileName(startupDir_);
    if (!MakeDemoStore(path))
        return false;
    return switchDatabase({kDemoStoreAbout, DefaultDatabaseEntry(startupDir_).AliasBDE5, path, kDefaultUserName,
                           kDefaultPassword});
}

bool TForm1::chooseFromList()
{
    const QString list = startupDir_ + AppFiles::DatabaseList;
    const auto namesAStore = [&] {
        const auto layout = FileExists(list) ? ReadGridLayoutFile(list) : std::nullopt;
        if (!layout)
            return false;
        for (const DatabaseEntry &e : DatabaseListEntries(*layout))
            if (!e.AliasBDE5.isEmpty() || !e.FullFileNameGDB.isEmpty())
                return true;
        return false;
    };
    // An empty list offers nothing to choose: it is made first.
    if (!namesAStore() && (!EditDatabaseList(list) || !namesAStore()))
        return false;
    DatabaseEntry chosen;
    return ChooseDatabaseEntry(list, chosen) && switchDatabase(chosen);
}

void TForm1::N2Click()
{
    EditDatabaseList(startupDir_ + AppFiles::DatabaseList);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    event->accept();
    // Before the first tick no database has been decided: nothing to keep.
    if (firstTick_ || IsDefaultDatabase(startupDir_, currentDb_))
        return;
    try {
        rememberCurrentDb(false);
    } catch (const std::exception &e) {
        ReportError(e);
    }
}
