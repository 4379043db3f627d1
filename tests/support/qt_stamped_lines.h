#pragma once

// Numbered monitor lines that arrive the way received bursts do: queued on a
// channel and moved into the view by the renderer, stamp and colours included.

#include "app/engine/data_rt.h"
#include "engine/vek_scomm.h"
#include "shell/settings_record.h"
#include "support/manual_clock.h"

#include <QPlainTextEdit>

#include <cstdio>
#include <string>

// Line k's body: "LINE " and k as six digits, then filler whose length varies
// with k (up to 219 characters), so some lines wrap on a page.
inline std::string StampedLineBody(int k)
{
    char number[16];
    std::snprintf(number, sizeof number, "LINE %06d", k);
    std::string body = number;
    const int filler = (k * 53) % 220;
    for (int i = 0; i < filler; ++i)
        body += (i % 9 == 0) ? ' ' : char('a' + (k + i) % 26);
    return body;
}

// Appends lines 1..count to `monitor` through a renderer with the time and
// direction shown, as received characters.
inline void FillMonitorThroughRenderer(QPlainTextEdit &monitor, int count)
{
    ManualClock clock;
    clock.SetLocalTime({ 14, 3, 27, 0 });
    TVekScomm channel(clock);
    channel.ReceiveHex = 0;
    const SettingsRecord settings = SettingsRecord::Defaults();
    QPlainTextEdit send;
    QPlainTextEdit find;
    TDataRT renderer(&send, channel, &monitor, &find, settings, clock);
    renderer.TimeSwitch = 1;
    renderer.DirectionSwitch = 1;
    for (int k = 1; k <= count; ++k) {
        clock.Advance(15);
        channel.AppendReceivedBurst(StampedLineBody(k), clock.Tick());
        renderer.RenderTick();
    }
}
