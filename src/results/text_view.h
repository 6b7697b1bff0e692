#pragma once
// The viewer of one text: a heading, the whole text, OK.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TDlg_TextView : public QDialog {
    Q_OBJECT
public:
    explicit TDlg_TextView(QWidget *parent = nullptr);

    QLabel *Label_Head;
    QPlainTextEdit *RE_Info;
    QPushButton *OKButton;
    QPushButton *CancelButton;
};

// Shows the text under the heading; true when closed with OK.
bool ShowText(const QString &head, const QString &text);
