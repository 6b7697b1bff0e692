#include "query/filter_page.h"

#include "db/db_connection.h"
#include "db/lookups.h"
#include "pickers/caption_follower.h"
#include "query/prop_number_grid.h"
#include "query/tool_icons.h"
#include "widgets/clipboard.h"
#include "support/date_utils.h"
#include "widgets/messages.h"
#include "support/str_utils.h"
#include "widgets/string_grid.h"
#include "widgets/widget_utils.h"

#include <QButtonGroup>
#include <QEvent>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QStringList memoLines(const QPlainTextEdit *memo)
{
    const QString text = memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QChar('\n'));
}

QWidget *captionPanel(const QString &caption, QWidget *parent)
{
    auto *panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto *label = new QLabel(caption, panel);
    label->setAlignment(Qt::AlignCenter);
    auto *l = new QVBoxLayout(panel);
    l->addWidget(label);
    return panel;
}

} // namespace

RadioGroup::RadioGroup(const QString &title, const QStringList &items, QWidget *parent) : QWidget(parent)
{
    box_ = new QGroupBox(title, this);
    buttons_ = new QButtonGroup(this);
    auto *l = new QVBoxLayout(box_);
    l->setContentsMargins(6, 2, 6, 2);
    l->setSpacing(0);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], box_);
        buttons_->addButton(b, i);
        l->addWidget(b);
    }
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(box_);
    setItemIndex(0);
}

int RadioGroup::itemIndex() const
{
    return buttons_->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (QAbstractButton *b = buttons_->button(index))
        b->setChecked(true);
}

FilterPage::FilterPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FilterPage"));
    TN2 = Named(new QTabWidget(this), "TN2");
    auto *query = new QWidget(TN2);
    query->setObjectName(QStringLiteral("TabPage_Query"));
    TN2->addTab(query, QStringLiteral("Запрос"));

    TN3 = Named(new QTabWidget(query), "TN3");
    TN3->addTab(buildObjectsPage(), QStringLiteral("Объекты(процессы)"));
    TN3->addTab(buildNumericPage(), QStringLiteral("Численные свойства"));
    TN3->addTab(captionPanel(QStringLiteral("Руки еще не дошли ..."), TN3), QStringLiteral("Перечислимые свойства"));

    auto *upper = new QWidget(query);
    auto *upperLayout = new QVBoxLayout(upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->addWidget(buildParentStrip());
    upperLayout->addWidget(TN3, 1);

    auto *splitter = Named(new QSplitter(Qt::Vertical, query), "Splitter1");
    splitter->addWidget(upper);
    splitter->addWidget(buildSqlGroup());
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);

    auto *queryLayout = new QVBoxLayout(query);
    queryLayout->setContentsMargins(2, 2, 2, 2);
    queryLayout->addWidget(splitter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(TN2);

    TN2->setCurrentIndex(0);
    TN3->setCurrentIndex(0);
    TN4->setCurrentIndex(0);
    setTabOrder();
}

void FilterPage::setTabOrder()
{
    // A notebook's place in the chain is its tab bar's.
    QList<QWidget *> chain{CB_YesParent,  CB_YesAncestor,     SpeedButton1,   Edit_ID_Parent,
                           TN3->tabBar(), List_ObjTypes_Name, TN4->tabBar()};
    for (QAbstractButton *b : RG_Ref->buttons()->buttons())
        chain << b;
    chain << CB_Date1 << Edit_Date1 << CB_Date2 << Edit_Date2;
    for (QAbstractButton *b : RG_Dates->buttons()->buttons())
        chain << b;
    for (QAbstractButton *b : RG_Abstr->buttons()->buttons())
        chain << b;
    chain << CB_YesFind_Name << Edit_Name_Str << CB_YesFind_Note << Edit_Note_Str << CB_YesFind_Info << Memo_Find_Info
          << CB_YesPropNumber << SG_PropNumber << SpeedButton6 << SpeedButton2 << SpeedButton3 << SpeedButton4
          << SpeedButton5 << saveConditionButton << openConditionButton << CB_YesClearAfter << Memo_SQL;
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    // In the memos Tab goes on to the next control too (an SQL text needs
    // no tab characters), and so does Ctrl+Tab, which would otherwise turn
    // the notebook's page.
    for (QPlainTextEdit *memo : {Memo_SQL, Memo_Find_Info}) {
        memo->setTabChangesFocus(true);
        memo->installEventFilter(this);
    }
}

