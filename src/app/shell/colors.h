#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

#include <cstdint>

// Colours are stored as 0x00BBGGRR.
inline QColor ColorFromBgr(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline uint32_t BgrFromColor(const QColor &color)
{
    return uint32_t(color.red()) | uint32_t(color.green()) << 8 | uint32_t(color.blue()) << 16;
}

inline constexpr uint32_t kStampColor = 0x808080;
// The stamp of a received frame whose checksum does not match: red.
inline constexpr uint32_t kBadChecksumStampColor = 0x0000FF;

// The background of a text view (its base colour).
inline void SetViewBackground(QWidget *view, uint32_t bgr)
{
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, ColorFromBgr(bgr));
    view->setPalette(palette);
}
