#include "query/condition.h"

#include "db/schema.h"
#include "support/date_utils.h"
#include "support/str_utils.h"

namespace {

class Memo {
public:
    void add(const QString &line) { lines_ << line; }
    void openBlock()
    {
        if (!lines_.isEmpty())
            lines_ << QStringLiteral("and");
        lines_ << QStringLiteral("(");
    }
    void closeBlock() { lines_ << QStringLiteral(")"); }
    bool isEmpty() const { return lines_.isEmpty(); }
    QStringList take() { return std::move(lines_); }

private:
    QStringList lines_;
};

QString literal(const QString &value)
{
    return EscapeSqlQuotes(value);
}

double boundValue(const QString &text)
{
    return StrToFloatOr(ReplaceChar(Trim(text), QChar(','), QChar('.')), 0);
}

} // namespace

ConditionResult BuildCondition(const FilterCriteria &criteria)
{
    ConditionResult result;
    FilterCriteria &c = result.normalized;
    c = criteria;
    c.date1Text = Trim(c.date1Text);
    c.date2Text = Trim(c.date2Text);
    if (c.date1 && !IsValidDateStr(c.date1Text))
        c.date1 = false;
    if (c.date2 && !IsValidDateStr(c.date2Text))
        c.date2 = false;
    c.nameText = Trim(c.nameText);
    c.noteText = Trim(c.noteText);
    c.parentId = Trim(c.parentId);

    Memo memo;

    if (!c.parentId.isEmpty()) {
        const QString id = literal(c.parentId);
        QString p;
        if (c.yesParent)
            p += QStringLiteral(" (t_o.ID_PARENT='") + id + QStringLiteral("') ");
        if (c.yesAncestor) {
            if (!Trim(p).isEmpty())
                p += QStringLiteral(" and ");
            p += QStringLiteral(" (t_o.PARENTS_ID CONTAINING '") + Schema::PARENTS_ID_OPEN + id
                 + Schema::PARENTS_ID_CLOSE + QStringLiteral("') ");
        }
        if (!Trim(p).isEmpty())
            memo.add(Trim(p));
    }

    if (!c.typeIds.isEmpty()) {
        memo.openBlock();
        QStringList escaped;
        for (const QString &id : c.typeIds)
            escaped << literal(id);
        memo.add(QStringLiteral("t_o.ID_TYPE IN (") + Trim(JoinList(escaped, QStringLiteral("'"), false))
                 + QStringLiteral(")"));
        memo.closeBlock();
    }

    if (c.refIndex == 1 || c.refIndex == 2) {
        memo.openBlock();
        memo.add(c.refIndex == 1 ? QStringLiteral("t_o.ITS_BASE>0") : QStringLiteral("t_o.ITS_BASE<=0"));
        memo.closeBlock();
    }

    const QString dateColumn = c.datesIndex == 1 ? QStringLiteral("t_o.DATE_2") : QStringLiteral("t_o.DATE_1");
    if (c.date1) {
        memo.openBlock();
        memo.add(dateColumn + QStringLiteral(">='") + NormalizedDateStr(c.date1Text) + QStringLiteral("'"));
        if (c.date2) {
            memo.add(QStringLiteral("and"));
            memo.add(dateColumn + QStringLiteral("<='") + NormalizedDateStr(c.date2Text) + QStringLiteral("'"));
        }
        memo.closeBlock();
    } else if (c.date2) {
        memo.openBlock();
        memo.add(dateColumn + QStringLiteral("<='") + NormalizedDateStr(c.date2Text) + QStringLiteral("'"));
        memo.closeBlock();
    }

    if (c.findName && !c.nameText.isEmpty()) {
        memo.openBlock();
        memo.add(QStringLiteral("UPPER(t_o.NAME_MAX) CONTAINING UPPER('") + literal(c.nameText) + QStringLiteral("')"));
        memo.closeBlock();
    }
    if (c.findNote && !c.noteText.isEmpty()) {
        memo.openBlock();
        memo.add(QStringLiteral("UPPER(t_o.NOTE) CONTAINING UPPER('") + literal(c.noteText) + QStringLiteral("')"));
        memo.closeBlock();
    }

    if (c.findInfo) {
        QStringList phrases;
        for (const QString &line : c.infoLines)
            if (!Trim(line).isEmpty())
                phrases << Trim(line);
        if (!phrases.isEmpty()) {
            memo.openBlock();
            for (qsizetype i = 0; i < phrases.size(); ++i) {
                if (i > 0)
                    memo.add(QStringLiteral("or"));
                memo.add(QStringLiteral("t_o.INFO CONTAINING '") + literal(phrases[i]) + QStringLiteral("'"));
            }
            memo.closeBlock();
        }
    }

    if (c.abstrIndex == 1 || c.abstrIndex == 2) {
        memo.openBlock();
        memo.add(c.abstrIndex == 1 ? QStringLiteral("ltl.ITS_ABSTRACT<=0") : QStringLiteral("ltl.ITS_ABSTRACT>0"));
        memo.closeBlock();
    }

    if (c.yesPropNumber) {
        QStringList block;
        for (const PropNumberRow &row : c.propRows) {
            if (Trim(row.operation).toUpper() != QStringLiteral("И"))
                continue;
            const QString id = Trim(ExtractWord(CharSets::Blank, Trim(row.companionLine), 2));
            if (id.isEmpty() || id == Schema::NO_ID)
                continue;
            if (!block.isEmpty())
                block << QStringLiteral(" and ");
            block << QStringLiteral("(t_o.ID_THIS IN (SELECT ID_OWNER FROM ") + Schema::OBJECTS_PROP_NUMBER + QStringLiteral(" WHERE");
            block << QStringLiteral(" (ID_PROP='") + literal(id) + QStringLiteral("'  and (PROP_VAL between ")
                         + FormatFloat15(boundValue(row.minText)) + QStringLiteral(" and ")
                         + FormatFloat15(boundValue(row.maxText)) + QStringLiteral(")) ");
            block << QStringLiteral("))");
        }
        if (!block.isEmpty()) {
            if (!memo.isEmpty())
                memo.add(QStringLiteral("AND "));
            for (const QString &line : block)
                memo.add(line);
        }
    }

    result.lines = memo.take();
    return result;
}
