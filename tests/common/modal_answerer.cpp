#include "modal_answerer.h"

#include "widgets/wait_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTest>

void ChooseRow(QAbstractItemView *view, int row, bool enter)
{
    QAbstractItemModel *model = view->model();
    while (row >= model->rowCount() && model->canFetchMore(QModelIndex())) // the rows are fetched as shown
        model->fetchMore(QModelIndex());
    const QModelIndex index = model->index(row, 1);
    view->setFocus();
    if (enter) {
        view->setCurrentIndex(index);
        QTest::keyClick(view, Qt::Key_Return);
        return;
    }
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

ModalAnswerer::ModalAnswerer(std::function<void(QWidget *)> handler) : handler_(std::move(handler))
{
    connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::poll);
    timer_.start(15);
}

void ModalAnswerer::accept(QWidget *modal)
{
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        box->done(QMessageBox::Ok);
    } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
        dialog->accept();
    }
}

void ModalAnswerer::reject(QWidget *modal)
{
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
}

void ModalAnswerer::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal == last_) {
        // A window nobody closes would hold the test until CTest gives up:
        // stop at once, naming it.
        // The wait window closes by itself when the work it stands for ends.
        const int limit = qobject_cast<StoreWaitDialog *>(modal) ? kWaitStuckMs : kStuckMs;
        if (since_.elapsed() > limit)
            qFatal("ModalAnswerer: the modal window \"%s\" (%s, \"%s\") is still open after %d ms; seen: %s",
                   qPrintable(modal->objectName()), modal->metaObject()->className(),
                   qPrintable(modal->windowTitle()), limit, qPrintable(seen.join(QStringLiteral(" | "))));
        return;
    }
    if (!modal)
        return;
    last_ = modal;
    since_.start();
    if (auto *box = qobject_cast<QMessageBox *>(modal))
        seen << box->text();
    else
        seen << modal->objectName();
    // Answer from a fresh event, so that a window the handler opens in turn
    // (a nested modal loop) is seen by the next poll.
    QTimer::singleShot(0, this, [this, window = QPointer<QWidget>(modal)] {
        if (!window)
            return;
        if (handler_)
            handler_(window);
        else
            accept(window);
    });
}
