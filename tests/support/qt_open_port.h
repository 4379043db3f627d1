#pragma once

#include "app/port/com_combo_box.h"
#include "app/shell/main_form.h"
#include "engine/vek_scomm.h"
#include "support/pty_pair.h"

#include <QString>

#include <cstdio>

// Opens the main window's port on the slave side of `pty`, as a user typing its
// path and pressing "Open Port" would; says on stderr when it could not.
inline bool OpenPortOnPty(TMainForm &form, const PtyPair &pty)
{
    form.CBoxPort()->setEditText(QString::fromStdString(pty.SlavePath()));
    form.ToggleConnection();
    if (form.Channel()->ComPort().Connected())
        return true;
    std::fprintf(stderr, "could not open %s\n", pty.SlavePath().c_str());
    return false;
}
