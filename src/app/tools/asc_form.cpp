#include "app/tools/asc_form.h"

#include "app/shell/bring_to_front.h"

#include "tools/ascii_table.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kMargin = 12;
constexpr int kHeadingHeight = 40;
constexpr int kHeaderHeight = 20;
constexpr int kRowHeight = 16;
constexpr int kTextPixels = 10;
constexpr int kCellPadding = 10;

QFont TableFont()
{
    QFont font;
    font.setPixelSize(kTextPixels);
    return font;
}

QFont HeadingFont()
{
    QFont font;
    font.setPixelSize(20);
    font.setBold(true);
    return font;
}

} // namespace

TAscForm::TAscForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("AscForm");
    setWindowTitle("ASCII");
    setWindowFlags(
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);

    const QFontMetrics metrics(TableFont());
    decWidth_ = std::max(66, metrics.horizontalAdvance("Dec. Value") + kCellPadding);
    charWidth_ = std::max({ 78, metrics.horizontalAdvance("(space)") + kCellPadding,
        metrics.horizontalAdvance("Char") + kCellPadding });
    const int width = 2 * kMargin + kAsciiColumnPairs * (decWidth_ + charWidth_);
    setFixedSize(std::max(kPictureSize.width(), width), kPictureSize.height());
}

void TAscForm::ShowWindow()
{
    ShowOrBringToFront(this);
}

void TAscForm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);
    p.setFont(HeadingFont());
    p.drawText(QRect(0, 0, width(), kHeadingHeight), Qt::AlignCenter, "ASCII");

    const int pairWidth = decWidth_ + charWidth_;
    const int left = (width() - kAsciiColumnPairs * pairWidth) / 2;
    const int top = kHeadingHeight;
    const int right = left + kAsciiColumnPairs * pairWidth;
    const int bottom = top + kHeaderHeight + kAsciiRows * kRowHeight;

    p.fillRect(QRect(left, top, right - left, kHeaderHeight), QColor(0xE0, 0xE0, 0xE0));
    // Rules: a frame, a line under the header and each row, and the column lines;
    // the lines between pairs are drawn stronger.
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
    for (int row = 0; row <= kAsciiRows; ++row) {
        const int y = top + kHeaderHeight + row * kRowHeight;
        p.drawLine(left, y, right, y);
    }
    for (int pair = 0; pair < kAsciiColumnPairs; ++pair)
        p.drawLine(
            left + pair * pairWidth + decWidth_, top, left + pair * pairWidth + decWidth_, bottom);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(QRect(left, top, right - left, bottom - top));
    for (int pair = 1; pair < kAsciiColumnPairs; ++pair)
        p.drawLine(left + pair * pairWidth, top, left + pair * pairWidth, bottom);

    p.setPen(Qt::black);
    p.setFont(TableFont());
    for (int pair = 0; pair < kAsciiColumnPairs; ++pair) {
        const int x = left + pair * pairWidth;
        p.drawText(QRect(x, top, decWidth_, kHeaderHeight), Qt::AlignCenter, "Dec. Value");
        p.drawText(QRect(x + decWidth_, top, charWidth_, kHeaderHeight), Qt::AlignCenter, "Char");
        for (int row = 0; row < kAsciiRows; ++row) {
            // One pixel up: descenders such as "_" stay clear of the rule below.
            const int y = top + kHeaderHeight + row * kRowHeight - 1;
            const int code = AsciiCodeAt(pair, row);
            p.drawText(QRect(x, y, decWidth_, kRowHeight), Qt::AlignCenter, QString::number(code));
            p.drawText(QRect(x + decWidth_, y, charWidth_, kRowHeight), Qt::AlignCenter,
                QString::fromLatin1(AsciiLabel(code)));
        }
    }
}
