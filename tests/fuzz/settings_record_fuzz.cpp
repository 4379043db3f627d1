#include "support/manual_clock.h"
#include "engine/send_scheduler.h"
#include "engine/vek_scomm.h"
#include "fuzz_check.h"
#include "send/checksum.h"
#include "shell/settings_record.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// A send view of three lines, the second one not hex text.
class FuzzTarget : public SendTarget
{
public:
    int CaretLineIndex() const override { return 0; }
    std::string LineText(int index) const override
    {
        static const std::string lines[] = { "01 03", "zz", "" };
        return index >= 0 && index < 3 ? lines[index] : std::string();
    }
    void SendViewLine(int index) override
    {
        if (index == 1)
            throw ECom(kNotHexText);
    }
};

} // namespace

// Any bytes as the stored settings record, and the record handed to what
// reads it at start-up: the scheduler's loop and trigger steps, the checksum
// kind, the stored texts.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const SettingsRecord record
        = SettingsFromBytes(std::string_view(reinterpret_cast<const char *>(data), size));
    FUZZ_CHECK(record.LastFileName.Text().size() <= 255);
    FUZZ_CHECK(record.AutoSavePath.Text().size() <= 255);
    const int mode = ChecksumModeForType(record.ChecksumType);
    FUZZ_CHECK(mode >= -1 && mode <= 7);

    ManualClock clock;
    FuzzTarget target;
    TSendScheduler scheduler(target, clock);
    scheduler.SetLoopParams(record.Loop);
    scheduler.SetTriggerParams(record.Trigger);
    const int interval = scheduler.LoopTimerInterval();
    FUZZ_CHECK(interval >= 1);
    scheduler.SetLoopRunning(record.LoopSendEnabled != 0);
    scheduler.SetTriggerSwitch(1);
    for (int step = 0; step < 4; ++step) {
        clock.Advance(uint32_t(interval));
        scheduler.LoopTick();
        scheduler.ReceivedLineTaken("01 03 ");
        scheduler.TriggerStep();
    }
    return 0;
}
