#include "pickers/catalog_picker.h"

#include "db/dataset_model.h"
#include "db/schema.h"
#include "pickers/catalog_cascade.h"
#include "support/str_utils.h"
#include "widgets/db_grid.h"
#include "widgets/widget_utils.h"
#include "widgets/window_memory.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr int kUpperBandHeight = 241;
constexpr int kBottomStripHeight = 27;

} // namespace

std::vector<FieldDef> CatalogLevelFields(int nameWidth)
{
    return {
        {QStringLiteral("NUMPP"), FieldKind::Integer, QStringLiteral("Nп/п"), 3},
        {QStringLiteral("NAME_MAX"), FieldKind::Text, QStringLiteral("Наименование"), nameWidth, true, 200},
        {QStringLiteral("NAME_MIN"), FieldKind::Text, QStringLiteral("сокращенно"), 20, true, 84},
        {QStringLiteral("NOTE"), FieldKind::Text, QStringLiteral("Примечание"), 20, true, 200},
        {QStringLiteral("ID_THIS"), FieldKind::Text, QStringLiteral("ID"), 10, true, 40},
        {QStringLiteral("MNEMO_CODE"), FieldKind::Text, QStringLiteral("Мнемо-имя"), 10, true, 32},
        {QStringLiteral("ID_GRP"), FieldKind::Text, QStringLiteral("ID-группы"), 10, true, 40},
    };
}

