#pragma once
// The object picker: an object chosen by its identifier, typed or taken from
// a search of the objects by kind, type, name and ancestor.

#include <QDialog>

class CaptionFollower;
class DataSetModel;
class DbConnection;
class DbDataSet;
class DbGrid;
class DbNavigator;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
struct DbGridCell;
struct ObjectSearchCriteria;

class TDlg_Tree_Obj_Select : public QDialog {
    Q_OBJECT
public:
    explicit TDlg_Tree_Obj_Select(QWidget *parent = nullptr);
    ~TDlg_Tree_Obj_Select() override;

    // The modal run: shows currentId, and after OK confirms the identifier in
    // Edit_ID_THIS with ObjectExists. True when SelectedId was set.
    bool Execute(DbConnection *connection, const QString &currentId);
    // The window's settings before the modal run (Execute without showing).
    bool bind(DbConnection *connection, const QString &currentId);

    // The filter controls as they stand (texts trimmed in their edit lines).
    ObjectSearchCriteria criteria();
    void RunSearch();
    void SpeedButton1Click();
    void DBGrid_ObjCellClick();
    void Edit_ID_THISChange();
    void SB_Sel_TypeClick();
    void Edit_ID_TYPEChange();
    void CB_YesBase_ObjClick();
    void CB_YesRef_ObjClick();
    void DBGrid_ObjDrawDataCell(DbGridCell &cell);
    // A double click or Enter on a found row: that row's object, as a click
    // on it and OK.
    void chooseFoundRow();
    // The found row the grid shows chosen is the one Edit_ID_THIS names (what
    // OK returns), or none: searching, clicking and typing keep it so.
    void showChosenRow();

    QString CurrentId;
    QString SelectedId;

    QLabel *Label1;
    QLineEdit *Edit_ID_THIS;
    QLabel *Label_ObjName;
    QCheckBox *CB_YesParent_From_Tree;
    QCheckBox *CB_Yes_TypeObj;
    QToolButton *SB_Sel_Type;
    QLineEdit *Edit_ID_TYPE;
    QLabel *Label_Type_Name;
    QCheckBox *CB_YesBase_Obj;
    QCheckBox *CB_YesRef_Obj;
    QCheckBox *CB_Yes_NameObj;
    QCheckBox *CB_YesContaining;
    QLineEdit *Edit_Substr;
    DbNavigator *DBNavigator1;
    QToolButton *SpeedButton1;
    DbGrid *DBGrid_Obj;
    DbDataSet *Query_Obj;
    DataSetModel *DataSource1;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void unbind();
    // Keeps one of the two kind boxes ticked when the user clears the other.
    void keepOneTicked(QCheckBox *clicked, QCheckBox *other);
    QWidget *buildFilter();
    // ID_THIS of the current found row, trimmed; empty without one.
    QString foundRowId() const;

    // There is an open store to look things up in.
    bool connected() const;
    DbConnection *connection_ = nullptr;
    CaptionFollower *objectCaption_;
    CaptionFollower *typeName_;
    int kindField_ = -1;
    int abstractField_ = -1;
    int baseField_ = -1;
};

// objectId is cleared first and receives the identifier of an existing
// object, trimmed, or stays empty. Nothing is shown without a connection.
void SelectObject(DbConnection *connection, const QString &currentId, QString &objectId);
