#pragma once

#include "engine/vek_scomm.h"
#include "shell/settings_record.h"
#include "support/manual_clock.h"

#include <QPlainTextEdit>

// What the renderer works on, without a main window: a channel on a manual
// clock, the settings record and the send, monitor and find-results views.
struct RendererViews
{
    ManualClock clock;
    TVekScomm channel { clock };
    SettingsRecord settings = SettingsRecord::Defaults();
    QPlainTextEdit send;
    QPlainTextEdit monitor;
    QPlainTextEdit find;
};
