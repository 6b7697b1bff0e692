#pragma once
// The window every catalog picker is made of: the sections, macro-groups and
// groups side by side in an upper band, the entries (and, in the enumerated
// catalog, the values) below, OK and Cancel at the bottom. The levels form a
// cascade (CatalogCascade); OK takes ID_THIS of the current row of the
// lowest level.

#include "db/db_dataset.h"

#include <QDialog>
#include <QStringList>
#include <vector>

class CatalogCascade;
class DataSetModel;
class DbConnection;
class DbGrid;
class QGroupBox;
class QPushButton;
class QSplitter;

// What tells one catalog picker from another.
struct CatalogPickerSetup {
    const char *objectName;
    QString caption;
    QStringList tables;       // sections, macro-groups, groups, entries[, values]
    QString sectionSuffix;    // after the section table's name in its statement
    QString listTitle;        // the entries' group box
    QString valueTitle;       // the values' group box (five levels only)
    std::vector<FieldDef> listFields;
    // The entries' statement for a group; empty: the common one.
    std::function<QStringList(const QString &groupId)> listStatement;
};

// The fields of the sections, macro-groups and groups (and of the enumerated
// properties and their values).
std::vector<FieldDef> CatalogLevelFields(int nameWidth);

class CatalogPicker : public QDialog {
    Q_OBJECT
public:
    // The whole modal run: binds the levels, opens the sections and the
    // levels below (an error there ends it, no window), shows the window and,
    // after OK, takes SelectedId from the lowest level. True when SelectedId
    // is not empty.
    bool Execute(DbConnection *connection);
    void ReleaseDataSets();
    void RequeryMacro();
    void RequeryGrp();
    void RequeryList();
    // A double click or Enter on a row of the lowest grid: OK, when OK
    // would take the row.
    void chooseCurrentEntry();

    QString SelectedId;

    DbDataSet *pFIBDataSet_Top;
    DbDataSet *pFIBDataSet_Macro;
    DbDataSet *pFIBDataSet_Grp;
    DbDataSet *pFIBDataSet_List;
    DbDataSet *pFIBDataSet_Val = nullptr; // five levels only
    DataSetModel *DataSource_Top;
    DataSetModel *DataSource_Macro;
    DataSetModel *DataSource_Grp;
    DataSetModel *DataSource_List;
    DataSetModel *DataSource_Val = nullptr;
    DbGrid *DBGrid1;
    DbGrid *DBGrid2;
    DbGrid *DBGrid3;
    DbGrid *DBGrid4;
    DbGrid *DBGrid5 = nullptr;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

protected:
    explicit CatalogPicker(const CatalogPickerSetup &setup, QWidget *parent = nullptr);
    CatalogCascade *cascade() const { return cascade_; }

private:
    DbDataSet *makeLevel(const char *name, const std::vector<FieldDef> &fields);
    DbGrid *makeGrid(const char *name, DbDataSet *level, const QColor &background);
    QGroupBox *box(const QString &title, QWidget *content);
    // ID_THIS of the lowest level's current row, trimmed; empty without one.
    QString currentEntryId() const;

    CatalogCascade *cascade_;
};

// Shows a catalog picker of the given kind: id is cleared first and receives
// the chosen entry's ID_THIS, trimmed, or stays empty. Nothing is shown
// without a connection; errors of the store leave here.
template <class Picker>
void RunCatalogPicker(DbConnection *connection, QString &id)
{
    id.clear();
    if (!connection)
        return;
    Picker window;
    if (window.Execute(connection))
        id = window.SelectedId;
}
