#pragma once
// The main window: the database description on top, the notebook with the
// filter page, the status line with the clock and the database path, the
// menu, and the deferred startup on the first tick of its timer.

#include "app/version.h"
#include "db/database_entry.h"

#include <QMainWindow>
#include <QPointer>
#include <QSet>

class DbConnection;
class QAction;
class QLabel;
class QTabWidget;
class QTimer;
class TForm_Logo;
class TDlg_Enter_In_Application;
class FilterPage;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // startupDir is the program's folder with a trailing "/"; the splash
    // window and the welcome dialog may be null.
    TForm1(const QString &startupDir, TForm_Logo *logo, QWidget *parent = nullptr);
    ~TForm1() override;

    void setWelcomeDialog(TDlg_Enter_In_Application *dialog) { welcome_ = dialog; }
    // A store named on the command line (StoreArgument's form): the first
    // tick opens it instead of the remembered one, as choosing it from the
    // list would, also when the default store lies in the folder.
    void setStoreArgument(const QString &store) { storeArgument_ = store; }

    const QString &StartupDir() const { return startupDir_; }
    const DatabaseEntry &CurrentDb() const { return currentDb_; }
    DbConnection *Database() const { return pFIBDatabase1; }
    bool FirstTick() const { return firstTick_; }

    void Timer1Timer();
    void ConnectCurrentDb();
    void N3Click();
    void N2Click();
    // "Открыть файл базы данных ...": a file dialog; the chosen store is
    // opened as "Выбрать" opens one.
    void openDatabaseFileClick();

    QLabel *Label_About_DB;
    QLabel *Label_DT;
    QLabel *Label_GDB;
    QTabWidget *TN1;
    QWidget *filterPageHost;
    FilterPage *filterPage;
    QTimer *Timer1;
    QAction *N1;
    QAction *N3;
    QAction *N2;
    QAction *openDatabaseFile;
    QAction *Version1;
    DbConnection *pFIBDatabase1;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void deferredStartup();
    void closeSplash();
    // Connects to the chosen store; on success it becomes the current one and
    // is saved at once. A failure leaves the program without a connection
    // and the current store as it was. Throws DbError.
    bool switchDatabase(const DatabaseEntry &chosen);
    // Connects to the store with these settings; on success the status line
    // and the top line show it. Throws DbError.
    bool openDatabase(const QString &fullFileName, const QString &user, const QString &password,
                      const QString &about);
    // Opens a store file chosen in a file dialog; false on Cancel. Throws.
    bool openChosenFile();
    // No store opened at start: what the user wants instead, until a store
    // opens or the user goes on without one.
    void offerStoreChoice();
    // Makes the demonstration store in the user's folder and opens it.
    bool createDemoStore();
    // Chooses from the database list, made first when it holds no store.
    bool chooseFromList();
    // Writes the settings file, unless the entry holds letters the file
    // cannot carry: the user is told that once, and nothing is written.
    void rememberCurrentDb(bool tell);

    QString startupDir_;
    QString storeArgument_;
    QPointer<TForm_Logo> logo_;
    QPointer<TDlg_Enter_In_Application> welcome_;
    DatabaseEntry currentDb_;
    bool firstTick_ = false;
    QSet<QString> toldUnrememberable_;
};

inline const QString kMainCaption = QStringLiteral("VeldaRunKX. Генератор запросов. Иллюстрирующий пример.");
inline const QString kVersionCaption = QStringLiteral("Версия: ") + kVersion;
// The warning when the default store lies in startupDir: the program's own
// folder is the start folder, any other folder is named.
QString DefaultDbWarning(const QString &startupDir, const QString &programDir);
// Said once when an open store cannot be remembered in the settings file.
QString UnrememberableStoreMessage(const QString &path);
