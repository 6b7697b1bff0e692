#include "results/text_view.h"

#include "support/str_utils.h"

#include "widgets/widget_utils.h"
#include "widgets/window_memory.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

TDlg_TextView::TDlg_TextView(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Dlg_TextView"));
    setWindowTitle(QStringLiteral("Текст"));
    resize(452, 338);
    RememberWindow(this);
    Label_Head = new QLabel(this);
    Label_Head->setObjectName(QStringLiteral("Label_Head"));
    QFont bold = Label_Head->font();
    bold.setBold(true);
    Label_Head->setFont(bold);
    RE_Info = new QPlainTextEdit(this);
    RE_Info->setObjectName(QStringLiteral("RE_Info"));
    RE_Info->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *buttons = new QWidget(this);
    MakeOkCancelStrip(this, buttons, OKButton, CancelButton, "OKButton", "CancelButton")->setContentsMargins(0, 0, 0, 0);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(Label_Head);
    layout->addWidget(RE_Info, 1);
    layout->addWidget(buttons);
}

bool ShowText(const QString &head, const QString &text)
{
    auto dialog = std::make_unique<TDlg_TextView>();
    dialog->CancelButton->setVisible(false);
    dialog->Label_Head->setText(Trim(head));
    dialog->RE_Info->setPlainText(text);
    return dialog->exec() == QDialog::Accepted;
}
