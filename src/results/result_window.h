#pragma once
// The result window: the objects the condition finds, coloured by kind and
// flags, with the statement, the column width limit, the navigator and the
// viewer of one field.

#include <QDialog>

class DataSetModel;
class DbConnection;
class DbDataSet;
class DbGrid;
class DbNavigator;
class FindBar;
struct DbGridCell;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QToolButton;

// The save dialog's settings the HTML export starts from.
struct SaveDialogSettings {
    QString initialDir;
    QString fileName;
};

class TDlg_ViewQuery_Objects : public QDialog {
    Q_OBJECT
public:
    explicit TDlg_ViewQuery_Objects(QWidget *parent = nullptr);
    ~TDlg_ViewQuery_Objects() override;

    // Runs the condition (when there is one) and shows the window. True when
    // it closed with OK and, for a result field, that field is not empty.
    bool Execute(const QString &title, DbConnection *database, const QString &conditionText,
                 const QString &orderByText, const QString &resultFieldName);
    QString ResultValue() const { return resultValue_; }
    // The part of Execute before the window is shown: binds the row set to
    // the connection, keeps the texts and runs a non-empty condition. False
    // without a connection.
    bool bind(const QString &title, DbConnection *database, const QString &conditionText,
              const QString &orderByText, const QString &resultFieldName);

    void SpeedButton1Click(); // build and run the result query
    void N2Click();           // the current field in the text viewer
    void DBGrid1DrawDataCell(DbGridCell &cell);
    void SpeedButton2Click(); // the found objects in a workbook
    void SpeedButton3Click(); // the found objects as an HTML page

    QLabel *Label_Head;
    QTabWidget *TN1;
    DbNavigator *DBNavigator1;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QToolButton *SpeedButton3;
    DbGrid *DBGrid1;
    QLabel *lbl_CountRec;
    QPlainTextEdit *RE_SQL;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    QCheckBox *CB_YesW;
    QSpinBox *SE_W;
    QMenu *PopupMenu1;
    DbDataSet *Query1;
    DataSetModel *DataSource1;
    SaveDialogSettings SD1;

    // Beside the described window: a click on a column's title orders the
    // result by that column (again: descending; a third time: as handed
    // in), and "Переоткрыть" keeps that order; Ctrl+F opens the find line
    // (Enter and F3 the next row, Shift+F3 the previous one); the grid's
    // menu copies and shows the legend of the row colours.
    void sortByColumn(int column);
    // The field the result is ordered by at the user's wish ("" for the
    // ordering handed in) and whether descending.
    QString sortField() const { return sortField_; }
    bool sortDescending() const { return sortDescending_; }
    // The ordering the next run uses.
    QString effectiveOrder() const;
    void findRow(bool forward);
    FindBar *findBar;
    QAction *rowColoursAction;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void applyWidthLimit();
    void updateCount();
    void buildExtras(QWidget *found);
    void showSortIndicator();

    int kindField_ = -1;
    int abstractField_ = -1;
    int baseField_ = -1;
    DbConnection *database_ = nullptr;
    QString conditionText_;
    QString orderByText_;
    QString resultFieldName_;
    QString resultValue_;
    QString bookFolder_; // where the last workbook was saved
    QString sortField_;
    bool sortDescending_ = false;
};

// Shows the result window for a condition; Result gets the value of the
// result field on OK. Nothing is shown without a connection.
void ShowQueryResult(const QString &title, DbConnection *database, const QString &conditionText,
                     const QString &orderByText, const QString &resultFieldName, QString &result);
