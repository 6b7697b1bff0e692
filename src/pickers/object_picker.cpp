#include "pickers/object_picker.h"

#include "db/dataset_model.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/lookups.h"
#include "db/schema.h"
#include "pickers/caption_follower.h"
#include "pickers/object_search.h"
#include "pickers/type_picker.h"
#include "support/app_error.h"
#include "support/str_utils.h"
#include "widgets/db_grid.h"
#include "widgets/db_navigator.h"
#include "widgets/row_look.h"
#include "widgets/widget_utils.h"
#include "widgets/window_memory.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

namespace {

constexpr int kTopStripHeight = 49;
constexpr int kFilterHeight = 135;
constexpr int kBottomStripHeight = 27;
// How many found rows are looked through for the one Edit_ID_THIS names.
constexpr int kChosenRowScan = 20000;

std::vector<FieldDef> objectFields()
{
    const QString date = QStringLiteral("dd.mm.yyyy");
    auto hidden = [](const char *name, FieldKind kind) {
        return FieldDef(QString::fromLatin1(name), kind, QString(), 0, false, kind == FieldKind::Text ? 40 : 0);
    };
    return {
        {QStringLiteral("NUMPP"), FieldKind::Integer, QStringLiteral("Nп/п"), 3, false},
        {QStringLiteral("TYPE_NAME"), FieldKind::Text, QStringLiteral("Тип"), 20, true, 200},
        {QStringLiteral("NAME_MAX"), FieldKind::Text, QStringLiteral("Наименование"), 32, true, 200},
        {QStringLiteral("DATE_1"), FieldKind::DateTime, QStringLiteral("Дата нач."), 10, true, 0, date},
        {QStringLiteral("TIME_1"), FieldKind::Text, QStringLiteral("Время"), 8, true, 8},
        {QStringLiteral("DATE_2"), FieldKind::DateTime, QStringLiteral("Дата кон"), 10, true, 0, date},
        {QStringLiteral("TIME_2"), FieldKind::Text, QStringLiteral("Время"), 8, true, 8},
        {QStringLiteral("NOTE"), FieldKind::Text, QStringLiteral("Примечание"), 20, true, 200},
        {QStringLiteral("ID_THIS"), FieldKind::Text, QStringLiteral("ID-объекта"), 10, true, 40},
        {QStringLiteral("MNEMO_CODE"), FieldKind::Text, QStringLiteral("Мнемо-код"), 10, true, 32},
        hidden("ID_REF_NEAR", FieldKind::Text),
        hidden("ID_REF", FieldKind::Text),
        hidden("ID_PARENT", FieldKind::Text),
        hidden("ID_TYPE", FieldKind::Text),
        hidden("ITS_BASE", FieldKind::Integer),
        hidden("ITS_GLOBAL", FieldKind::Integer),
        hidden("ID_KIND", FieldKind::Integer),
        hidden("ITS_ABSTRACT", FieldKind::Integer),
        hidden("ID_GRP", FieldKind::Text),
    };
}

QLabel *maroonLabel(const char *name, QWidget *parent, bool bold)
{
    QLabel *l = MakeLabel(parent, name, QStringLiteral("???"), QColor(128, 0, 0), 0, bold);
    l->setWordWrap(true);
    return l;
}

QLineEdit *whiteEdit(const char *name, QWidget *parent)
{
    auto *e = Named(new QLineEdit(parent), name);
    SetEditBase(e, Qt::white);
    return e;
}

} // namespace

