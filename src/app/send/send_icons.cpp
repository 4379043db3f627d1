#include "app/send/send_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

using Glyph = std::function<void(QPainter &)>;

const QColor kInk(40, 60, 110);
const QColor kAccent(0, 120, 215);

// Draws a glyph laid out on a 16 x 16 grid at 16 and 32 pixels.
QIcon DrawIcon(const Glyph &glyph)
{
    QIcon icon;
    for (int size : { 16, 32 }) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        glyph(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPen InkPen(const QColor &color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

QIcon SendLineIcon()
{
    return DrawIcon([](QPainter &p) {
        p.setPen(InkPen(kInk, 1.5));
        p.drawLine(QPointF(2, 4), QPointF(7, 4));
        p.drawLine(QPointF(2, 8), QPointF(6, 8));
        p.drawLine(QPointF(2, 12), QPointF(7, 12));
        QPainterPath arrow;
        arrow.moveTo(8, 4.5);
        arrow.lineTo(14.5, 8);
        arrow.lineTo(8, 11.5);
        arrow.closeSubpath();
        p.setPen(InkPen(kAccent, 1));
        p.setBrush(kAccent);
        p.drawPath(arrow);
    });
}

QIcon LoopSendIcon()
{
    return DrawIcon([](QPainter &p) {
        p.setPen(InkPen(kAccent, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 300 * 16);
        QPainterPath head;
        head.moveTo(10.2, 0.8);
        head.lineTo(13.8, 3.6);
        head.lineTo(9.6, 5.6);
        head.closeSubpath();
        p.setPen(InkPen(kAccent, 1));
        p.setBrush(kAccent);
        p.drawPath(head);
    });
}

QIcon TriggerSendIcon()
{
    return DrawIcon([](QPainter &p) {
        QPainterPath bolt;
        bolt.moveTo(9.5, 1);
        bolt.lineTo(3.5, 9);
        bolt.lineTo(7.5, 9);
        bolt.lineTo(6, 15);
        bolt.lineTo(12.5, 6.5);
        bolt.lineTo(8.5, 6.5);
        bolt.closeSubpath();
        p.setPen(InkPen(QColor(160, 100, 0), 0.8));
        p.setBrush(QColor(245, 180, 20));
        p.drawPath(bolt);
    });
}

QIcon ChecksumIcon()
{
    return DrawIcon([](QPainter &p) {
        p.setPen(InkPen(kInk, 1.8));
        p.setBrush(Qt::NoBrush);
        const QPointF sigma[] = { { 12.5, 4 }, { 12.5, 2.5 }, { 3.5, 2.5 }, { 8.5, 8 },
            { 3.5, 13.5 }, { 12.5, 13.5 }, { 12.5, 12 } };
        p.drawPolyline(sigma, int(std::size(sigma)));
    });
}

QIcon AsciiSendIcon()
{
    return DrawIcon([](QPainter &p) {
        p.setPen(InkPen(kInk, 1.8));
        const QPointF letter[] = { { 3.5, 12 }, { 8, 2 }, { 12.5, 12 } };
        p.drawPolyline(letter, int(std::size(letter)));
        p.drawLine(QPointF(5.5, 8.5), QPointF(10.5, 8.5));
        p.setPen(InkPen(kAccent, 1.5));
        p.drawLine(QPointF(2, 14.5), QPointF(14, 14.5));
    });
}
