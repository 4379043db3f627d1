#pragma once

#include <QAction>
#include <QObject>

#include <stdexcept>
#include <string>

// A window's command by its objectName; a missing one fails the caller loudly
// instead of handing back a null pointer.
inline QAction *ActionNamed(const QObject &owner, const char *name)
{
    auto *action = owner.findChild<QAction *>(QString::fromLatin1(name));
    if (!action)
        throw std::logic_error(std::string("no action named ") + name);
    return action;
}
