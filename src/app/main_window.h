#pragma once
// The main window: the database description on top, the notebook with the
// filter page, the status line with the clock and the database path, the
// menu, and the deferred startup on the first tick of its timer.

#include "app/version.h"
#include "db/database_entry.h"

#include <QMainWindow>
#include <QPointer>

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

    QString startupDir_;
    QString storeArgument_;
    QPointer<TForm_Logo> logo_;
    QPointer<TDlg_Enter_In_Application> welcome_;
    DatabaseEntry currentDb_;
    bool firstTick_ = false;
};

inline const QString kMainCaption = QStringLiteral("VeldaRunKX. Генератор запросов. Иллюстрирующий пример.");
inline const QString kVersionCaption = QStringLiteral("Версия: ") + kVersion;
// The warning when the default store lies in startupDir: the program's own
// folder is the start folder, any other folder is named.
QString DefaultDbWarning(const QString &startupDir, const QString &programDir);
