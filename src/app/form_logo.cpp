#include "app/form_logo.h"

#include "widgets/widget_utils.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

static void initResources()
{
    Q_INIT_RESOURCE(app);
}

TForm_Logo::TForm_Logo(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    initResources();
    setObjectName(QStringLiteral("Form_Logo"));
    setFixedSize(370, 98);

    auto *bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bevel->setLineWidth(1);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(bevel);

    auto *picture = new QLabel(bevel);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setFixedWidth(49);
    picture->setPixmap(QPixmap(QStringLiteral(":/app/logo.jpg")));
    picture->setScaledContents(true);
    picture->setToolTip(QStringLiteral("VeldaRunKX: хранилище объектов"));

    auto *text = new QWidget(bevel);
    text->setAutoFillBackground(true);
    QPalette white = text->palette();
    white.setColor(QPalette::Window, Qt::white);
    text->setPalette(white);

    auto label = [text](const char *name, const QString &caption, const QColor &color, int points, bool bold) {
        QLabel *l = MakeLabel(text, name, caption, color, points, bold);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    lbl3 = label("lbl3", QStringLiteral("VeldaRunKX."), QColor(0, 0, 128), 10, true);
    lbl3->setFixedHeight(16);
    lbl1 = label("lbl1", QStringLiteral("Идет инициализация приложения и подключение к базе данных ..."),
                 QColor(128, 0, 0), 10, false);
    lbl1->setWordWrap(true);
    lbl2 = label("lbl2", QStringLiteral("Под Windows XP это может занять некоторое время ..."), Qt::black, 8, false);
    lbl2->setWordWrap(true);
    lbl_State = label("lbl_State", QStringLiteral("Инициализация ..."), QColor(0, 128, 0), 8, true);
    lbl_State->setFixedHeight(13);

    auto *textLayout = new QVBoxLayout(text);
    textLayout->setContentsMargins(2, 1, 2, 1);
    textLayout->setSpacing(0);
    textLayout->addWidget(lbl3);
    textLayout->addWidget(lbl1, 1);
    textLayout->addWidget(lbl2);
    textLayout->addWidget(lbl_State);

    auto *inner = new QHBoxLayout(bevel);
    inner->setContentsMargins(1, 1, 1, 1);
    inner->setSpacing(0);
    inner->addWidget(picture);
    inner->addWidget(text, 1);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TForm_Logo::setState(const QString &text)
{
    lbl_State->setText(text);
    lbl_State->repaint();
    QCoreApplication::processEvents();
}