QWidget *FilterPage::buildParentStrip()
{
    auto *strip = new QWidget(this);
    CB_YesParent = Named(new QCheckBox(QStringLiteral("Родитель"), strip), "CB_YesParent");
    CB_YesAncestor = Named(new QCheckBox(QStringLiteral("Предок"), strip), "CB_YesAncestor");
    connect(CB_YesParent, &QCheckBox::clicked, this, &FilterPage::CB_YesParentClick);
    connect(CB_YesAncestor, &QCheckBox::clicked, this, &FilterPage::CB_YesAncestorClick);
    auto *boxes = new QVBoxLayout;
    boxes->setSpacing(0);
    boxes->addWidget(CB_YesParent);
    boxes->addWidget(CB_YesAncestor);

    SpeedButton1 = Named(new QToolButton(strip), "SpeedButton1");
    SpeedButton1->setText(QStringLiteral("..."));
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { ReportingErrors([this] { SpeedButton1Click(); }); });
    Edit_ID_Parent = Named(new QLineEdit(strip), "Edit_ID_Parent");
    Edit_ID_Parent->setMinimumWidth(120);
    Edit_ID_Parent->setMaximumWidth(220);
    Label_Parent_Name = Named(new QLabel(QStringLiteral("???"), strip), "Label_Parent_Name");
    Label_Parent_Name->setWordWrap(true);
    parentCaption_ = new CaptionFollower(Edit_ID_Parent, Label_Parent_Name, [this](const QString &text) {
        // Edit_ID_ParentChange, returning the caption rather than setting it;
        // without an open store there is nothing to look up.
        const bool connected = connection_ && connection_->isOpen();
        return connected ? GetObjectCaption(connection_, text, 1, true) : Label_Parent_Name->text();
    });

    auto *l = new QHBoxLayout(strip);
    l->setContentsMargins(2, 2, 2, 2);
    l->addLayout(boxes);
    l->addWidget(SpeedButton1);
    l->addWidget(Edit_ID_Parent);
    l->addWidget(Label_Parent_Name, 1);
    return strip;
}

QWidget *FilterPage::buildObjectsPage()
{
    auto *page = new QWidget(this);
    auto *types = Named(new QGroupBox(QStringLiteral("Типы объектов : "), page), "GroupBox_ObjTypes");
    List_ObjTypes_Name = Named(new QListWidget(types), "List_ObjTypes_Name");
    List_ObjTypes_ID = Named(new QListWidget(types), "List_ObjTypes_ID");
    List_ObjTypes_ID->setVisible(false);
    buildObjTypesMenu();
    auto *tl = new QHBoxLayout(types);
    tl->setContentsMargins(4, 2, 4, 4);
    tl->addWidget(List_ObjTypes_Name);
    tl->addWidget(List_ObjTypes_ID);

    TN4 = Named(new QTabWidget(page), "TN4");
    TN4->addTab(buildRequiredPage(), QStringLiteral("Обязательные свойства"));
    TN4->addTab(buildDetailPage(), QStringLiteral("Детальность"));
    TN4->addTab(captionPanel(QStringLiteral("Руки не дошли еще ..."), TN4), QStringLiteral("Атрибуты"));

    auto *l = new QVBoxLayout(page);
    l->setContentsMargins(2, 2, 2, 2);
    l->addWidget(types, 1);
    l->addWidget(TN4, 2);
    return page;
}

