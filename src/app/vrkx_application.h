#pragma once
// The application object: the toolkit's own texts in Russian, and an error
// that still reaches the event loop (every handler reports its own errors
// first) shown in a message box with its text; the program goes on.

#include <QApplication>
#include <QTranslator>
#include <memory>

class VrkxApplication : public QApplication {
    Q_OBJECT
public:
    VrkxApplication(int &argc, char **argv);
    ~VrkxApplication() override;
    bool notify(QObject *receiver, QEvent *event) override;

private:
    std::unique_ptr<QTranslator> toolkitTextsRu_;
    QTranslator qtTranslator_;
};
