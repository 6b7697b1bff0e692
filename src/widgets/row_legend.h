#pragma once
// The legend of the row colours ("Цвета строк"): a small window that shows
// each look of the row-colour table with what it means, and the marks of
// the "Детально" column.

#include <QDialog>

class QFont;

class RowLegend : public QDialog {
    Q_OBJECT
public:
    // font: the grid's font, which the samples are drawn in.
    RowLegend(const QFont &font, QWidget *parent = nullptr);
};

// Shows the legend beside the window (one at a time per window; a second
// call brings the open one forward).
void ShowRowLegend(QWidget *window, const QFont &gridFont);
