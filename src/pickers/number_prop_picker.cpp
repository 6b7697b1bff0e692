#include "pickers/number_prop_picker.h"

#include "db/schema.h"
#include "support/str_utils.h"

#include <memory>

namespace {

CatalogPickerSetup numberSetup()
{
    using namespace Schema;
    CatalogPickerSetup setup;
    setup.objectName = "Dlg_LibProp_Number_Select";
    setup.caption = QStringLiteral("Выбор численного свойства из справочника свойств");
    setup.tables = {L_PROPNUMBER_TOP, L_PROPNUMBER_MACRO, L_PROPNUMBER_GRP, L_PROPNUMBER_LIST};
    setup.listTitle = QStringLiteral("Свойства : ");
    setup.listFields = {
        {QStringLiteral("NUMPP"), FieldKind::Integer, QStringLiteral("Nп/п"), 3},
        {QStringLiteral("NAME_MAX"), FieldKind::Text, QStringLiteral("Наименование"), 32, true, 200},
        {QStringLiteral("NAME_MIN"), FieldKind::Text, QStringLiteral("сокращенно"), 20, true, 84},
        {QStringLiteral("UM_NAME"), FieldKind::Text, QStringLiteral("Ед.Изм"), 12, true, 84},
        {QStringLiteral("PRECIS"), FieldKind::Integer, QStringLiteral("Точн."), 2},
        {QStringLiteral("NOTE"), FieldKind::Text, QStringLiteral("Примечание"), 20, true, 200},
        {QStringLiteral("ID_THIS"), FieldKind::Text, QStringLiteral("ID"), 10, true, 40},
        {QStringLiteral("MNEMO_CODE"), FieldKind::Text, QStringLiteral("Мнемо-имя"), 10, true, 32},
        {QStringLiteral("ID_GRP"), FieldKind::Text, QStringLiteral("ID-группы"), 10, true, 40},
    };
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
            QStringLiteral("    ID_GRP='") + EscapeSqlQuotes(groupId) + QChar('\''),
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
    Q_UNUSED(currentId);
    propId.clear();
    if (!connection)
        return;
    auto window = std::make_unique<TDlg_LibProp_Number_Select>();
    if (window->Execute(connection))
        propId = Trim(window->SelectedId);
}
