#pragma once
// The list of known databases: a grid of five columns kept in a grid layout
// file. In edit mode the user maintains it; in choose mode picks one row.

#include "db/database_list.h"

#include <QDialog>

class QLineEdit;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class StringGrid;

class TDlg_LocalList_DB : public QDialog {
    Q_OBJECT
public:
    explicit TDlg_LocalList_DB(QWidget *parent = nullptr);

    // The list file is the text of Edit_fnLocalList. True when edit mode
    // saved the list, or choose mode ended on a row naming an alias or a path.
    bool ShowDatabaseList(bool editMode);

    QLabel *Label1;
    QLineEdit *Edit_fnLocalList;
    StringGrid *SG_DB;
    QMenu *PopupMenu1;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    // In edit mode, at the right end of the current path cell: picks the
    // store file in a file dialog.
    QToolButton *browseButton;

protected:
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool saveList(const QString &fileName);
    void N7Click();
    void N1Click();
    void N5Click();
    void N3Click();
    void fitColumns();
    void placeBrowseButton();
    void browseForStore();
    bool editMode_ = false;
    bool unreadable_ = false; // the list file exists and could not be read
};

// What the user is told when a path holds letters the list file cannot carry.
QString UnstorablePathMessage(const QString &path);
// What the user is told when the list file exists and cannot be read.
QString UnreadableListMessage(const QString &fileName, bool editMode);

bool EditDatabaseList(const QString &fileName);
bool ChooseDatabaseEntry(const QString &fileName, DatabaseEntry &chosen);
