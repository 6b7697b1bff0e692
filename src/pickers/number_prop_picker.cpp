#include "pickers/number_prop_picker.h"

#include "db/schema.h"
#include "support/str_utils.h"

namespace {

CatalogPickerSetup numberSetup()
{
    using namespace Schema;
    CatalogPickerSetup setup;
    setup.objectName = "Dlg_LibProp_Number_Select";
    setup.caption = QStringLiteral("Выбор численного свойства из справочника свойств");
    setup.tables = {L_PROPNUMBER_TOP, L_PROPNUMBER_MACRO, L_PROPNUMBER_GRP, L_PROPNUMBER_LIST};
    setup.listTitle = QStringLiteral("Свойства : ");
    // The entries' columns, with the unit and the precision after the short
    // name.
    setup.listFields = CatalogLevelFields(32);
    setup.listFields.insert(setup.listFields.begin() + 3,
                            {{QStringLiteral("UM_NAME"), FieldKind::Text, QStringLiteral("Ед.Изм"), 12, true, 84},
                             {QStringLiteral("PRECIS"), FieldKind::Integer, QStringLiteral("Точн."), 2}});
    setup.listStatement = [](const QString &groupId) {
        return QStringList{
            QStringLiteral("SELECT "),
            QStringLiteral("    NUMPP, "),
            QStringLiteral("    NAME_MAX, "),
            QStringLiteral("    NAME_MIN, "),
            QStringLiteral("    (SELECT NAME_MIN FROM ") + L_PROPENUM_VAL
                + QStringLiteral(" WHERE ID_THIS=lpl.ID_UNITMEASURE) UM_NAME, "),
            QStringLiteral("    PRECIS, "),
            QStringLiteral("    NOTE, "),
            QStringLiteral("    ID_THIS, "),
            QStringLiteral("    MNEMO_CODE, "),
            QStringLiteral("    ID_GRP "),
            QStringLiteral("FROM "),
            QStringLiteral("    ") + L_PROPNUMBER_LIST + QStringLiteral(" lpl "),
            QStringLiteral("WHERE "),
            QStringLiteral("    ID_GRP=") + QuotedSql(groupId),
            QStringLiteral("ORDER BY "),
            QStringLiteral("    NUMPP "),
        };
    };
    return setup;
}

} // namespace

TDlg_LibProp_Number_Select::TDlg_LibProp_Number_Select(QWidget *parent) : CatalogPicker(numberSetup(), parent) {}

void SelectNumberProp(DbConnection *connection, const QString &currentId, QString &propId)
{
    Q_UNUSED(currentId); // the picker always opens on the first section
    RunCatalogPicker<TDlg_LibProp_Number_Select>(connection, propId);
}
