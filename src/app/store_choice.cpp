#include "app/store_choice.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

StoreChoiceDialog::StoreChoiceDialog(const QString &demoFolder, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("StoreChoiceDialog"));
    setWindowTitle(QStringLiteral("База данных не открыта"));
    label = new QLabel(QStringLiteral("Программа работает с базой данных, а открыть её не удалось.\n"
                                      "Что сделать?"),
                       this);
    label->setObjectName(QStringLiteral("label"));
    label->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addSpacing(6);
    const auto add = [&](const char *name, const QString &text, const QString &hint, StoreChoice choice) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(hint);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, choice] {
            choice_ = choice;
            accept();
        });
        layout->addWidget(button);
        return button;
    };
    createDemoButton = add("createDemoButton", QStringLiteral("Создать демонстрационную базу данных"),
                           QStringLiteral("Новая база с примерами объектов в папке %1")
                               .arg(QDir::toNativeSeparators(demoFolder)),
                           StoreChoice::CreateDemo);
    openFileButton = add("openFileButton", QStringLiteral("Открыть файл базы данных ..."),
                         QStringLiteral("Выбрать файл *.gdb или *.fdb"), StoreChoice::OpenFile);
    chooseFromListButton = add("chooseFromListButton", QStringLiteral("Выбрать из списка баз данных ..."),
                               QStringLiteral("Список доступных баз данных"), StoreChoice::ChooseFromList);
    goOnButton = add("goOnButton", QStringLiteral("Продолжить без базы данных"),
                     QStringLiteral("Базу данных можно открыть позже в меню \"База данных\""), StoreChoice::GoOn);
    createDemoButton->setDefault(true);
    createDemoButton->setFocus();
    // Closed without a choice: the user goes on without a store.
    connect(this, &QDialog::rejected, this, [this] { choice_ = StoreChoice::GoOn; });
}

StoreChoice AskStoreChoice(const QString &demoFolder, QWidget *parent)
{
    StoreChoiceDialog dialog(demoFolder, parent);
    dialog.exec();
    return dialog.choice();
}
