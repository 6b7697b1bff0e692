#include "app/store_choice.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

StoreChoiceDialog::StoreChoiceDialog(const QString &demoFolder, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("StoreChoiceDialog"));
    setWindowTitle(QStringLiteral("База данных не открыта"));
    setMinimumWidth(460);
    label = new QLabel(QStringLiteral("База данных не открыта, а без неё программе нечего показать.\n"
                                      "Выберите, что сделать:"),
                       this);
    label->setObjectName(QStringLiteral("label"));
    label->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(label);
    layout->addSpacing(6);
    const auto add = [&](const char *name, const QString &text, const QString &hint, StoreChoice choice) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(hint);
        button->setAutoDefault(false);
        button->setMinimumHeight(button->sizeHint().height() + 6);
        connect(button, &QPushButton::clicked, this, [this, choice] {
            choice_ = choice;
            accept();
        });
        layout->addWidget(button);
        return button;
    };
    const QString where = QStringLiteral("Новая база данных с примерами объектов в папке %1")
                              .arg(QDir::toNativeSeparators(demoFolder));
    createDemoButton = add("createDemoButton", QStringLiteral("Создать демонстрационную базу данных"), where,
                           StoreChoice::CreateDemo);
    auto *whereLabel = new QLabel(where, this);
    whereLabel->setObjectName(QStringLiteral("demoFolderLabel"));
    whereLabel->setWordWrap(true);
    whereLabel->setIndent(8);
    whereLabel->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(whereLabel);
    layout->addSpacing(4);
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
