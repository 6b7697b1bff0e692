#include "query/tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSize = 20;

template <class Draw>
QIcon paint(Draw draw)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return QIcon(pixmap);
}

void sheet(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(150, 150, 200), 1));
    for (qreal y = r.top() + 4; y < r.bottom() - 1; y += 3)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

} // namespace

QIcon ToolIcons::clear()
{
    return paint([](QPainter &p) {
        sheet(p, QRectF(3.5, 2.5, 12, 15));
        p.setPen(QPen(QColor(200, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 9), QPointF(17, 18));
        p.drawLine(QPointF(17, 9), QPointF(8, 18));
    });
}

QIcon ToolIcons::generate()
{
    return paint([](QPainter &p) {
        sheet(p, QRectF(2.5, 2.5, 12, 15));
        QPainterPath bolt;
        bolt.moveTo(13, 5);
        bolt.lineTo(8.5, 12);
        bolt.lineTo(12, 12);
        bolt.lineTo(10, 19);
        bolt.lineTo(17, 10);
        bolt.lineTo(13.5, 10);
        bolt.lineTo(16, 5);
        bolt.closeSubpath();
        p.setPen(QPen(QColor(150, 100, 0), 1));
        p.setBrush(QColor(255, 200, 0));
        p.drawPath(bolt);
    });
}

QIcon ToolIcons::run()
{
    return paint([](QPainter &p) {
        QPainterPath triangle;
        triangle.moveTo(5, 3);
        triangle.lineTo(17, 10);
        triangle.lineTo(5, 17);
        triangle.closeSubpath();
        p.setPen(QPen(QColor(0, 100, 0), 1));
        p.setBrush(QColor(40, 180, 40));
        p.drawPath(triangle);
    });
}

QIcon ToolIcons::copy()
{
    return paint([](QPainter &p) {
        sheet(p, QRectF(2.5, 2.5, 10, 12));
        sheet(p, QRectF(7.5, 6.5, 10, 12));
        p.setPen(QPen(QColor(0, 0, 160), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 12), QPointF(18, 6));
        p.drawLine(QPointF(18, 6), QPointF(14, 6));
        p.drawLine(QPointF(18, 6), QPointF(18, 10));
    });
}

QIcon ToolIcons::paste()
{
    return paint([](QPainter &p) {
        p.setPen(QPen(QColor(110, 70, 20), 1));
        p.setBrush(QColor(190, 140, 70));
        p.drawRoundedRect(QRectF(3.5, 3.5, 13, 15), 1.5, 1.5);
        sheet(p, QRectF(6.5, 6.5, 7, 10));
        p.setPen(QPen(QColor(80, 80, 80), 1));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(7.5, 1.5, 5, 4));
    });
}

QIcon ToolIcons::save()
{
    return paint([](QPainter &p) {
        p.setPen(QPen(QColor(20, 40, 100), 1));
        p.setBrush(QColor(60, 90, 170));
        p.drawRoundedRect(QRectF(2.5, 2.5, 15, 15), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 2.5, 9, 6));
        p.setBrush(QColor(190, 190, 190));
        p.drawRect(QRectF(5.5, 11.5, 9, 6));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 90, 170));
        p.drawRect(QRectF(11, 3.5, 2, 4));
    });
}

QIcon ToolIcons::open()
{
    return paint([](QPainter &p) {
        p.setPen(QPen(QColor(140, 100, 20), 1));
        p.setBrush(QColor(230, 190, 90));
        QPainterPath back;
        back.moveTo(2.5, 16.5);
        back.lineTo(2.5, 4.5);
        back.lineTo(7.5, 4.5);
        back.lineTo(9, 6.5);
        back.lineTo(15.5, 6.5);
        back.lineTo(15.5, 16.5);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(QColor(250, 215, 120));
        QPainterPath front;
        front.moveTo(2.5, 16.5);
        front.lineTo(5, 9.5);
        front.lineTo(18.5, 9.5);
        front.lineTo(15.5, 16.5);
        front.closeSubpath();
        p.drawPath(front);
    });
}
