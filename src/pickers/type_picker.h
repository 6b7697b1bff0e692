#pragma once
// The object type picker: the catalog of object types, level by level.

#include "pickers/catalog_picker.h"

struct DbGridCell;

class TDlg_TypeObj_Select : public CatalogPicker {
    Q_OBJECT
public:
    explicit TDlg_TypeObj_Select(QWidget *parent = nullptr);

    // "+" under "Абстр" for an abstract type; "Объект" or "Процесс" under "Вид".
    void pFIBDataSet_ListCalcFields();
    // Entries in grey for abstract types (italic for processes), black for
    // types of objects and maroon for types of processes.
    void DBGrid4DrawDataCell(DbGridCell &cell);

private:
    int kindField_ = -1;     // ID_KIND
    int abstractField_ = -1; // ITS_ABSTRACT
};

// typeId is cleared first and receives the chosen type's ID_THIS, trimmed,
// or stays empty. currentId is not used: the picker always opens on the first
// section. Nothing is shown without a connection. Errors of the store (the
// sections cannot be read) leave here.
void SelectObjectType(DbConnection *connection, const QString &currentId, QString &typeId);
