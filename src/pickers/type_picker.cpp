#include "pickers/type_picker.h"

#include "db/schema.h"
#include "pickers/catalog_cascade.h"
#include "support/str_utils.h"
#include "widgets/db_grid.h"

namespace {

std::vector<FieldDef> typeListFields()
{
    std::vector<FieldDef> f = CatalogLevelFields(32);
    f.insert(f.begin() + 1, {QStringLiteral("ItsAbstr"), FieldKind::Calculated, QStringLiteral("Абстр"), 3, true, 3});
    f.insert(f.begin() + 2, {QStringLiteral("Kind_Name"), FieldKind::Calculated, QStringLiteral("Вид"), 7, true, 20});
    f.push_back({QStringLiteral("ID_KIND"), FieldKind::Integer, QString(), 0, false});
    f.push_back({QStringLiteral("ITS_ABSTRACT"), FieldKind::Integer, QString(), 0, false});
    return f;
}

CatalogPickerSetup typeSetup()
{
    using namespace Schema;
    CatalogPickerSetup setup;
    setup.objectName = "Dlg_TypeObj_Select";
    setup.caption = QStringLiteral("Выбор типа объекта");
    setup.tables = {L_TYPEOBJ_TOP, L_TYPEOBJ_MACRO, L_TYPEOBJ_GRP, L_TYPEOBJ_LIST};
    setup.sectionSuffix = QStringLiteral(" ");
    setup.listTitle = QStringLiteral("Типы объектов : ");
    setup.listFields = typeListFields();
    setup.listStatement = [](const QString &groupId) {
        return ChildStatement(L_TYPEOBJ_LIST,
                              {QStringLiteral("    ID_GRP, "), QStringLiteral("    ITS_ABSTRACT, "),
                               QStringLiteral("    ID_KIND ")},
                              groupId);
    };
    return setup;
}

} // namespace

TDlg_TypeObj_Select::TDlg_TypeObj_Select(QWidget *parent) : CatalogPicker(typeSetup(), parent)
{
    kindField_ = pFIBDataSet_List->fieldByName(Schema::FLD_ID_KIND)->index();
    abstractField_ = pFIBDataSet_List->fieldByName(Schema::FLD_ITS_ABSTRACT)->index();
    connect(pFIBDataSet_List, &DbDataSet::calcFields, this, &TDlg_TypeObj_Select::pFIBDataSet_ListCalcFields);
    DBGrid4->setDrawDataCell([this](DbGridCell &cell) { DBGrid4DrawDataCell(cell); });
}

void TDlg_TypeObj_Select::pFIBDataSet_ListCalcFields()
{
    const int kind = pFIBDataSet_List->field(kindField_)->asInteger();
    const bool abstract = pFIBDataSet_List->field(abstractField_)->asInteger() > 0;
    pFIBDataSet_List->fieldByName(QStringLiteral("ItsAbstr"))->setAsString(abstract ? QStringLiteral("+") : QString());
    QString name;
    if (kind == Schema::KIND_OBJECT)
        name = QStringLiteral("Объект");
    else if (kind == Schema::KIND_PROCESS)
        name = QStringLiteral("Процесс");
    pFIBDataSet_List->fieldByName(QStringLiteral("Kind_Name"))->setAsString(name);
}

void TDlg_TypeObj_Select::DBGrid4DrawDataCell(DbGridCell &cell)
{
    if (cell.selected && cell.focused)
        return;
    const int kind = pFIBDataSet_List->integerAt(kindField_, cell.row);
    const int abstract = pFIBDataSet_List->integerAt(abstractField_, cell.row);
    if (abstract > 0) {
        cell.textColor = QColor(128, 128, 128);
        if (kind == Schema::KIND_PROCESS)
            cell.font.setItalic(true);
    } else if (kind == Schema::KIND_OBJECT) {
        cell.textColor = QColor(0, 0, 0);
    } else if (kind == Schema::KIND_PROCESS) {
        cell.textColor = QColor(128, 0, 0);
    } else {
        return; // not drawn again
    }
    cell.drawDefault();
}

void SelectObjectType(DbConnection *connection, const QString &currentId, QString &typeId)
{
    Q_UNUSED(currentId); // the picker always opens on the first section
    RunCatalogPicker<TDlg_TypeObj_Select>(connection, typeId);
}