CatalogPicker::CatalogPicker(const CatalogPickerSetup &setup, QWidget *parent) : QDialog(parent)
{
    setObjectName(QString::fromLatin1(setup.objectName));
    setWindowTitle(setup.caption);
    resize(751, 541);
    RememberWindow(this);

    const std::vector<FieldDef> upper = CatalogLevelFields(20);
    pFIBDataSet_Top = makeLevel("pFIBDataSet_Top", upper);
    pFIBDataSet_Macro = makeLevel("pFIBDataSet_Macro", upper);
    pFIBDataSet_Grp = makeLevel("pFIBDataSet_Grp", upper);
    pFIBDataSet_List = makeLevel("pFIBDataSet_List", setup.listFields);
    const bool values = setup.tables.size() > 4;
    if (values)
        pFIBDataSet_Val = makeLevel("pFIBDataSet_Val", CatalogLevelFields(32));
    pFIBDataSet_Top->sql() = SectionStatement(setup.tables[0], setup.sectionSuffix);

    std::vector<DbDataSet *> levels{pFIBDataSet_Top, pFIBDataSet_Macro, pFIBDataSet_Grp, pFIBDataSet_List};
    if (values)
        levels.push_back(pFIBDataSet_Val);
    // Every level below the sections lists the children of the row current
    // in the level above; the entries may have a statement of their own.
    std::vector<CatalogCascade::StatementFor> statements{nullptr};
    for (std::size_t i = 1; i < levels.size(); ++i) {
        if (i == 3 && setup.listStatement)
            statements.push_back(setup.listStatement);
        else
            statements.push_back([t = setup.tables[qsizetype(i)]](const QString &id) {
                return ChildStatement(t, {QStringLiteral("    ID_GRP ")}, id);
            });
    }
    cascade_ = new CatalogCascade(levels, statements, this);

    DBGrid1 = makeGrid("DBGrid1", pFIBDataSet_Top, QColor(234, 234, 174));
    DBGrid2 = makeGrid("DBGrid2", pFIBDataSet_Macro, QColor(192, 220, 192));
    DBGrid3 = makeGrid("DBGrid3", pFIBDataSet_Grp, QColor(217, 217, 243));
    DBGrid4 = makeGrid("DBGrid4", pFIBDataSet_List, Qt::white);
    DataSource_Top = DBGrid1->dataModel();
    DataSource_Macro = DBGrid2->dataModel();
    DataSource_Grp = DBGrid3->dataModel();
    DataSource_List = DBGrid4->dataModel();
    if (values) {
        DBGrid5 = makeGrid("DBGrid5", pFIBDataSet_Val, Qt::white);
        DataSource_Val = DBGrid5->dataModel();
    }
    for (auto [model, name] : {std::pair{DataSource_Top, "DataSource_Top"}, {DataSource_Macro, "DataSource_Macro"},
                               {DataSource_Grp, "DataSource_Grp"}, {DataSource_List, "DataSource_List"},
                               {DataSource_Val, "DataSource_Val"}})
        if (model)
            model->setObjectName(QString::fromLatin1(name));

    auto *band = new QSplitter(Qt::Horizontal);
    band->setObjectName(QStringLiteral("Splitter_Band"));
    band->addWidget(box(QStringLiteral("Раздел : "), DBGrid1));
    band->addWidget(box(QStringLiteral("Макро-группа : "), DBGrid2));
    band->addWidget(box(QStringLiteral("Группа : "), DBGrid3));
    band->setStretchFactor(2, 1);

    QWidget *lower = nullptr;
    if (values) {
        auto *split = new QSplitter(Qt::Horizontal);
        split->setObjectName(QStringLiteral("Splitter_Lower"));
        split->addWidget(box(setup.listTitle, DBGrid4));
        split->addWidget(box(setup.valueTitle, DBGrid5));
        split->setStretchFactor(1, 1);
        split->setSizes({337, 751 - 337});
        lower = split;
    } else {
        lower = box(setup.listTitle, DBGrid4);
    }

    auto *main = new QSplitter(Qt::Vertical);
    main->setObjectName(QStringLiteral("Splitter_Main"));
    main->addWidget(band);
    main->addWidget(lower);
    main->setStretchFactor(1, 1);
    main->setSizes({kUpperBandHeight, 541 - kUpperBandHeight - kBottomStripHeight});
    band->setSizes({239, 221, 751 - 239 - 221});

    ChooseRowsOf(values ? DBGrid5 : DBGrid4, [this] { chooseCurrentEntry(); });

    auto *bottom = new QWidget(this);
    bottom->setFixedHeight(kBottomStripHeight);
    MakeOkCancelStrip(this, bottom, OKBtn, CancelBtn)->setContentsMargins(4, 1, 4, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(main, 1);
    layout->addWidget(bottom);
}

DbDataSet *CatalogPicker::makeLevel(const char *name, const std::vector<FieldDef> &fields)
{
    auto *level = new DbDataSet(this);
    level->setObjectName(QString::fromLatin1(name));
    for (const FieldDef &f : fields)
        level->addField(f);
    return level;
}

DbGrid *CatalogPicker::makeGrid(const char *name, DbDataSet *level, const QColor &background)
{
    auto *grid = new DbGrid(this);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setStyleSheet(QStringLiteral("QTableView { background: %1; }").arg(background.name()));
    grid->setDataSet(level);
    return grid;
}

QGroupBox *CatalogPicker::box(const QString &title, QWidget *content)
{
    // Widths come from the splitters' sizes.
    auto *group = new QGroupBox(title);
    auto *l = new QVBoxLayout(group);
    l->setContentsMargins(2, 2, 2, 2);
    l->addWidget(content);
    return group;
}

void CatalogPicker::ReleaseDataSets()
{
    cascade_->release();
}

void CatalogPicker::RequeryMacro()
{
    cascade_->requery(1);
}

void CatalogPicker::RequeryGrp()
{
    cascade_->requery(2);
}

void CatalogPicker::RequeryList()
{
    cascade_->requery(3);
}

bool CatalogPicker::Execute(DbConnection *connection)
{
    SelectedId.clear();
    ReleaseDataSets();
    if (!connection)
        return false;
    cascade_->bind(connection);
    struct Release {
        CatalogPicker *picker;
        ~Release() { picker->ReleaseDataSets(); }
    } release{this};
    cascade_->open(); // an error on any level ends here, before the window shows
    if (exec() != QDialog::Accepted)
        return false;
    SelectedId = currentEntryId();
    return !SelectedId.isEmpty();
}

QString CatalogPicker::currentEntryId() const
{
    const DbDataSet *lowest = cascade_->levels().back();
    const DbField *id = lowest->fieldByName(Schema::FLD_ID_THIS);
    return lowest->isOpen() && id ? Trim(id->asString()) : QString();
}

void CatalogPicker::chooseCurrentEntry()
{
    if (!currentEntryId().isEmpty())
        accept();
}
