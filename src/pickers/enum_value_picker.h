#pragma once
// The enumerated property value picker: the catalog of enumerated properties
// and, below the current property, its values.

#include "pickers/catalog_picker.h"

class TDlg_LibProp_Enum_Select : public CatalogPicker {
    Q_OBJECT
public:
    explicit TDlg_LibProp_Enum_Select(QWidget *parent = nullptr);
    void RequeryVal();
};

// valueId is cleared first and receives ID_THIS of the value current in the
// value grid, trimmed, or stays empty; currentId is not used. Nothing is
// shown without a connection; errors of the store leave here.
void SelectEnumValue(DbConnection *connection, const QString &currentId, QString &valueId);
