#pragma once
// The welcome dialog shown once the program has started.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TDlg_Enter_In_Application : public QDialog {
    Q_OBJECT
public:
    explicit TDlg_Enter_In_Application(QWidget *parent = nullptr);

    QPlainTextEdit *RE_Info;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

QString WelcomeText();
