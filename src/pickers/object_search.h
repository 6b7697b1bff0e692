#pragma once
// The object picker's search: its condition from the filter controls, and
// the statement around it.

#include <QString>
#include <QStringList>

struct ObjectSearchCriteria {
    bool base = true;          // "Базовые"
    bool reference = false;    // "Ссылочные"
    bool byType = false;       // "Тип :"
    QString typeId;            // trimmed
    bool byName = false;       // "Наименование"
    bool containing = true;    // "Искать вхождения ..."
    QString fragment;          // trimmed
    bool descendants = false;  // "Использовать выбранный объект, как предка"
    QString chosenId;          // trimmed
};

// The parts that hold, each as " (" ... ") ", joined by " and "; empty when
// none holds. Texts pasted between quotes get their quotes doubled.
QString ObjectSearchCondition(const ObjectSearchCriteria &c);
// The statement lines; "WHERE " and the condition only for a condition.
QStringList ObjectSearchLines(const QString &condition);
