#pragma once

#include <QFont>

class QTextEdit;

// "Courier New" at 9 points; fontconfig picks a metric twin where it is missing.
QFont TextViewFont();

// Keeps a view's selection drawn as selected while another window has the focus,
// so a hit or a marked range stays in sight.
void KeepSelectionVisible(QTextEdit *view);
