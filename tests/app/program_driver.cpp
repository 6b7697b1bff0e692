// Drives the real program for the tests that run it: loaded into it with
// LD_PRELOAD, it starts when the application object does, and goes the way
// VRKX_TEST_DRIVE says (read by this library, never by the program):
//   watch         only says what it sees
//   export-xlsx   answers the welcome window, runs a condition that finds
//   export-html   every object, and exports the result
// On standard output it says "wait" once the wait window shows, and
// "exporting" once that window counts the rows written, so that a test can
// signal the program at that moment. The program itself is not changed: the
// library finds its windows by their names and presses their buttons.

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

void say(const char *what)
{
    std::printf("%s\n", what);
    std::fflush(stdout);
}

bool is(const QWidget *w, const char *className)
{
    return qstrcmp(w->metaObject()->className(), className) == 0;
}

void clickLater(QAbstractButton *button)
{
    if (button)
        QMetaObject::invokeMethod(button, "click", Qt::QueuedConnection);
}

class Driver : public QObject {
public:
    explicit Driver(QString mode) : QObject(qApp), mode_(std::move(mode))
    {
        connect(&timer_, &QTimer::timeout, this, &Driver::poll);
        timer_.start(50);
    }

private:
    void poll()
    {
        const QWidget *modal = QApplication::activeModalWidget();
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows) {
            if (!w->isVisible())
                continue;
            if (is(w, "StoreWaitDialog")) {
                if (!saidWait_) {
                    saidWait_ = true;
                    say("wait");
                }
                const auto *label = w->findChild<QLabel *>(QStringLiteral("WaitLabel"));
                if (!saidExporting_ && label && label->text().startsWith(QStringLiteral("Записано строк"))) {
                    saidExporting_ = true;
                    say("exporting");
                }
            } else if (!mode_.startsWith(QLatin1String("export"))) {
                continue;
            } else if (is(w, "QMessageBox") && modal == w) {
                // Not on the way of an export: said, and answered.
                if (const auto *text = w->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
                    std::printf("said %s\n", qPrintable(text->text().left(200).replace('\n', ' ')));
                QMetaObject::invokeMethod(w, "accept", Qt::QueuedConnection);
            } else if (is(w, "TDlg_Enter_In_Application") && modal == w) {
                QMetaObject::invokeMethod(w, "accept", Qt::QueuedConnection);
            } else if (is(w, "TForm1") && !modal && stage_ == 0) {
                const auto *store = w->findChild<QLabel *>(QStringLiteral("Label_GDB"));
                // The store's path shows once it is open ("..." before, "???" without one).
                if (!store || QStringList{"", "...", "???"}.contains(store->text()))
                    continue;
                stage_ = 1;
                w->findChild<QPlainTextEdit *>(QStringLiteral("Memo_SQL"))->setPlainText(QStringLiteral("t_o.ID_THIS > ''"));
                const QList<QAbstractButton *> runs = w->findChildren<QAbstractButton *>(QStringLiteral("SpeedButton3"));
                for (QAbstractButton *b : runs)
                    if (b->toolTip().startsWith(QStringLiteral("Открыть набор данных")))
                        clickLater(b);
            } else if (is(w, "TDlg_ViewQuery_Objects") && modal == w && stage_ == 1) {
                stage_ = 2;
                clickLater(w->findChild<QAbstractButton *>(mode_ == QLatin1String("export-xlsx") ? QStringLiteral("SpeedButton2")
                                                                                                 : QStringLiteral("SpeedButton3")));
            }
        }
    }

    QString mode_;
    QTimer timer_;
    int stage_ = 0;
    bool saidWait_ = false;
    bool saidExporting_ = false;
};

void startDriver()
{
    const QString mode = qEnvironmentVariable("VRKX_TEST_DRIVE");
    if (!mode.isEmpty() && qobject_cast<QApplication *>(QCoreApplication::instance()))
        new Driver(mode);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startDriver)
