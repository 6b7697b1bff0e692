#pragma once
// Finding a row of a data grid by its text: the find line ("Найти:") a
// window shows under its grid, and the search itself, which goes through the
// fetched rows and on into the rows still coming.

#include <QString>
#include <QWidget>

class DbGrid;
class QLabel;
class QLineEdit;
class QToolButton;

// Whether a row's cell holds the text: letter case is ignored (Russian
// letters too).
bool CellMatches(const QString &cell, const QString &text);

enum class FindOutcome {
    Found,    // a following row (a preceding one, going back)
    Wrapped,  // found after going round from the end to the start
    NotFound, // no row holds the text
    Cancelled // the user stopped the waiting for rows still coming
};

// Makes current the next row after the current one (the previous one when
// backwards) that holds the text in any of its visible cells, the cell that
// holds it the current cell. Forwards, the rows still coming are waited for
// under the wait window before the search goes round to the first row;
// backwards it goes round to the last row fetched. The detailed text of a
// memo column is not read from the store: only what the cells show counts.
FindOutcome FindInGrid(DbGrid *grid, const QString &text, bool forward = true);

// The find line: "Найти:", the text, buttons for the next and the previous
// row and one that closes the line, and what the last search gave. Enter
// finds the next row and Escape closes the line; neither goes further (to
// the window's default or cancel button).
class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget *parent = nullptr);

    QString text() const;
    // Shows the line with its text selected, for typing over.
    void open();
    // What the search gave, beside the text ("Не найдено" on red).
    void showOutcome(FindOutcome outcome);

    QLabel *label;
    QLineEdit *edit;
    QToolButton *nextButton;
    QToolButton *previousButton;
    QToolButton *closeButton;
    QLabel *outcome;

signals:
    void findNext();
    void findPrevious();
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
