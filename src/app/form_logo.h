#pragma once
// The splash window shown while the program starts and connects.

#include <QWidget>

class QLabel;

class TForm_Logo : public QWidget {
    Q_OBJECT
public:
    explicit TForm_Logo(QWidget *parent = nullptr);
    // Sets the status line and lets the window repaint at once.
    void setState(const QString &text);

    QLabel *lbl3;
    QLabel *lbl1;
    QLabel *lbl2;
    QLabel *lbl_State;
};
