#pragma once

#include <QIcon>

// The program's tool-bar images, drawn in code so they stay crisp at any scale.
enum class IconKind {
    Save,
    PortClosed, // image 71: the open/close command while the port is closed
    PortOpen,   // image 72: while the port is open
    Pause,
    SendWindow,
    FindWindow,
    Converter,
    DisplayTime,
    DisplaySending,
    WordWrap,
    Filter,
    AsciiReceive,
    ClearScreen,
};

QIcon MakeIcon(IconKind kind);
// A square of one colour, for the colour button.
QIcon MakeColorIcon(const QColor &color);
