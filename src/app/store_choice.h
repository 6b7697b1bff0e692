#pragma once
// The choice offered when no store could be opened at start (the remembered
// one is missing or unreadable, or there is none, as on an installed
// program's first start): make the demonstration store, open a store file,
// choose from the database list, or go on without a store.

#include <QDialog>

class QLabel;
class QPushButton;

enum class StoreChoice { CreateDemo, OpenFile, ChooseFromList, GoOn };

class StoreChoiceDialog : public QDialog {
    Q_OBJECT
public:
    // demoFolder is named as where the demonstration store will be made.
    StoreChoiceDialog(const QString &demoFolder, QWidget *parent = nullptr);

    // What the user chose; GoOn also when the window was closed.
    StoreChoice choice() const { return choice_; }

    QLabel *label;
    QPushButton *createDemoButton;
    QPushButton *openFileButton;
    QPushButton *chooseFromListButton;
    QPushButton *goOnButton;

private:
    StoreChoice choice_ = StoreChoice::GoOn;
};

// Shows the choice modally and returns it.
StoreChoice AskStoreChoice(const QString &demoFolder, QWidget *parent = nullptr);
