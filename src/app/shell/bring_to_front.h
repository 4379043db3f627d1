#pragma once

#include <QWidget>

// Shows a tool window, or brings it to the front with the focus when it is
// already shown.
inline void ShowOrBringToFront(QWidget *window)
{
    if (!window->isVisible()) {
        window->show();
        return;
    }
    window->raise();
    window->activateWindow();
}
