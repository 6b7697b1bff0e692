#pragma once
// The filter page of the main window: the criteria of a query, the numeric
// property grid, and the SQL condition with its tools (generate, run, copy,
// paste, clear).

#include "query/condition.h"

#include <QWidget>
#include <functional>

class CaptionFollower;
class DbConnection;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QTabWidget;
class QToolButton;
class StringGrid;

// A radio group: a titled box of exclusive buttons with an item index.
class RadioGroup : public QWidget {
    Q_OBJECT
public:
    RadioGroup(const QString &title, const QStringList &items, QWidget *parent);
    int itemIndex() const;
    void setItemIndex(int index);
    QGroupBox *box() const { return box_; }
    QButtonGroup *buttons() const { return buttons_; }

private:
    QGroupBox *box_;
    QButtonGroup *buttons_;
};

class FilterPage : public QWidget {
    Q_OBJECT
public:
    explicit FilterPage(QWidget *parent = nullptr);

    // The store the pickers and lookups of the page read.
    void setConnection(DbConnection *connection) { connection_ = connection; }
    DbConnection *connection() const { return connection_; }

    // The run command hands the condition over here (the result window).
    void setRunHandler(std::function<void(const QString &condition)> handler) { runHandler_ = std::move(handler); }

    // The criteria as the controls hold them.
    FilterCriteria criteria() const;

    void ResetPropNumberGrid();
    void SpeedButton2Click(); // generate
    void SpeedButton3Click(); // run
    void SpeedButton4Click(); // copy
    void SpeedButton5Click(); // paste
    void SpeedButton6Click(); // clear

    // Beside the described tools: the condition kept in a file and taken
    // back from one ("Сохранить условие в файл ...", "Открыть условие из
    // файла ..."), in a folder the program remembers, and the files used
    // last under "Недавние условия". The ...To/From forms skip the file
    // dialog; they throw AppError when the file cannot be written or read.
    void saveCondition();
    void openCondition();
    bool saveConditionTo(const QString &path);
    void openConditionFrom(const QString &path);
    QStringList recentConditions() const;

    // The type list's menu: add through the type picker, delete, delete all,
    // tick all, untick all, invert the ticks.
    void MenuItem2Click();
    void MenuItem3Click();
    void N6Click();
    void N9Click();
    void N10Click();
    void N11Click();
    // The numeric grid's editor of the current cell: the property picker for
    // the property column, an input box for a bound.
    void SG_PropNumberDblClick();
    // The parent strip: "..." picks the parent object; every change of the
    // identifier shows the object's caption.
    void SpeedButton1Click();
    void Edit_ID_ParentChange();

    static QColor date1Colour() { return QColor(0xEB, 0xC7, 0x9E); }
    static QColor date2Colour() { return QColor(0xFF, 0xCC, 0xCC); }
    static QColor invalidDateColour() { return QColor(0xFF, 0x00, 0x00); }

    QTabWidget *TN2;
    QTabWidget *TN3;
    QTabWidget *TN4;
    QCheckBox *CB_YesParent;
    QCheckBox *CB_YesAncestor;
    QToolButton *SpeedButton1;
    QLineEdit *Edit_ID_Parent;
    QLabel *Label_Parent_Name;
    QListWidget *List_ObjTypes_Name;
    QListWidget *List_ObjTypes_ID;
    QMenu *PopupMenu_ObjTypes;
    RadioGroup *RG_Ref;
    QCheckBox *CB_Date1;
    QLineEdit *Edit_Date1;
    QCheckBox *CB_Date2;
    QLineEdit *Edit_Date2;
    RadioGroup *RG_Dates;
    QCheckBox *CB_YesFind_Name;
    QLineEdit *Edit_Name_Str;
    QCheckBox *CB_YesFind_Note;
    QLineEdit *Edit_Note_Str;
    RadioGroup *RG_Abstr;
    QCheckBox *CB_YesFind_Info;
    QPlainTextEdit *Memo_Find_Info;
    QCheckBox *CB_YesPropNumber;
    StringGrid *SG_PropNumber;
    QListWidget *ListBox_PropNumber;
    QMenu *PopupMenu_PropNumber;
    QToolButton *SpeedButton2;
    QToolButton *SpeedButton3;
    QToolButton *SpeedButton4;
    QToolButton *SpeedButton5;
    QToolButton *SpeedButton6;
    QCheckBox *CB_YesClearAfter;
    QPlainTextEdit *Memo_SQL;
    QToolButton *saveConditionButton;
    QToolButton *openConditionButton;
    QMenu *recentConditionsMenu;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Ticks every listed type as the rule says, given whether it is ticked.
    void tickEveryType(const std::function<bool(bool ticked)> &tick);
    QWidget *buildParentStrip();
    QWidget *buildObjectsPage();
    QWidget *buildRequiredPage();
    QWidget *buildDetailPage();
    QWidget *buildNumericPage();
    QWidget *buildSqlGroup();
    void buildPropNumberMenu();
    void buildConditionTools(QWidget *group);
    void fillRecentConditions();
    void rememberConditionFile(const QString &path);
    // Tab goes through the page as it reads: the parent strip, the shown
    // pages of the notebooks, the SQL tools and the memo.
    void setTabOrder();

    void CB_YesParentClick(bool checked);
    void CB_YesAncestorClick(bool checked);
    void buildObjTypesMenu();
    void colourDate(QLineEdit *edit, const QColor &validColour);
    void N21Click();

    DbConnection *connection_ = nullptr;
    CaptionFollower *parentCaption_ = nullptr;
    std::function<void(const QString &)> runHandler_;
};
