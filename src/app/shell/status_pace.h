#pragma once

#include <array>
#include <cstdint>

// The pace of the status tick. While any figure it shows changes it runs every
// 50 ms; after a second without a change it slows to 200 ms, so an idle program
// (port open, no traffic) does not wake 20 times a second for nothing. The first
// change after a quiet spell shows within 200 ms and brings the fast pace back.
class TStatusPace
{
public:
    static constexpr int kBusyIntervalMs = 50;
    static constexpr int kQuietIntervalMs = 200;
    static constexpr int kQuietAfterTicks = 20;

    using Figures = std::array<uint64_t, 5>;

    // The interval for the next tick, after a tick that showed `figures`.
    int Next(const Figures &figures);

private:
    Figures last_ {};
    int unchangedTicks_ = 0;
};
