#include "engine/capture_line.h"
#include "engine/lost_device_reopener.h"
#include "engine/vek_com_thread.h"
#include "engine/vek_scomm.h"
#include "port/device_watcher.h"
#include "support/pty_pair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <poll.h>
#include <thread>
#include <time.h>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit = 3000ms)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Points `link` at `target`, the way a virtual-port tool makes its link anew.
void Relink(const fs::path &link, const std::string &target)
{
    fs::remove(link);
    fs::create_symlink(target, link);
}

double CpuSeconds(clockid_t clock)
{
    timespec now {};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

std::string NextBody(TVekScomm &channel)
{
    std::string line;
    WaitFor([&] { return !(line = channel.PopLine()).empty(); });
    return std::string(SplitCaptureLine(line).Body);
}

TEST(DeviceWatcher, ReportsOnlyTheWatchedNameComingBack)
{
    TempFolder folder;
    const fs::path link = folder.Path() + "ttyV0";
    PtyPair first;
    Relink(link, first.SlavePath());

    TDeviceWatcher watcher(link.string());
    ASSERT_TRUE(watcher.Start());
    Relink(folder.Path() + "other", first.SlavePath());
    EXPECT_FALSE(watcher.WaitForReturn(100));

    fs::remove(link);
    EXPECT_FALSE(watcher.TakeEvents()); // a removal is not a return
    Relink(link, first.SlavePath());
    EXPECT_TRUE(watcher.WaitForReturn(2000));
}

TEST(DeviceWatcher, AFolderThatCannotBeWatchedIsReported)
{
    TDeviceWatcher watcher("/no/such/folder/ttyUSB0");
    EXPECT_FALSE(watcher.Start());
    EXPECT_FALSE(watcher.Watching());
    EXPECT_FALSE(watcher.WaitForReturn(10));
}

// A port opened through a link to a pty, as a virtual-port tool makes it; the
// test pulls the device by closing the pty's master and brings it back by
// pointing the link at a new pty.
class LostDeviceReopener : public ::testing::Test
{
protected:
    LostDeviceReopener()
    {
        Relink(link, first->SlavePath());
        channel.ComPort().SetPort(link.string());
        channel.OpenPort();
        receiver.Release();
    }
    ~LostDeviceReopener() override
    {
        receiver.Park();
        channel.ClosePort();
    }

    void PullDevice()
    {
        first->CloseMaster();
        ASSERT_TRUE(WaitFor([&] { return receiver.DeviceLost(); }));
        ASSERT_TRUE(reopener.BeginWatching());
    }

    bool FolderEventWithin(int ms)
    {
        pollfd ready { reopener.WatchFd(), POLLIN, 0 };
        return ::poll(&ready, 1, ms) == 1;
    }

    TempFolder folder;
    fs::path link = folder.Path() + "ttyV0";
    std::unique_ptr<PtyPair> first = std::make_unique<PtyPair>();
    TVekScomm channel;
    TVekComThread receiver { channel };
    TLostDeviceReopener reopener { channel, receiver };
};

// The adapter is pulled (the far end hangs up), the port is watched without a
// busy loop, and when the same path comes back the port reopens by itself and
// the next burst arrives.
TEST_F(LostDeviceReopener, APortWhoseDeviceReturnsUnderTheSamePathReceivesAgain)
{
    first->Write("\x01\x02");
    EXPECT_EQ(NextBody(channel), "01 02");
    PullDevice();

    // While the device is away the receive thread must stay nearly idle.
    const double cpuBefore = CpuSeconds(receiver.CpuClock());
    std::this_thread::sleep_for(500ms);
    EXPECT_LT(CpuSeconds(receiver.CpuClock()) - cpuBefore, 0.1);
    EXPECT_FALSE(FolderEventWithin(0)) << "no folder event yet";

    auto second = std::make_unique<PtyPair>();
    Relink(link, second->SlavePath());
    ASSERT_TRUE(FolderEventWithin(2000));
    ASSERT_TRUE(reopener.HandleEvents());
    EXPECT_FALSE(reopener.Watching());
    EXPECT_FALSE(receiver.DeviceLost());

    second->Write("\x0A\x0B");
    EXPECT_EQ(NextBody(channel), "0A 0B");
}

TEST_F(LostDeviceReopener, APathThatCannotBeOpenedYetKeepsWatching)
{
    PullDevice();
    Relink(link, folder.Path() + "nothing-here"); // a dangling link: not openable
    ASSERT_TRUE(FolderEventWithin(2000));
    EXPECT_FALSE(reopener.HandleEvents());
    EXPECT_TRUE(reopener.Watching());
    EXPECT_TRUE(receiver.DeviceLost()) << "the lost port stays until the path is usable";

    auto second = std::make_unique<PtyPair>();
    Relink(link, second->SlavePath());
    ASSERT_TRUE(FolderEventWithin(2000));
    EXPECT_TRUE(reopener.HandleEvents());
}

} // namespace
