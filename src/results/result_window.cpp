#include "results/result_window.h"

#include "db/dataset_model.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/engine_messages.h"
#include "results/result_query.h"
#include "results/save_dialog.h"
#include "widgets/row_look.h"
#include "results/text_view.h"
#include "support/str_utils.h"
#include "widgets/db_grid.h"
#include "widgets/db_navigator.h"
#include "widgets/grid_find.h"
#include "widgets/messages.h"
#include "widgets/widget_utils.h"
#include "widgets/window_memory.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <climits>
#include <memory>

namespace {

const QString kDefaultOrder = QStringLiteral("t_o.ID_THIS");

} // namespace

TDlg_ViewQuery_Objects::TDlg_ViewQuery_Objects(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Dlg_ViewQuery_Objects"));
    setWindowTitle(QStringLiteral("Результат отбора объектов/процессов"));
    resize(601, 452);
    RememberWindow(this);

    Query1 = new DbDataSet(this);
    Query1->setObjectName(QStringLiteral("Query1"));
    for (const FieldDef &def : ResultFieldDefs())
        Query1->addField(def);
    kindField_ = Query1->fieldByName(QStringLiteral("ID_KIND"))->index();
    abstractField_ = Query1->fieldByName(QStringLiteral("ITS_ABSTRACT"))->index();
    baseField_ = Query1->fieldByName(QStringLiteral("ITS_BASE"))->index();

    auto *panel2 = new QFrame(this);
    panel2->setObjectName(QStringLiteral("Panel2"));
    Label_Head = new QLabel(panel2);
    Label_Head->setObjectName(QStringLiteral("Label_Head"));
    QFont bold = Label_Head->font();
    bold.setBold(true);
    Label_Head->setFont(bold);
    QPalette maroon = Label_Head->palette();
    maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
    Label_Head->setPalette(maroon);
    auto *p2 = new QHBoxLayout(panel2);
    p2->setContentsMargins(4, 2, 4, 2);
    p2->addWidget(Label_Head);

    TN1 = new QTabWidget(this);
    TN1->setObjectName(QStringLiteral("TN1"));
    auto *found = new QWidget(TN1);
    found->setObjectName(QStringLiteral("TabPage_Found"));
    QStyle *st = style();
    DBNavigator1 = new DbNavigator("DBNavigator1", found);
    DBNavigator1->setDataSet(Query1);
    SpeedButton1 = MakeToolButton(found, "SpeedButton1", st->standardIcon(QStyle::SP_BrowserReload),
                                  QStringLiteral("Переоткрыть"));
    SpeedButton2 = MakeToolButton(found, "SpeedButton2", st->standardIcon(QStyle::SP_FileDialogDetailedView),
                                  QStringLiteral("Экспорт в Excel (OLE)"));
    SpeedButton3 = MakeToolButton(found, "SpeedButton3", st->standardIcon(QStyle::SP_FileDialogContentsView),
                                  QStringLiteral("Экспорт в HTML-формат"));
    SetShortcutKeys(SpeedButton1, {QKeySequence(Qt::Key_F5)});
    SetShortcutKeys(SpeedButton2, {QKeySequence(Qt::CTRL | Qt::Key_E)});
    SetShortcutKeys(SpeedButton3, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { ReportingErrors([this] { SpeedButton2Click(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { ReportingErrors([this] { SpeedButton1Click(); }); });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { ReportingErrors([this] { SpeedButton3Click(); }); });
    auto *tools = new QHBoxLayout;
    tools->setSpacing(1);
    tools->addWidget(DBNavigator1);
    tools->addSpacing(12);
    for (QToolButton *b : {SpeedButton1, SpeedButton2, SpeedButton3})
        tools->addWidget(b);
    tools->addStretch();

    DBGrid1 = new DbGrid(found);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setToolTip(QStringLiteral("Правая кнопка мыши - МЕНЮ"));
    DBGrid1->setStyleSheet(QStringLiteral("QTableView { background: white; }"));
    DBGrid1->setDataSet(Query1);
    DataSource1 = DBGrid1->dataModel();
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    DBGrid1->setDrawDataCell([this](DbGridCell &cell) { DBGrid1DrawDataCell(cell); });
    connect(DBGrid1, &QTableView::doubleClicked, this, [this] { ReportingErrors([this] { N2Click(); }); });
    connect(Query1, &DbDataSet::allFetched, this, &TDlg_ViewQuery_Objects::updateCount);
    connect(Query1, &DbDataSet::afterOpen, this, &TDlg_ViewQuery_Objects::updateCount);
    connect(Query1, &DbDataSet::beforeClose, this, [this] { lbl_CountRec->setText(QStringLiteral("...")); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *n2 = PopupMenu1->addAction(QStringLiteral("Открыть значение поля в отдельном окне"));
    n2->setObjectName(QStringLiteral("N2"));
    connect(n2, &QAction::triggered, this, [this] { ReportingErrors([this] { N2Click(); }); });
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N3"));
    QAction *n1 = PopupMenu1->addAction(QStringLiteral("Открыть объект"));
    n1->setObjectName(QStringLiteral("N1"));
    n1->setEnabled(false);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->exec(DBGrid1->viewport()->mapToGlobal(pos)); });

    lbl_CountRec = new QLabel(QStringLiteral("..."), found);
    lbl_CountRec->setObjectName(QStringLiteral("lbl_CountRec"));
    lbl_CountRec->setAutoFillBackground(true);
    QPalette countPalette = lbl_CountRec->palette();
    countPalette.setColor(QPalette::Window, Qt::white);
    countPalette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    lbl_CountRec->setPalette(countPalette);

    auto *foundLayout = new QVBoxLayout(found);
    foundLayout->setContentsMargins(2, 2, 2, 2);
    foundLayout->setSpacing(2);
    foundLayout->addLayout(tools);
    foundLayout->addWidget(DBGrid1, 1);
    buildExtras(found);
    foundLayout->addWidget(findBar);
    foundLayout->addWidget(lbl_CountRec);
    TN1->addTab(found, QStringLiteral("Найдено"));

    auto *sqlPage = new QWidget(TN1);
    sqlPage->setObjectName(QStringLiteral("TabPage_SQL"));
    auto *sqlGroup = new QGroupBox(QStringLiteral("Текст SQL-запроса : "), sqlPage);
    RE_SQL = new QPlainTextEdit(sqlGroup);
    RE_SQL->setObjectName(QStringLiteral("RE_SQL"));
    RE_SQL->setReadOnly(true);
    QFont courier(QStringLiteral("Courier New"), 10);
    courier.setStyleHint(QFont::TypeWriter);
    RE_SQL->setFont(courier);
    RE_SQL->setLineWrapMode(QPlainTextEdit::NoWrap);
    RE_SQL->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RE_SQL->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *groupLayout = new QVBoxLayout(sqlGroup);
    groupLayout->addWidget(RE_SQL);
    auto *sqlLayout = new QVBoxLayout(sqlPage);
    sqlLayout->setContentsMargins(2, 2, 2, 2);
    sqlLayout->addWidget(sqlGroup);
    TN1->addTab(sqlPage, QStringLiteral("SQL"));

    auto *bottom = new QFrame(this);
    CB_YesW = new QCheckBox(QStringLiteral("Ограничить ширину колонок = "), bottom);
    CB_YesW->setObjectName(QStringLiteral("CB_YesW"));
    CB_YesW->setChecked(true);
    SE_W = new QSpinBox(bottom);
    SE_W->setObjectName(QStringLiteral("SE_W"));
    SE_W->setRange(INT_MIN, INT_MAX);
    SE_W->setValue(30);
    QHBoxLayout *bottomLayout = MakeOkCancelStrip(this, bottom, OKBtn, CancelBtn);
    bottomLayout->insertWidget(0, CB_YesW);
    bottomLayout->insertWidget(1, SE_W);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel2);
    layout->addWidget(TN1, 1);
    layout->addWidget(bottom);
}

TDlg_ViewQuery_Objects::~TDlg_ViewQuery_Objects()
{
    Query1->close();
}

bool TDlg_ViewQuery_Objects::bind(const QString &title, DbConnection *database, const QString &conditionText,
                                  const QString &orderByText, const QString &resultFieldName)
{
    Query1->close();
    Query1->sql().clear();
    Query1->setConnection(nullptr);
    Query1->setTransaction(nullptr);
    if (Trim(SD1.initialDir).isEmpty())
        SD1.initialDir = DialogStartFolder();
    if (Trim(SD1.fileName).isEmpty())
        SD1.fileName = QStringLiteral("VRKX_Query_Result.htm");
    database_ = nullptr;
    if (!database)
        return false;
    database_ = database;
    Query1->setConnection(database);
    Query1->setTransaction(database->defaultTransaction());
    TN1->setCurrentIndex(0);
    Label_Head->setText(Trim(title));
    conditionText_ = Trim(conditionText);
    orderByText_ = Trim(orderByText);
    if (orderByText_.isEmpty())
        orderByText_ = kDefaultOrder;
    resultFieldName_ = Trim(resultFieldName);
    resultValue_.clear();
    if (!conditionText_.isEmpty())
        SpeedButton1Click();
    return true;
}

bool TDlg_ViewQuery_Objects::Execute(const QString &title, DbConnection *database, const QString &conditionText,
                                     const QString &orderByText, const QString &resultFieldName)
{
    if (!bind(title, database, conditionText, orderByText, resultFieldName))
        return false;
    bool result = false;
    if (exec() == QDialog::Accepted) {
        if (resultFieldName_.isEmpty()) {
            result = true;
        } else if (Query1->isOpen()) {
            const DbField *field = Query1->fieldByName(resultFieldName_);
            resultValue_ = field ? Trim(field->asString()) : QString();
            result = !resultValue_.isEmpty();
        }
    }
    Query1->close();
    return result;
}

void TDlg_ViewQuery_Objects::SpeedButton1Click()
{
    QCoreApplication::processEvents();
    Query1->close();
    Query1->sql().clear();
    RE_SQL->clear();
    QCoreApplication::processEvents();
    Query1->sql() = ResultQueryLines(conditionText_, effectiveOrder());
    RE_SQL->setPlainText(Query1->sql().join(QChar('\n')));
    try {
        BusyCursor busy;
        Query1->open();
    } catch (...) {
        // A query the user stopped is no fault of its text.
        if (!IsCancel(std::current_exception()))
            ShowInfo(QStringLiteral("Error! ") + Query1->sql().join(QStringLiteral("\r\n")), this);
        throw;
    }
    applyWidthLimit();
    // The rest of the rows come in the background, so that the count line
    // fills by itself while the user reads the first screen.
    Query1->fetchAllInBackground();
}

void TDlg_ViewQuery_Objects::applyWidthLimit()
{
    const int limit = SE_W->value();
    if (!CB_YesW->isChecked() || limit < 3)
        return;
    for (int i = 0; i < Query1->fieldCount(); ++i) {
        DbField *f = Query1->field(i);
        if (f->displayWidth() > limit)
            f->setDisplayWidth(limit);
    }
    DBGrid1->applyColumnWidths();
}

void TDlg_ViewQuery_Objects::updateCount()
{
    if (Query1->isOpen() && Query1->isAllFetched() && Query1->fetchedCount() > 0)
        lbl_CountRec->setText(QStringLiteral("количество найденных = %1").arg(Query1->fetchedCount()));
    else
        lbl_CountRec->setText(QStringLiteral("..."));
}

void TDlg_ViewQuery_Objects::DBGrid1DrawDataCell(DbGridCell &cell)
{
    DrawObjectCell(cell, Query1->integerAt(kindField_, cell.row), Query1->integerAt(abstractField_, cell.row),
                   Query1->integerAt(baseField_, cell.row));
}

void TDlg_ViewQuery_Objects::N2Click()
{
    if (!Query1->isOpen())
        return;
    const DbField *field = Query1->field(DBGrid1->selectedField());
    if (!field)
        return;
    ShowText(field->displayLabel(), field->asString());
}

void ShowQueryResult(const QString &title, DbConnection *database, const QString &conditionText,
                     const QString &orderByText, const QString &resultFieldName, QString &result)
{
    result.clear();
    if (!database)
        return;
    auto window = std::make_unique<TDlg_ViewQuery_Objects>();
    if (window->Execute(title, database, conditionText, orderByText, resultFieldName))
        result = Trim(window->ResultValue());
}
