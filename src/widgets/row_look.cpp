#include "widgets/row_look.h"

#include "db/schema.h"
#include "widgets/db_grid.h"

namespace {

RowLook look(const QColor &foreground, bool italic = false)
{
    RowLook l;
    l.foreground = foreground;
    l.italic = italic;
    return l;
}

bool flagTakes(RowLookRule::Flag flag, int value)
{
    switch (flag) {
    case RowLookRule::Flag::Any:
        return true;
    case RowLookRule::Flag::Set:
        return value > 0;
    case RowLookRule::Flag::Clear:
        return value <= 0;
    }
    return false;
}

bool kindTakes(RowLookRule::Kind rule, int kind)
{
    const bool object = kind == Schema::KIND_OBJECT;
    const bool process = kind == Schema::KIND_PROCESS;
    switch (rule) {
    case RowLookRule::Kind::Other:
        return !object && !process;
    case RowLookRule::Kind::ObjectOrProcess:
        return object || process;
    case RowLookRule::Kind::Object:
        return object;
    case RowLookRule::Kind::Process:
        return process;
    }
    return false;
}

} // namespace

const std::vector<RowLookRule> &RowLookRules()
{
    using K = RowLookRule::Kind;
    using F = RowLookRule::Flag;
    static const std::vector<RowLookRule> rules = [] {
        RowLook unknown = look(QColor(255, 0, 0));
        unknown.background = QColor(255, 255, 0);
        unknown.bold = true;
        const QColor grey(128, 128, 128);
        return std::vector<RowLookRule>{
            {K::Other, F::Any, F::Any, unknown,
             QStringLiteral("Тип не найден в справочнике типов, или его вид ни «Объект», ни «Процесс»")},
            {K::ObjectOrProcess, F::Set, F::Set, look(grey), QStringLiteral("Абстрактный тип, базовый")},
            {K::ObjectOrProcess, F::Set, F::Clear, look(grey, true), QStringLiteral("Абстрактный тип, ссылочный")},
            {K::Object, F::Clear, F::Set, look(QColor(0, 0, 0)), QStringLiteral("Базовый объект")},
            {K::Process, F::Clear, F::Set, look(QColor(128, 0, 0)), QStringLiteral("Базовый процесс")},
            {K::Object, F::Clear, F::Clear, look(QColor(0, 0, 255)), QStringLiteral("Ссылочный объект")},
            {K::Process, F::Clear, F::Clear, look(QColor(0, 128, 0)), QStringLiteral("Ссылочный процесс")},
        };
    }();
    return rules;
}

const RowLookRule &RowLookRuleFor(int kind, int abstract, int base)
{
    const auto &rules = RowLookRules();
    for (const RowLookRule &rule : rules)
        if (kindTakes(rule.kind, kind) && flagTakes(rule.abstract, abstract) && flagTakes(rule.base, base))
            return rule;
    return rules.front(); // the table takes every row; this is never reached
}

RowLook ResultRowLook(int kind, int abstract, int base)
{
    return RowLookRuleFor(kind, abstract, base).look;
}

std::vector<MemoMark> MemoMarks()
{
    return {
        {QStringLiteral("(MEMO)"),
         QStringLiteral("В колонке «Детально»: есть детальный текст; двойной щелчок по ячейке открывает его")},
        {QStringLiteral("(memo)"), QStringLiteral("В колонке «Детально»: детального текста нет")},
    };
}

void DrawObjectCell(DbGridCell &cell, int kind, int abstract, int base)
{
    if (cell.selected && (cell.focused || cell.inRange))
        return;
    const RowLook look = ResultRowLook(kind, abstract, base);
    cell.textColor = look.foreground;
    if (look.background)
        cell.background = QBrush(*look.background);
    cell.font.setBold(look.bold);
    cell.font.setItalic(look.italic);
    cell.drawDefault();
}
