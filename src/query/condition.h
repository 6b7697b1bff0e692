#pragma once
// The SQL condition of the filter page as a plain function of its criteria.

#include <QString>
#include <QStringList>
#include <vector>

// One row of the numeric property grid as the generator reads it.
struct PropNumberRow {
    QString operation;     // column 0: "И"
    QString companionLine; // the row's hidden line: word 2 is the property identifier
    QString maxText;       // column 2, "ЗначMax", as typed
    QString minText;       // column 3, "ЗначMin", as typed
};

struct FilterCriteria {
    QString parentId;
    bool yesParent = false;
    bool yesAncestor = false;
    QStringList typeIds; // identifiers of the ticked types, in list order
    int refIndex = 0;    // 0 all, 1 base, 2 reference objects
    bool date1 = false;
    QString date1Text;
    bool date2 = false;
    QString date2Text;
    int datesIndex = 0; // 0 DATE_1, 1 DATE_2
    bool findName = false;
    QString nameText;
    bool findNote = false;
    QString noteText;
    bool findInfo = false;
    QStringList infoLines;
    int abstrIndex = 0; // 0 all, 1 not abstract, 2 abstract
    bool yesPropNumber = false;
    std::vector<PropNumberRow> propRows; // data rows 1.. of the grid
};

struct ConditionResult {
    QStringList lines;           // the memo's new lines
    FilterCriteria normalized;   // texts trimmed, rejected date bounds unticked
};

// Builds the condition. Values typed by the user are pasted between single
// quotes with every quote inside doubled; period bounds are written as
// dd.mm.yyyy; numeric bounds in the program's number format.
ConditionResult BuildCondition(const FilterCriteria &criteria);
