#pragma once

#include <QToolButton>

#include <cstdint>

class QAction;
class QMenu;

// The tool bar's colour button: its face applies the selected colour, its
// drop-down palette picks a colour and applies it at once. The palette can be
// torn off into a floating "Color Window".
class TColorButton : public QToolButton
{
    Q_OBJECT
public:
    // Values beyond 24 bits for the palette's two special entries.
    static constexpr uint32_t kNoColor = 0x1FFFFFFF;
    static constexpr uint32_t kAutoColor = 0x20000000;

    // `face` is the command the button's face stands for.
    explicit TColorButton(QAction *face, QWidget *parent = nullptr);

    QMenu *Palette;
    QAction *NoColorItem;
    QAction *AutoItem;
    QAction *OtherColorItem;

    uint32_t SelectedColor() const { return selected_; }
    // Shows `bgr` on the face without applying it.
    void SetSelectedColor(uint32_t bgr);
    // A colour picked from the palette: selected and applied.
    void PickColor(uint32_t bgr);
    // "Other Color...": the colour chooser, then as a pick.
    void ChooseOtherColor();

    static bool IsSpecialColor(uint32_t bgr) { return bgr == kNoColor || bgr == kAutoColor; }

signals:
    // The face was clicked or a colour picked: colour the active view's selection.
    void ColorApplied(uint32_t bgr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreatePalette();
    QAction *AddColorItem(const QString &name, uint32_t bgr);

    QAction *face_;
    uint32_t selected_ = 0x008000;
};
