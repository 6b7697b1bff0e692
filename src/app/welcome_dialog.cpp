#include "app/welcome_dialog.h"

#include "widgets/widget_utils.h"
#include "widgets/window_memory.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

QString WelcomeText()
{
    return QStringLiteral(
        "http://veldarunkx.example.org\n"
        "\n"
        "VeldaRunKX.\n"
        "\n"
        "Объектно-ориентированное, предметно-ориентированное\n"
        "хранилище информации длительного хранения.\n"
        "\n"
        "========================================\n"
        "\n"
        "Эта программа - иллюстрирующий пример. Она лишь\n"
        "показывает, как из хранилища отбираются объекты\n"
        "по условиям, которые задает пользователь: по родителю\n"
        "и предкам, типам, периоду актуальности, наименованию,\n"
        "примечанию, детальной информации и численным свойствам.\n"
        "\n"
        "Программа сопровождает изложение принципов построения\n"
        "хранилища, и ее возможности будут расти вместе с ним.\n"
        "\n"
        "Исходный текст программы - рабочая версия.\n"
        "Программа только читает хранилище и ничего\n"
        "в нем не изменяет.\n"
        "\n"
        "Замечания и пожелания будут приняты с благодарностью.\n"
        "\n"
        "========================================\n"
        "\n"
        "С уважением,\n"
        "разработчики VeldaRunKX\n"
        "veldarunkx@example.org\n");
}

TDlg_Enter_In_Application::TDlg_Enter_In_Application(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Dlg_Enter_In_Application"));
    setWindowTitle(QStringLiteral("Привет, как дела ?   :-)"));
    resize(528, 468);
    RememberWindow(this);

    QPalette green = palette();
    green.setColor(QPalette::Window, QColor(204, 255, 204));
    green.setColor(QPalette::Base, QColor(204, 255, 204));

    RE_Info = new QPlainTextEdit(this);
    RE_Info->setObjectName(QStringLiteral("RE_Info"));
    RE_Info->setReadOnly(true);
    RE_Info->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RE_Info->setPalette(green);
    RE_Info->setPlainText(WelcomeText());

    auto *panel = new QWidget(this);
    panel->setFixedHeight(25);
    panel->setAutoFillBackground(true);
    panel->setPalette(green);
    QHBoxLayout *buttons = MakeOkCancelStrip(this, panel, OKBtn, CancelBtn);
    CancelBtn->setVisible(false);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(RE_Info, 1);
    layout->addWidget(panel);
}
