#pragma once
// The application object: an error that leaves an event handler is shown in
// a message box with its text, and the program goes on.

#include <QApplication>

class VrkxApplication : public QApplication {
    Q_OBJECT
public:
    VrkxApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
