#include "app/shell/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSize = 32;

QPixmap Canvas()
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void DrawLetters(QPainter &p, const QString &text, const QColor &color, int pixelSize)
{
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(pixelSize);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
}

void DrawPort(QPainter &p, const QColor &lamp)
{
    // A DB9-like connector with a lamp that tells the state.
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(QColor(200, 200, 205));
    QPainterPath shell;
    shell.moveTo(4, 8);
    shell.lineTo(28, 8);
    shell.lineTo(24, 22);
    shell.lineTo(8, 22);
    shell.closeSubpath();
    p.drawPath(shell);
    p.setBrush(QColor(60, 60, 60));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(8.5 + i * 3.75, 12.5), 1.3, 1.3);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(10.5 + i * 3.75, 17.5), 1.3, 1.3);
    p.setBrush(lamp);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.drawEllipse(QPointF(24, 26), 4.5, 4.5);
}

void DrawKind(QPainter &p, IconKind kind)
{
    switch (kind) {
    case IconKind::Save:
        p.setPen(QPen(QColor(30, 60, 120), 2));
        p.setBrush(QColor(70, 120, 200));
        p.drawRoundedRect(5, 5, 22, 22, 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(9, 5, 14, 8);
        p.drawRect(9, 18, 14, 9);
        break;
    case IconKind::PortClosed:
        DrawPort(p, QColor(210, 40, 40));
        break;
    case IconKind::PortOpen:
        DrawPort(p, QColor(40, 190, 60));
        break;
    case IconKind::Pause:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 130, 20));
        p.drawRect(8, 6, 6, 20);
        p.drawRect(18, 6, 6, 20);
        break;
    case IconKind::SendWindow:
        p.setPen(QPen(QColor(60, 60, 60), 2));
        p.setBrush(Qt::white);
        p.drawRect(5, 4, 18, 24);
        p.setPen(QPen(QColor(0, 0, 200), 2));
        for (int y = 10; y <= 22; y += 4)
            p.drawLine(9, y, 19, y);
        p.setPen(QPen(QColor(0, 140, 0), 3));
        p.drawLine(18, 20, 29, 20);
        p.drawLine(25, 16, 29, 20);
        p.drawLine(25, 24, 29, 20);
        break;
    case IconKind::FindWindow:
        p.setPen(QPen(QColor(50, 50, 50), 3));
        p.setBrush(QColor(220, 235, 250));
        p.drawEllipse(5, 5, 15, 15);
        p.drawLine(18, 18, 27, 27);
        break;
    case IconKind::Converter:
        DrawLetters(p, "0x", QColor(120, 40, 140), 16);
        break;
    case IconKind::DisplayTime:
        p.setPen(QPen(QColor(50, 50, 50), 2));
        p.setBrush(Qt::white);
        p.drawEllipse(4, 4, 24, 24);
        p.drawLine(16, 16, 16, 8);
        p.drawLine(16, 16, 22, 19);
        break;
    case IconKind::DisplaySending:
        DrawLetters(p, "Tx", QColor(200, 0, 0), 15);
        break;
    case IconKind::WordWrap:
        p.setPen(QPen(QColor(50, 50, 50), 2));
        p.drawLine(4, 8, 26, 8);
        p.drawArc(16, 8, 12, 12, 90 * 16, -180 * 16);
        p.drawLine(22, 20, 8, 20);
        p.drawLine(8, 20, 12, 16);
        p.drawLine(8, 20, 12, 24);
        break;
    case IconKind::Filter: {
        p.setPen(QPen(QColor(40, 40, 40), 2));
        p.setBrush(QColor(120, 170, 230));
        QPainterPath funnel;
        funnel.moveTo(4, 6);
        funnel.lineTo(28, 6);
        funnel.lineTo(19, 17);
        funnel.lineTo(19, 27);
        funnel.lineTo(13, 24);
        funnel.lineTo(13, 17);
        funnel.closeSubpath();
        p.drawPath(funnel);
        break;
    }
    case IconKind::AsciiReceive:
        DrawLetters(p, "Aa", QColor(0, 0, 160), 16);
        break;
    case IconKind::ClearScreen:
        p.setPen(QPen(QColor(60, 60, 60), 2));
        p.setBrush(Qt::white);
        p.drawRect(5, 4, 20, 24);
        p.setPen(QPen(QColor(210, 40, 40), 3));
        p.drawLine(14, 14, 28, 28);
        p.drawLine(28, 14, 14, 28);
        break;
    }
}

} // namespace

QIcon MakeIcon(IconKind kind)
{
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawKind(p, kind);
    p.end();
    return QIcon(pixmap);
}

QIcon MakeColorIcon(const QColor &color)
{
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(color);
    p.drawRect(5, 5, 21, 21);
    p.end();
    return QIcon(pixmap);
}
