#include "app/tools/color_chooser.h"

#include <QColorDialog>

namespace {

ColorChooserHandler &Handler()
{
    static ColorChooserHandler handler;
    return handler;
}

} // namespace

void SetColorChooserHandler(ColorChooserHandler handler)
{
    Handler() = std::move(handler);
}

std::optional<QColor> ChooseColor(QWidget *owner, QColor initial)
{
    if (Handler())
        return Handler()(owner, initial);
    const QColor chosen = QColorDialog::getColor(initial, owner);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}
