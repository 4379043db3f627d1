#pragma once

#include <QColor>

#include <functional>
#include <optional>

class QWidget;

// The system's colour chooser. Every chooser the program opens goes through
// here, so tests can answer it instead of a person.
using ColorChooserHandler = std::function<std::optional<QColor>(QWidget *owner, QColor initial)>;

// Installs a handler for the rest of the run (tests); an empty one restores the real chooser.
void SetColorChooserHandler(ColorChooserHandler handler);

// Runs the chooser, owned by `owner`, opened on `initial`. Nothing when cancelled.
std::optional<QColor> ChooseColor(QWidget *owner, QColor initial);