QWidget *FilterPage::buildRequiredPage()
{
    auto *page = new QWidget(this);
    RG_Ref = Named(new RadioGroup(QStringLiteral("Ссылочность : "),
                                  {QStringLiteral("ВСЕ"), QStringLiteral("Базовые"), QStringLiteral("Ссылочные")}, page),
                   "RG_Ref");

    auto *period = Named(new QGroupBox(QStringLiteral("Период актуальности : "), page), "GroupBox_Period");
    CB_Date1 = Named(new QCheckBox(QStringLiteral("Начало"), period), "CB_Date1");
    Edit_Date1 = Named(new QLineEdit(period), "Edit_Date1");
    CB_Date2 = Named(new QCheckBox(QStringLiteral("Конец"), period), "CB_Date2");
    Edit_Date2 = Named(new QLineEdit(period), "Edit_Date2");
    for (QLineEdit *e : {Edit_Date1, Edit_Date2})
        e->setFixedWidth(Edit_Date1->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 12);
    SetEditBase(Edit_Date1, date1Colour());
    SetEditBase(Edit_Date2, date2Colour());
    connect(Edit_Date1, &QLineEdit::textChanged, this, [this] { colourDate(Edit_Date1, date1Colour()); });
    Edit_Date1->installEventFilter(this); // Edit_Date1Exit
    connect(Edit_Date2, &QLineEdit::textChanged, this, [this] { colourDate(Edit_Date2, date2Colour()); });
    Edit_Date2->installEventFilter(this); // Edit_Date2Exit
    RG_Dates = Named(new RadioGroup(QStringLiteral("Проверяем у объектов : "),
                                    {QStringLiteral("Дата начальная"), QStringLiteral("Дата конечная")}, period),
                     "RG_Dates");
    auto *dates = new QGridLayout;
    dates->addWidget(CB_Date1, 0, 0);
    dates->addWidget(Edit_Date1, 0, 1);
    dates->addWidget(CB_Date2, 1, 0);
    dates->addWidget(Edit_Date2, 1, 1);
    auto *pl = new QHBoxLayout(period);
    pl->setContentsMargins(6, 2, 6, 4);
    pl->addLayout(dates);
    pl->addSpacing(12);
    pl->addWidget(RG_Dates);
    pl->addStretch(1);

    auto substring = [page](const QString &title, const char *boxName, const char *editName, QCheckBox *&box,
                            QLineEdit *&edit) {
        auto *group = new QGroupBox(title, page);
        box = Named(new QCheckBox(QStringLiteral("Искать вхождение подстроки : "), group), boxName);
        edit = Named(new QLineEdit(group), editName);
        auto *l = new QHBoxLayout(group);
        l->setContentsMargins(6, 2, 6, 4);
        l->addWidget(box);
        l->addWidget(edit, 1);
        return group;
    };
    QWidget *name = substring(QStringLiteral("Наименование : "), "CB_YesFind_Name", "Edit_Name_Str", CB_YesFind_Name,
                              Edit_Name_Str);
    QWidget *note = substring(QStringLiteral("Примечание : "), "CB_YesFind_Note", "Edit_Note_Str", CB_YesFind_Note,
                              Edit_Note_Str);
    RG_Abstr = Named(new RadioGroup(QStringLiteral("Абстрактность : "),
                                    {QStringLiteral("Все"), QStringLiteral("НЕ абстрактные"),
                                     QStringLiteral("Абстрактные")},
                                    page),
                     "RG_Abstr");

    auto *top = new QHBoxLayout;
    top->addWidget(RG_Ref);
    top->addWidget(period, 1);
    top->addWidget(RG_Abstr);
    auto *l = new QVBoxLayout(page);
    l->setContentsMargins(4, 4, 4, 4);
    l->addLayout(top);
    l->addWidget(name);
    l->addWidget(note);
    l->addStretch();
    return page;
}

QWidget *FilterPage::buildDetailPage()
{
    auto *page = new QWidget(this);
    CB_YesFind_Info = Named(new QCheckBox(QStringLiteral("Искать в детальной информации следующие фразы (с учетом "
                                                         "регистра символов) :"),
                                          page),
                            "CB_YesFind_Info");
    Memo_Find_Info = Named(new QPlainTextEdit(page), "Memo_Find_Info");
    Memo_Find_Info->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo_Find_Info->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *l = new QVBoxLayout(page);
    l->setContentsMargins(4, 4, 4, 4);
    l->addWidget(CB_YesFind_Info);
    l->addWidget(Memo_Find_Info, 1);
    return page;
}

QWidget *FilterPage::buildNumericPage()
{
    auto *page = new QWidget(this);
    CB_YesPropNumber = Named(new QCheckBox(QStringLiteral("Учесть численные свойства ..."), page), "CB_YesPropNumber");
    SG_PropNumber = Named(new StringGrid(page), "SG_PropNumber");
    SG_PropNumber->setColCount(16);
    SG_PropNumber->setRowCount(2);
    SG_PropNumber->setFixedRows(1);
    SG_PropNumber->setFixedCols(1);
    SG_PropNumber->setDefaultRowHeight(19);
    SG_PropNumber->setToolTip(QStringLiteral("Двойной щелчок - редактировать. Правая кнопка крысы - меню ..."));
    ListBox_PropNumber = Named(new QListWidget(page), "ListBox_PropNumber");
    ListBox_PropNumber->setVisible(false);
    buildPropNumberMenu();
    connect(SG_PropNumber, &StringGrid::cellDoubleClicked, this,
            [this] { ReportingErrors([this] { SG_PropNumberDblClick(); }); });
    connect(SG_PropNumber, &StringGrid::currentCellChanged, this,
            [this](int, int row) { SelectCompanionLine(ListBox_PropNumber, row); });
    auto *l = new QVBoxLayout(page);
    l->setContentsMargins(4, 4, 4, 4);
    l->addWidget(CB_YesPropNumber);
    l->addWidget(SG_PropNumber, 1);
    l->addWidget(ListBox_PropNumber);
    return page;
}

