#include "pickers/enum_value_picker.h"

#include "db/schema.h"
#include "pickers/catalog_cascade.h"
#include "support/str_utils.h"

namespace {

CatalogPickerSetup enumSetup()
{
    using namespace Schema;
    CatalogPickerSetup setup;
    setup.objectName = "Dlg_LibProp_Enum_Select";
    setup.caption = QStringLiteral("Выбор значения перечислимого свойства из справочника свойств");
    setup.tables = {L_PROPENUM_TOP, L_PROPENUM_MACRO, L_PROPENUM_GRP, L_PROPENUM_LIST, L_PROPENUM_VAL};
    setup.listTitle = QStringLiteral("Список свойств : ");
    setup.valueTitle = QStringLiteral("Значения свойства : ");
    setup.listFields = CatalogLevelFields(32);
    return setup;
}

} // namespace

TDlg_LibProp_Enum_Select::TDlg_LibProp_Enum_Select(QWidget *parent) : CatalogPicker(enumSetup(), parent) {}

void TDlg_LibProp_Enum_Select::RequeryVal()
{
    cascade()->requery(4);
}

void SelectEnumValue(DbConnection *connection, const QString &currentId, QString &valueId)
{
    Q_UNUSED(currentId); // the picker always opens on the first section
    RunCatalogPicker<TDlg_LibProp_Enum_Select>(connection, valueId);
}
