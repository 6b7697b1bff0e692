// The filter page's handlers that read the store: the parent strip, the
// object type list and the property column of the numeric property grid.

#include "query/filter_page.h"

#include "db/lookups.h"
#include "db/schema.h"
#include "pickers/caption_follower.h"
#include "pickers/number_prop_picker.h"
#include "pickers/object_picker.h"
#include "pickers/type_picker.h"
#include "query/prop_number_grid.h"
#include "support/str_utils.h"
#include "widgets/messages.h"
#include "widgets/string_grid.h"

#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>

namespace {

// The same row selected in both lists (none for -1).
void selectBoth(QListWidget *names, QListWidget *ids, int row)
{
    names->setCurrentRow(row);
    ids->setCurrentRow(row);
    if (row < 0) {
        names->clearSelection();
        ids->clearSelection();
    }
}

} // namespace

void FilterPage::buildObjTypesMenu()
{
    PopupMenu_ObjTypes = new QMenu(this);
    PopupMenu_ObjTypes->setObjectName(QStringLiteral("PopupMenu_ObjTypes"));
    QMenu *m = PopupMenu_ObjTypes;
    auto item = [this](QMenu *menu, const char *name, const QString &caption, void (FilterPage::*handler)()) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        if (handler)
            connect(a, &QAction::triggered, this, [this, handler] { ReportingErrors([&] { (this->*handler)(); }); });
        else
            a->setEnabled(false);
        return a;
    };
    auto separator = [m](const char *name) { m->addSeparator()->setObjectName(QString::fromLatin1(name)); };
    item(m, "MenuItem1", QStringLiteral("Типы объектов"), nullptr);
    separator("N1");
    item(m, "MenuItem2", QStringLiteral("Добавить"), &FilterPage::MenuItem2Click);
    separator("N2");
    item(m, "MenuItem3", QStringLiteral("Удалить"), &FilterPage::MenuItem3Click);
    separator("N3");
    item(m, "N6", QStringLiteral("Удалить ВСЕ"), &FilterPage::N6Click);
    separator("N4");
    QMenu *ticks = m->addMenu(QStringLiteral("Отметки по всему списку"));
    ticks->menuAction()->setObjectName(QStringLiteral("N8"));
    item(ticks, "N9", QStringLiteral("Установить"), &FilterPage::N9Click);
    item(ticks, "N10", QStringLiteral("Снять"), &FilterPage::N10Click);
    item(ticks, "N11", QStringLiteral("Инвертировать"), &FilterPage::N11Click);
    List_ObjTypes_Name->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(List_ObjTypes_Name, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu_ObjTypes->exec(List_ObjTypes_Name->viewport()->mapToGlobal(pos)); });
}

void FilterPage::MenuItem2Click()
{
    QString id;
    SelectObjectType(connection_, QString(), id);
    if (id.isEmpty())
        return;
    const QList<QListWidgetItem *> listed = List_ObjTypes_ID->findItems(id, Qt::MatchFixedString);
    const int found = listed.isEmpty() ? -1 : List_ObjTypes_ID->row(listed.first());
    selectBoth(List_ObjTypes_Name, List_ObjTypes_ID, found);
    if (found >= 0)
        return; // listed already: its tick stays as it is
    // The name first: a lookup that fails or is cancelled adds to neither
    // list, so that the two stay item for item.
    QString name = Trim(GetTypeName(connection_, id, 1));
    if (name.isEmpty())
        name = QStringLiteral("???");
    List_ObjTypes_ID->addItem(id);
    auto *item = new QListWidgetItem(name, List_ObjTypes_Name);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    selectBoth(List_ObjTypes_Name, List_ObjTypes_ID, List_ObjTypes_Name->count() - 1);
}

void FilterPage::MenuItem3Click()
{
    const int row = List_ObjTypes_Name->currentRow();
    const bool selected = row >= 0 && List_ObjTypes_Name->item(row)->isSelected();
    List_ObjTypes_ID->setCurrentRow(row);
    if (!selected)
        return;
    delete List_ObjTypes_Name->takeItem(row);
    delete List_ObjTypes_ID->takeItem(row);
}

void FilterPage::N6Click()
{
    if (List_ObjTypes_Name->count() == 0)
        List_ObjTypes_ID->clear();
    else if (Confirm(QStringLiteral("Вы желаете очистить весь список "), this)) {
        List_ObjTypes_Name->clear();
        List_ObjTypes_ID->clear();
    }
    List_ObjTypes_ID->setCurrentRow(List_ObjTypes_Name->currentRow());
}

void FilterPage::tickEveryType(const std::function<bool(bool ticked)> &tick)
{
    for (int i = 0; i < List_ObjTypes_Name->count(); ++i) {
        QListWidgetItem *it = List_ObjTypes_Name->item(i);
        it->setCheckState(tick(it->checkState() == Qt::Checked) ? Qt::Checked : Qt::Unchecked);
    }
}

void FilterPage::N9Click()
{
    tickEveryType([](bool) { return true; });
}

void FilterPage::N10Click()
{
    tickEveryType([](bool) { return false; });
}

void FilterPage::N11Click()
{
    tickEveryType([](bool ticked) { return !ticked; });
}

void FilterPage::SG_PropNumberDblClick()
{
    const int r = SG_PropNumber->currentRow();
    const int c = SG_PropNumber->currentCol();
    if (r < SG_PropNumber->fixedRows() || r >= ListBox_PropNumber->count())
        return;
    SelectCompanionLine(ListBox_PropNumber, r);
    QStringList words = CompanionWords(ListBox_PropNumber->item(r)->text(), SG_PropNumber->colCount());
    if (c == PropGrid::PropertyColumn) {
        QString id;
        SelectNumberProp(connection_, words[c], id);
        if (!id.isEmpty()) {
            words[c] = id;
            const QString unit = GetFieldById(connection_, Schema::L_PROPNUMBER_LIST, Schema::FLD_ID_UNITMEASURE,
                                              QuotedSql(id), true);
            SG_PropNumber->setCell(c, r,
                                   Trim(GetNumberPropName(connection_, id, 1)) + QStringLiteral(" [")
                                       + Trim(GetEnumValueName(connection_, unit, 0)) + QChar(']'));
        }
    } else if (c == PropGrid::MaxColumn || c == PropGrid::MinColumn) {
        bool ok = false;
        const QString answer = QInputDialog::getText(this, SG_PropNumber->cell(c, 0), QStringLiteral("Введите значение"),
                                                     QLineEdit::Normal, words[c], &ok);
        if (ok) {
            const QString value = Trim(answer);
            if (IsFloatStr(value)) {
                words[c] = value;
                SG_PropNumber->setCell(c, r, value);
            } else {
                ShowInfo(QStringLiteral("Это = \"%1\" не ЧИСЛО !!!").arg(value), this);
            }
        }
    }
    ListBox_PropNumber->item(r)->setText(words.join(QChar(' ')));
    FitPropNumberGrid(SG_PropNumber);
}

void FilterPage::SpeedButton1Click()
{
    QString id;
    SelectObject(connection_, Edit_ID_Parent->text(), id);
    if (!id.isEmpty())
        Edit_ID_Parent->setText(id); // a cancelled picker leaves the line alone
}

void FilterPage::Edit_ID_ParentChange()
{
    parentCaption_->update();
}