void FilterPage::buildPropNumberMenu()
{
    PopupMenu_PropNumber = Named(new QMenu(this), "PopupMenu_PropNumber");
    QMenu *m = PopupMenu_PropNumber;
    auto item = [m](const char *name, const QString &caption) {
        QAction *a = m->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    auto separator = [m](const char *name) { m->addSeparator()->setObjectName(QString::fromLatin1(name)); };
    connect(item("N13", QStringLiteral("Автовыравнивание по ширине")), &QAction::triggered, this, [this] {
        FitPropNumberGrid(SG_PropNumber);
        SelectCompanionLine(ListBox_PropNumber, SG_PropNumber->currentRow());
    });
    separator("N14");
    QMenu *operation = m->addMenu(QStringLiteral("Операция"));
    operation->menuAction()->setObjectName(QStringLiteral("N24"));
    QAction *andItem = operation->addAction(QStringLiteral("И"));
    andItem->setObjectName(QStringLiteral("N25"));
    connect(andItem, &QAction::triggered, this, [this] { PropGridSetOperation(SG_PropNumber); });
    for (const auto &[name, caption] : {std::pair{"N26", "ИЛИ"}, std::pair{"N27", "НЕТ"}}) {
        QAction *a = operation->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setEnabled(false);
    }
    separator("N18");
    connect(item("N15", QStringLiteral("Добавить строку")), &QAction::triggered, this,
            [this] { PropGridAddRow(SG_PropNumber, ListBox_PropNumber); });
    separator("N20");
    connect(item("N16", QStringLiteral("Вставить строку")), &QAction::triggered, this,
            [this] { PropGridInsertRow(SG_PropNumber, ListBox_PropNumber); });
    separator("N22");
    item("N17", QStringLiteral("Очистить ячейку")); // does nothing, as it always has
    separator("N23");
    connect(item("N19", QStringLiteral("Удалить строку")), &QAction::triggered, this,
            [this] { PropGridDeleteRow(SG_PropNumber, ListBox_PropNumber); });
    separator("N28");
    connect(item("N21", QStringLiteral("Очистить ВСЮ таблицу")), &QAction::triggered, this, &FilterPage::N21Click);
    SG_PropNumber->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SG_PropNumber, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu_PropNumber->exec(SG_PropNumber->viewport()->mapToGlobal(pos)); });
}

QWidget *FilterPage::buildSqlGroup()
{
    auto *group = Named(new QGroupBox(QStringLiteral("SQL-запрос : "), this), "GroupBox_SQL");
    auto tool = [group](const char *name, const QIcon &icon, const QString &hint) {
        return MakeToolButton(group, name, icon, hint);
    };
    SpeedButton6 = tool("SpeedButton6", ToolIcons::clear(), QStringLiteral("Очистить ..."));
    SpeedButton2 = tool("SpeedButton2", ToolIcons::generate(), QStringLiteral("Сформировать запрос"));
    SpeedButton3 = tool("SpeedButton3", ToolIcons::run(), QStringLiteral("Открыть набор данных"));
    SpeedButton4 = tool("SpeedButton4", ToolIcons::copy(), QStringLiteral("Положить в Clipboard"));
    SpeedButton5 = tool("SpeedButton5", ToolIcons::paste(), QStringLiteral("Взять из Clipboard"));
    SetShortcutKeys(SpeedButton2, {QKeySequence(Qt::CTRL | Qt::Key_G)});
    SetShortcutKeys(SpeedButton3, {QKeySequence(Qt::Key_F9), QKeySequence(Qt::CTRL | Qt::Key_Return),
                                   QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    CB_YesClearAfter = Named(new QCheckBox(QStringLiteral("Очищать после выполнения"), group), "CB_YesClearAfter");
    CB_YesClearAfter->setChecked(true);
    connect(SpeedButton6, &QToolButton::clicked, this, &FilterPage::SpeedButton6Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &FilterPage::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { ReportingErrors([this] { SpeedButton3Click(); }); });
    connect(SpeedButton4, &QToolButton::clicked, this, &FilterPage::SpeedButton4Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &FilterPage::SpeedButton5Click);

    Memo_SQL = Named(new QPlainTextEdit(group), "Memo_SQL");
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::TypeWriter);
    Memo_SQL->setFont(courier);
    Memo_SQL->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo_SQL->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo_SQL->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto *strip = new QHBoxLayout;
    strip->setSpacing(1);
    for (QToolButton *b : {SpeedButton6, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5})
        strip->addWidget(b);
    buildConditionTools(group);
    strip->addWidget(saveConditionButton);
    strip->addWidget(openConditionButton);
    strip->addSpacing(12);
    strip->addWidget(CB_YesClearAfter);
    strip->addStretch();
    auto *l = new QVBoxLayout(group);
    l->setContentsMargins(4, 2, 4, 4);
    l->addLayout(strip);
    l->addWidget(Memo_SQL, 1);
    return group;
}

void FilterPage::CB_YesParentClick(bool checked)
{
    if (checked)
        CB_YesAncestor->setChecked(false);
}

void FilterPage::CB_YesAncestorClick(bool checked)
{
    if (checked)
        CB_YesParent->setChecked(false);
}

bool FilterPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == Memo_SQL || watched == Memo_Find_Info)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && (key->modifiers() & Qt::ControlModifier)) {
            const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            focusNextPrevChild(!back);
            return true;
        }
    }
    // Leaving a date line colours it by its validity, whether or not its
    // text changed: an untouched empty line turns red too.
    if (event->type() == QEvent::FocusOut) {
        if (watched == Edit_Date1)
            colourDate(Edit_Date1, date1Colour());
        else if (watched == Edit_Date2)
            colourDate(Edit_Date2, date2Colour());
    }
    return QWidget::eventFilter(watched, event);
}

