#pragma once

#include <QIcon>

#include <vector>

// Every command image of the program. Each has a drawing of ours (an SVG
// resource, crisp at any scale) and, where the desktop's icon themes have a
// standard name for the action, that name: the theme's image is preferred so
// the tool bars match the desktop. To add one, add it here and to the table in
// icons.cpp, and put its SVG into resources/icons/.
enum class IconKind {
    Save,
    Open,
    PortClosed, // the open/close command while the port is closed
    PortOpen, // while the port is open
    Pause,
    SendWindow,
    FindWindow,
    Find,
    FindNext,
    Print,
    PrintPreview,
    ColorSettings,
    Converter,
    AsciiTable,
    DisplayTime,
    DisplaySending,
    WordWrap,
    Filter,
    AsciiReceive,
    ClearScreen,
    SendLine,
    LoopSend,
    TriggerSend,
    Checksum,
    AsciiSend,
    SendSettings,
};

// The theme's image for the action when the desktop has one, else ours.
QIcon MakeIcon(IconKind kind);
// Our own image, whatever the theme.
QIcon BuiltInIcon(IconKind kind);
// Every kind, for checks over the whole set.
const std::vector<IconKind> &AllIconKinds();

// The program's icon and the icon of its message files.
QIcon ApplicationIcon();
QIcon DocumentIcon();

// A square of one colour, for the colour button.
QIcon MakeColorIcon(const QColor &color);
