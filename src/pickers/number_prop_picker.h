#pragma once
// The numeric property picker: the catalog of numeric properties, with each
// property's unit of measure and precision.

#include "pickers/catalog_picker.h"

class TDlg_LibProp_Number_Select : public CatalogPicker {
    Q_OBJECT
public:
    explicit TDlg_LibProp_Number_Select(QWidget *parent = nullptr);
};

// propId is cleared first and receives the chosen property's ID_THIS,
// trimmed, or stays empty; currentId is not used. Nothing is shown without a
// connection; errors of the store leave here.
void SelectNumberProp(DbConnection *connection, const QString &currentId, QString &propId);