TDlg_Tree_Obj_Select::TDlg_Tree_Obj_Select(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Dlg_Tree_Obj_Select"));
    setWindowTitle(QStringLiteral("Выбор объекта"));
    resize(617, 512);
    RememberWindow(this);

    Query_Obj = Named(new DbDataSet(this), "Query_Obj");
    for (const FieldDef &def : objectFields())
        Query_Obj->addField(def);
    kindField_ = Query_Obj->fieldByName(Schema::FLD_ID_KIND)->index();
    abstractField_ = Query_Obj->fieldByName(Schema::FLD_ITS_ABSTRACT)->index();
    baseField_ = Query_Obj->fieldByName(Schema::FLD_ITS_BASE)->index();

    auto *top = new QFrame(this);
    top->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    top->setMinimumHeight(kTopStripHeight);
    Label1 = Named(new QLabel(QStringLiteral("Выбран :  "), top), "Label1");
    Edit_ID_THIS = whiteEdit("Edit_ID_THIS", top);
    Edit_ID_THIS->setToolTip(QStringLiteral("Здесь можно ID ввести прямо с клавиатуры ..."));
    Edit_ID_THIS->setFixedWidth(150);
    Label_ObjName = maroonLabel("Label_ObjName", top, true);
    auto *tl = new QHBoxLayout(top);
    tl->setContentsMargins(4, 2, 4, 2);
    tl->addWidget(Label1);
    tl->addWidget(Edit_ID_THIS);
    tl->addWidget(Label_ObjName, 1);

    auto *found = new QGroupBox(QStringLiteral("Найдено : "));
    DBNavigator1 = new DbNavigator("DBNavigator1", found);
    DBNavigator1->setDataSet(Query_Obj);
    SpeedButton1 = MakeToolButton(found, "SpeedButton1", style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                  QStringLiteral("Открыть список объектов ..."));
    DBGrid_Obj = Named(new DbGrid(found), "DBGrid_Obj");
    DBGrid_Obj->setStyleSheet(QStringLiteral("QTableView { background: white; }"));
    DBGrid_Obj->setDataSet(Query_Obj);
    DataSource1 = DBGrid_Obj->dataModel();
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    DBGrid_Obj->setDrawDataCell([this](DbGridCell &cell) { DBGrid_ObjDrawDataCell(cell); });
    DBGrid_Obj->setKeysSelect(false);
    DBGrid_Obj->setRowHint([this](int row) {
        return RowLookRuleFor(Query_Obj->integerAt(kindField_, row), Query_Obj->integerAt(abstractField_, row),
                              Query_Obj->integerAt(baseField_, row))
            .meaning;
    });
    auto *strip = new QWidget(found);
    strip->setFixedHeight(26);
    auto *sl = new QHBoxLayout(strip);
    sl->setContentsMargins(0, 0, 0, 0);
    sl->addWidget(DBNavigator1);
    sl->addSpacing(8);
    sl->addWidget(SpeedButton1);
    sl->addStretch();
    auto *fl = new QVBoxLayout(found);
    fl->setContentsMargins(2, 2, 2, 2);
    fl->addWidget(strip);
    fl->addWidget(DBGrid_Obj, 1);

    // A splitter after the top strip and another after the filter: dragging
    // either resizes the part above it, the found objects take what is left.
    auto *split = new QSplitter(Qt::Vertical);
    split->setObjectName(QStringLiteral("Splitter_Main"));
    split->addWidget(buildFilter());
    split->addWidget(found);
    split->setStretchFactor(1, 1);
    split->setSizes({kFilterHeight, 512 - kTopStripHeight - kFilterHeight - kBottomStripHeight});
    auto *splitTop = new QSplitter(Qt::Vertical, this);
    splitTop->setObjectName(QStringLiteral("Splitter_Top"));
    splitTop->addWidget(top);
    splitTop->addWidget(split);
    splitTop->setStretchFactor(1, 1);
    splitTop->setSizes({kTopStripHeight, 512 - kTopStripHeight - kBottomStripHeight});

    auto *bottom = new QWidget(this);
    bottom->setFixedHeight(kBottomStripHeight);
    MakeOkCancelStrip(this, bottom, OKBtn, CancelBtn)->setContentsMargins(4, 1, 4, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(splitTop, 1);
    layout->addWidget(bottom);

    objectCaption_ = new CaptionFollower(Edit_ID_THIS, Label_ObjName, [this](const QString &text) {
        // Edit_ID_THISChange, returning the caption rather than setting it.
        const QString id = Trim(text);
        if (id.isEmpty() || !connected())
            return QStringLiteral("???");
        return GetObjectCaption(connection_, id, 1, true);
    });
    typeName_ = new CaptionFollower(Edit_ID_TYPE, Label_Type_Name, [this](const QString &text) {
        return connected() ? GetTypeName(connection_, text, 1) : QString();
    });

    connect(SpeedButton1, &QToolButton::clicked, this, [this] { ReportingErrors([this] { SpeedButton1Click(); }); });
    connect(DBGrid_Obj, &QAbstractItemView::clicked, this, &TDlg_Tree_Obj_Select::DBGrid_ObjCellClick);
    ChooseRowsOf(DBGrid_Obj, [this] { chooseFoundRow(); });
    connect(SB_Sel_Type, &QToolButton::clicked, this, [this] { ReportingErrors([this] { SB_Sel_TypeClick(); }); });
    connect(CB_YesBase_Obj, &QCheckBox::clicked, this, &TDlg_Tree_Obj_Select::CB_YesBase_ObjClick);
    connect(CB_YesRef_Obj, &QCheckBox::clicked, this, &TDlg_Tree_Obj_Select::CB_YesRef_ObjClick);
    connect(Edit_ID_THIS, &QLineEdit::textChanged, this, &TDlg_Tree_Obj_Select::showChosenRow);
    // Enter in the name line searches, rather than pressing OK.
    Edit_Substr->installEventFilter(this);
}

bool TDlg_Tree_Obj_Select::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit_Substr && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && !(key->modifiers() & ~Qt::KeypadModifier)) {
            ReportingErrors([this] { SpeedButton1Click(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

TDlg_Tree_Obj_Select::~TDlg_Tree_Obj_Select()
{
    Query_Obj->close();
}

QWidget *TDlg_Tree_Obj_Select::buildFilter()
{
    auto *box = new QGroupBox(QStringLiteral("Фильтр : "));
    box->setObjectName(QStringLiteral("GroupBox_Filter"));
    CB_YesParent_From_Tree = Named(new QCheckBox(QStringLiteral("Использовать выбранный объект, как предка"), box),
                                   "CB_YesParent_From_Tree");
    CB_Yes_TypeObj = Named(new QCheckBox(QStringLiteral("Тип :"), box), "CB_Yes_TypeObj");
    SB_Sel_Type = Named(new QToolButton(box), "SB_Sel_Type");
    SB_Sel_Type->setText(QStringLiteral("..."));
    Edit_ID_TYPE = whiteEdit("Edit_ID_TYPE", box);
    Edit_ID_TYPE->setFixedWidth(110);
    Label_Type_Name = maroonLabel("Label_Type_Name", box, false);
    CB_YesBase_Obj = Named(new QCheckBox(QStringLiteral("Базовые"), box), "CB_YesBase_Obj");
    CB_YesBase_Obj->setChecked(true);
    CB_YesRef_Obj = Named(new QCheckBox(QStringLiteral("Ссылочные"), box), "CB_YesRef_Obj");
    CB_Yes_NameObj = Named(new QCheckBox(QStringLiteral("Наименование"), box), "CB_Yes_NameObj");
    CB_YesContaining = Named(new QCheckBox(QStringLiteral("Искать вхождения ..."), box), "CB_YesContaining");
    CB_YesContaining->setChecked(true);
    Edit_Substr = Named(new QLineEdit(box), "Edit_Substr");

    auto *type = new QHBoxLayout;
    type->addWidget(CB_Yes_TypeObj);
    type->addWidget(SB_Sel_Type);
    type->addWidget(Edit_ID_TYPE);
    type->addWidget(Label_Type_Name, 1);
    auto *kinds = new QHBoxLayout;
    kinds->addWidget(CB_YesBase_Obj);
    kinds->addWidget(CB_YesRef_Obj);
    kinds->addStretch();
    auto *name = new QHBoxLayout;
    name->addWidget(CB_Yes_NameObj);
    name->addWidget(CB_YesContaining);
    name->addWidget(Edit_Substr, 1);
    auto *l = new QVBoxLayout(box);
    l->setContentsMargins(6, 2, 6, 4);
    l->setSpacing(2);
    l->addWidget(CB_YesParent_From_Tree);
    l->addLayout(type);
    l->addLayout(kinds);
    l->addLayout(name);
    // The type line starts at "0", which names no type.
    Edit_ID_TYPE->setText(QStringLiteral("0"));
    return box;
}

bool TDlg_Tree_Obj_Select::connected() const
{
    return connection_ && connection_->isOpen();
}

void TDlg_Tree_Obj_Select::unbind()
{
    Query_Obj->close();
    Query_Obj->sql().clear();
    Query_Obj->setConnection(nullptr);
    Query_Obj->setTransaction(nullptr);
    connection_ = nullptr;
}

bool TDlg_Tree_Obj_Select::bind(DbConnection *connection, const QString &currentId)
{
    unbind();
    if (!connection)
        return false;
    connection_ = connection;
    Query_Obj->setConnection(connection);
    Query_Obj->setTransaction(connection->defaultTransaction());
    Edit_ID_THIS->clear();
    Label_ObjName->setText(QStringLiteral("???"));
    SelectedId.clear();
    CurrentId = Trim(currentId);
    Edit_ID_THIS->setText(CurrentId);
    objectCaption_->update();
    typeName_->update();
    return true;
}

bool TDlg_Tree_Obj_Select::Execute(DbConnection *connection, const QString &currentId)
{
    if (!bind(connection, currentId))
        return false;
    struct Unbind {
        TDlg_Tree_Obj_Select *window;
        ~Unbind() { window->unbind(); }
    } unbindAtEnd{this};
    if (exec() != QDialog::Accepted)
        return false;
    const QString id = Trim(Edit_ID_THIS->text());
    Edit_ID_THIS->setText(id);
    if (!ObjectExists(connection_, id))
        return false;
    SelectedId = id;
    return true;
}

ObjectSearchCriteria TDlg_Tree_Obj_Select::criteria()
{
    ObjectSearchCriteria c;
    c.base = CB_YesBase_Obj->isChecked();
    c.reference = CB_YesRef_Obj->isChecked();
    c.byType = CB_Yes_TypeObj->isChecked();
    if (c.byType) {
        Edit_ID_TYPE->setText(Trim(Edit_ID_TYPE->text()));
        c.typeId = Edit_ID_TYPE->text();
    }
    c.byName = CB_Yes_NameObj->isChecked();
    c.containing = CB_YesContaining->isChecked();
    if (c.byName) {
        Edit_Substr->setText(Trim(Edit_Substr->text()));
        c.fragment = Edit_Substr->text();
    }
    c.descendants = CB_YesParent_From_Tree->isChecked();
    c.chosenId = Trim(Edit_ID_THIS->text());
    return c;
}

void TDlg_Tree_Obj_Select::RunSearch()
{
    Query_Obj->close();
    Query_Obj->sql().clear();
    Query_Obj->sql() = ObjectSearchLines(ObjectSearchCondition(criteria()));
    Query_Obj->open();
    showChosenRow();
}

void TDlg_Tree_Obj_Select::showChosenRow()
{
    QItemSelectionModel *selection = DBGrid_Obj->selectionModel();
    if (!selection)
        return;
    const QString id = Trim(Edit_ID_THIS->text());
    int found = -1;
    if (!id.isEmpty() && Query_Obj->isOpen()) {
        const int idField = Query_Obj->fieldByName(Schema::FLD_ID_THIS)->index();
        const int rows = std::min({Query_Obj->fetchedCount(), DataSource1->rowCount(), kChosenRowScan});
        for (int r = 0; r < rows && found < 0; ++r)
            if (Trim(Query_Obj->text(idField, r)) == id)
                found = r;
    }
    if (found < 0) {
        selection->clearSelection();
        return;
    }
    const QModelIndex index = DataSource1->index(found, std::max(0, DBGrid_Obj->currentIndex().column()));
    selection->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    DBGrid_Obj->setCurrentIndex(index);
    DBGrid_Obj->scrollTo(index);
}

void TDlg_Tree_Obj_Select::SpeedButton1Click()
{
    RunSearch();
}

QString TDlg_Tree_Obj_Select::foundRowId() const
{
    return Query_Obj->isOpen() ? Trim(Query_Obj->fieldByName(Schema::FLD_ID_THIS)->asString()) : QString();
}

void TDlg_Tree_Obj_Select::DBGrid_ObjCellClick()
{
    // Only a click: moving with the keyboard or the navigator changes nothing.
    if (!DBGrid_Obj->hasFocus())
        return;
    const QString id = foundRowId();
    if (!id.isEmpty())
        Edit_ID_THIS->setText(id);
}

void TDlg_Tree_Obj_Select::chooseFoundRow()
{
    const QString id = foundRowId();
    if (id.isEmpty())
        return;
    Edit_ID_THIS->setText(id);
    accept();
}

void TDlg_Tree_Obj_Select::Edit_ID_THISChange()
{
    objectCaption_->update();
}

void TDlg_Tree_Obj_Select::SB_Sel_TypeClick()
{
    QString id;
    SelectObjectType(connection_, Edit_ID_TYPE->text(), id);
    if (!id.isEmpty())
        Edit_ID_TYPE->setText(id);
}

void TDlg_Tree_Obj_Select::Edit_ID_TYPEChange()
{
    typeName_->update();
}

void TDlg_Tree_Obj_Select::keepOneTicked(QCheckBox *clicked, QCheckBox *other)
{
    if (!clicked->hasFocus())
        return;
    if (!clicked->isChecked() && !other->isChecked())
        other->setChecked(true);
}

void TDlg_Tree_Obj_Select::CB_YesBase_ObjClick()
{
    keepOneTicked(CB_YesBase_Obj, CB_YesRef_Obj);
}

void TDlg_Tree_Obj_Select::CB_YesRef_ObjClick()
{
    keepOneTicked(CB_YesRef_Obj, CB_YesBase_Obj);
}

void TDlg_Tree_Obj_Select::DBGrid_ObjDrawDataCell(DbGridCell &cell)
{
    DrawObjectCell(cell, Query_Obj->integerAt(kindField_, cell.row), Query_Obj->integerAt(abstractField_, cell.row),
                   Query_Obj->integerAt(baseField_, cell.row));
}

void SelectObject(DbConnection *connection, const QString &currentId, QString &objectId)
{
    objectId.clear();
    if (!connection)
        return;
    auto window = std::make_unique<TDlg_Tree_Obj_Select>();
    if (window->Execute(connection, currentId))
        objectId = Trim(window->SelectedId);
}
