#include "app/tools/color_button.h"

#include "app/shell/colors.h"
#include "app/shell/icons.h"
#include "app/tools/color_chooser.h"

#include <QAction>
#include <QHelpEvent>
#include <QMenu>
#include <QStyle>
#include <QToolTip>

namespace {

struct NamedColor
{
    const char *Name;
    uint32_t Bgr;
};

// clang-format off
constexpr NamedColor kStandardColors[] = {
    {"Black", 0x000000},  {"Maroon", 0x000080}, {"Green", 0x008000},  {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080}, {"Teal", 0x808000},   {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},    {"Lime", 0x00FF00},   {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
};
// clang-format on

QColor FaceColor(uint32_t bgr)
{
    if (bgr == TColorButton::kNoColor)
        return Qt::transparent;
    if (bgr == TColorButton::kAutoColor)
        return Qt::black;
    return ColorFromBgr(bgr);
}

} // namespace

TColorButton::TColorButton(QAction *face, QWidget *parent)
    : QToolButton(parent)
    , face_(face)
{
    setObjectName("ColorButton");
    setDefaultAction(face_);
    setPopupMode(QToolButton::MenuButtonPopup);
    CreatePalette();
    setMenu(Palette);
    connect(face_, &QAction::triggered, this, [this] { emit ColorApplied(selected_); });
    SetSelectedColor(selected_);
}

void TColorButton::CreatePalette()
{
    Palette = new QMenu("Color Window", this);
    Palette->setObjectName("ColorPalette");
    Palette->setWindowTitle("Color Window");
    Palette->setTearOffEnabled(true);
    Palette->setToolTipsVisible(true);
    Palette->installEventFilter(this);

    NoColorItem = Palette->addAction("No Color");
    NoColorItem->setToolTip("No Color");
    connect(NoColorItem, &QAction::triggered, this, [this] { PickColor(kNoColor); });
    AutoItem = Palette->addAction("Auto");
    AutoItem->setToolTip("Automatic");
    connect(AutoItem, &QAction::triggered, this, [this] { PickColor(kAutoColor); });
    Palette->addSeparator();
    for (const NamedColor &color : kStandardColors)
        AddColorItem(color.Name, color.Bgr);
    Palette->addSeparator();
    OtherColorItem = Palette->addAction("Other Color...");
    OtherColorItem->setToolTip("Other Colors...");
    connect(OtherColorItem, &QAction::triggered, this, &TColorButton::ChooseOtherColor);
}

QAction *TColorButton::AddColorItem(const QString &name, uint32_t bgr)
{
    QAction *item = Palette->addAction(MakeColorIcon(ColorFromBgr(bgr)), name);
    connect(item, &QAction::triggered, this, [this, bgr] { PickColor(bgr); });
    return item;
}

void TColorButton::SetSelectedColor(uint32_t bgr)
{
    selected_ = bgr;
    face_->setIcon(MakeColorIcon(FaceColor(bgr)));
}

void TColorButton::PickColor(uint32_t bgr)
{
    SetSelectedColor(bgr);
    emit ColorApplied(bgr);
}

void TColorButton::ChooseOtherColor()
{
    const QColor initial = IsSpecialColor(selected_) ? QColor(Qt::black) : ColorFromBgr(selected_);
    if (const std::optional<QColor> chosen = ChooseColor(this, initial))
        PickColor(BgrFromColor(*chosen));
}

bool TColorButton::eventFilter(QObject *watched, QEvent *event)
{
    // The tear-off strip at the top of the palette explains itself.
    if (watched == Palette && event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const int strip
            = Palette->style()->pixelMetric(QStyle::PM_MenuTearoffHeight, nullptr, Palette)
            + Palette->style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, Palette);
        if (help->pos().y() < strip) {
            QToolTip::showText(help->globalPos(), "Drag to float", Palette);
            return true;
        }
    }
    return QToolButton::eventFilter(watched, event);
}
