#include "app/shell/status_pace.h"

int TStatusPace::Next(const Figures &figures)
{
    if (figures != last_) {
        last_ = figures;
        unchangedTicks_ = 0;
        return kBusyIntervalMs;
    }
    if (unchangedTicks_ < kQuietAfterTicks)
        ++unchangedTicks_;
    return unchangedTicks_ < kQuietAfterTicks ? kBusyIntervalMs : kQuietIntervalMs;
}
