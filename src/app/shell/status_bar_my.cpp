#include "app/shell/status_bar_my.h"

#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>

namespace {

constexpr int kBarHeight = 23;
// From this width on the lamps keep a fixed distance from the right edge,
// leaving room for the size grip.
constexpr int kRightAnchoredFromWidth = 666;
constexpr int kRightGap = 23;

struct PanelLayout
{
    int Width;
    const char *Text;
};

constexpr PanelLayout kPanels[TStatusBarMY::kPanelCount] = {
    { 110, "F1 for help" },
    { 100, "TX: 65536 " },
    { 100, "RX: 65536" },
    { 200, "Hex: Ln:     Col:     Sel:       " },
    { 100, "" },
};

constexpr const char *kLampTexts[] = { "DTR", "RTS", "DSR", "CTS", "RLSD" };
constexpr int kLampMargin = 4;
constexpr int kLampSpacing = 4;
constexpr int kDividerWidth = 2;

int LampRowWidth(const QFont &font)
{
    const QFontMetrics metrics(font);
    int width = 2 * kLampMargin + kDividerWidth + 5 * kLampSpacing;
    for (const char *text : kLampTexts)
        width += metrics.horizontalAdvance(QString::fromLatin1(text));
    return width;
}

// The lamp labels use the bar's font, made smaller where needed so that all
// five fit into the panel with the platform's default font.
QFont LampFont(QFont font)
{
    qreal points = std::min<qreal>(font.pointSizeF() > 0 ? font.pointSizeF() : 9.0, 9.0);
    for (; points > 6.0; points -= 0.5) {
        font.setPointSizeF(points);
        if (LampRowWidth(font) <= TStatusBarMY::kIndicatorWidth)
            break;
    }
    font.setPointSizeF(points);
    return font;
}

} // namespace

TStatusBarMY::TStatusBarMY(QWidget *parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBarMY"));
    setFixedHeight(kBarHeight);
    CreatePanels();
    CreateIndicatorPanel();
}

void TStatusBarMY::CreatePanels()
{
    for (int index = 0; index < kPanelCount; ++index) {
        auto *panel = new QLabel(QString::fromLatin1(kPanels[index].Text), this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(index));
        // Panels keep their width while there is room and give way in a narrow
        // window, so the window can still be placed on half a small screen.
        panel->setMinimumWidth(1);
        panel->setMaximumWidth(kPanels[index].Width);
        panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        panel->setIndent(3);
        panel->setTextFormat(Qt::PlainText);
        // The reserved panel lies under the lamps and has no frame of its own.
        if (index < kPanelCount - 1)
            panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        addWidget(panel);
        panels_[size_t(index)] = panel;
    }
}

QLabel *TStatusBarMY::CreateLamp(const char *name, const QString &text)
{
    auto *lamp = new QLabel(text, indicatorPanel_);
    lamp->setObjectName(QString::fromLatin1(name));
    lamp->setAlignment(Qt::AlignCenter);
    lamp->setTextFormat(Qt::PlainText);
    lamp->setEnabled(false);
    return lamp;
}

void TStatusBarMY::CreateIndicatorPanel()
{
    indicatorPanel_ = new QWidget(this);
    indicatorPanel_->setObjectName(QStringLiteral("IndicatorPanel"));
    indicatorPanel_->setFixedSize(kIndicatorWidth, kIndicatorHeight);
    indicatorPanel_->setFont(LampFont(font()));

    lampDtr_ = CreateLamp("LampDTR", QStringLiteral("DTR"));
    lampRts_ = CreateLamp("LampRTS", QStringLiteral("RTS"));
    lampDsr_ = CreateLamp("LampDSR", QStringLiteral("DSR"));
    lampCts_ = CreateLamp("LampCTS", QStringLiteral("CTS"));
    lampRlsd_ = CreateLamp("LampRLSD", QStringLiteral("RLSD"));

    // The lines this end drives, then those the other end drives.
    auto *divider = new QFrame(indicatorPanel_);
    divider->setObjectName(QStringLiteral("LampDivider"));
    divider->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    divider->setFixedWidth(kDividerWidth);

    auto *layout = new QHBoxLayout(indicatorPanel_);
    layout->setContentsMargins(kLampMargin, 1, kLampMargin, 1);
    layout->setSpacing(kLampSpacing);
    layout->addWidget(lampDtr_, 1);
    layout->addWidget(lampRts_, 1);
    layout->addWidget(divider);
    layout->addWidget(lampDsr_, 1);
    layout->addWidget(lampCts_, 1);
    layout->addWidget(lampRlsd_, 1);

    indicatorPanel_->raise();
}

void TStatusBarMY::SetPanelText(int panel, const QString &text)
{
    // The status tick sets every panel 20 times a second; an unchanged one must
    // not cost a repaint.
    QLabel *label = Panel(panel);
    if (label && label->text() != text)
        label->setText(text);
}

QString TStatusBarMY::PanelText(int panel) const
{
    const QLabel *label = Panel(panel);
    return label ? label->text() : QString();
}

QLabel *TStatusBarMY::Panel(int panel) const
{
    return panel >= 0 && panel < kPanelCount ? panels_[size_t(panel)] : nullptr;
}

void TStatusBarMY::SetLamps(bool dtr, bool rts, bool dsr, bool cts, bool rlsd)
{
    lampDtr_->setEnabled(dtr);
    lampRts_->setEnabled(rts);
    lampDsr_->setEnabled(dsr);
    lampCts_->setEnabled(cts);
    lampRlsd_->setEnabled(rlsd);
}

void TStatusBarMY::PlaceIndicatorPanel()
{
    // Never over the text panels: at the latest the lamps start where the
    // reserved panel starts, in a narrow window they are cut off at the right.
    const int reservedLeft = panels_[kPanelCount - 1]->geometry().left();
    int left = reservedLeft;
    if (width() >= kRightAnchoredFromWidth)
        left = std::max(reservedLeft, width() - kIndicatorWidth - kRightGap);
    const int top = std::max(0, (height() - kIndicatorHeight + 1) / 2);
    indicatorPanel_->move(left, top);
    indicatorPanel_->raise();
}

void TStatusBarMY::resizeEvent(QResizeEvent *event)
{
    QStatusBar::resizeEvent(event);
    PlaceIndicatorPanel();
}

void TStatusBarMY::showEvent(QShowEvent *event)
{
    QStatusBar::showEvent(event);
    PlaceIndicatorPanel();
}

void TStatusBarMY::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit DoubleClicked();
    event->accept();
}