void FilterPage::colourDate(QLineEdit *edit, const QColor &validColour)
{
    SetEditBase(edit, IsValidDateStr(edit->text()) ? validColour : invalidDateColour());
}

void FilterPage::ResetPropNumberGrid()
{
    ::ResetPropNumberGrid(SG_PropNumber, ListBox_PropNumber);
}

FilterCriteria FilterPage::criteria() const
{
    FilterCriteria c;
    c.parentId = Edit_ID_Parent->text();
    c.yesParent = CB_YesParent->isChecked();
    c.yesAncestor = CB_YesAncestor->isChecked();
    for (int i = 0; i < List_ObjTypes_Name->count() && i < List_ObjTypes_ID->count(); ++i)
        if (List_ObjTypes_Name->item(i)->checkState() == Qt::Checked)
            c.typeIds << List_ObjTypes_ID->item(i)->text();
    c.refIndex = RG_Ref->itemIndex();
    c.date1 = CB_Date1->isChecked();
    c.date1Text = Edit_Date1->text();
    c.date2 = CB_Date2->isChecked();
    c.date2Text = Edit_Date2->text();
    c.datesIndex = RG_Dates->itemIndex();
    c.findName = CB_YesFind_Name->isChecked();
    c.nameText = Edit_Name_Str->text();
    c.findNote = CB_YesFind_Note->isChecked();
    c.noteText = Edit_Note_Str->text();
    c.findInfo = CB_YesFind_Info->isChecked();
    c.infoLines = memoLines(Memo_Find_Info);
    c.abstrIndex = RG_Abstr->itemIndex();
    c.yesPropNumber = CB_YesPropNumber->isChecked();
    c.propRows = PropNumberRows(SG_PropNumber, ListBox_PropNumber);
    return c;
}

void FilterPage::SpeedButton2Click()
{
    const ConditionResult r = BuildCondition(criteria());
    const FilterCriteria &n = r.normalized;
    auto writeBack = [](QLineEdit *edit, const QString &text) {
        if (edit->text() != text)
            edit->setText(text);
    };
    writeBack(Edit_Date1, n.date1Text);
    writeBack(Edit_Date2, n.date2Text);
    CB_Date1->setChecked(n.date1);
    CB_Date2->setChecked(n.date2);
    writeBack(Edit_Name_Str, n.nameText);
    writeBack(Edit_Note_Str, n.noteText);
    writeBack(Edit_ID_Parent, n.parentId);
    Memo_SQL->setPlainText(r.lines.join(QChar('\n')));
}

void FilterPage::SpeedButton3Click()
{
    if (Memo_SQL->toPlainText().isEmpty())
        SpeedButton2Click();
    if (runHandler_)
        runHandler_(memoLines(Memo_SQL).join(QStringLiteral("\r\n")));
    if (CB_YesClearAfter->isChecked())
        Memo_SQL->clear();
}

void FilterPage::SpeedButton4Click()
{
    const QStringList lines = memoLines(Memo_SQL);
    ListToClipboard(&lines);
}

void FilterPage::SpeedButton5Click()
{
    QStringList lines;
    ListFromClipboard(&lines, false);
    Memo_SQL->setPlainText(lines.join(QChar('\n')));
}

void FilterPage::SpeedButton6Click()
{
    Memo_SQL->clear();
}

void FilterPage::N21Click()
{
    if (Confirm(QStringLiteral("Желаете удалить ВСЕ ?"), this))
        ResetPropNumberGrid();
}
