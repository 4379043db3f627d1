#include "app/engine/lost_device_monitor.h"
#include "engine/clock.h"
#include "engine/vek_com_thread.h"
#include "engine/vek_scomm.h"
#include "support/pty_pair.h"
#include "support/qt_wait.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;

void Relink(const fs::path &link, const std::string &target)
{
    fs::remove(link);
    fs::create_symlink(target, link);
}

class LostDeviceMonitorTest : public ::testing::Test
{
protected:
    LostDeviceMonitorTest()
    {
        Relink(link, first->SlavePath());
        channel.ComPort().SetPort(link.string());
        channel.OpenPort();
        receiver.Release();
        QObject::connect(&monitor, &TLostDeviceMonitor::MarkerLine,
            [this](const QString &text) { markers << text; });
    }
    ~LostDeviceMonitorTest() override
    {
        receiver.Park();
        channel.ClosePort();
    }

    // Lets the status tick look at the thread until `condition` holds.
    template <typename Condition> bool TickUntil(Condition condition)
    {
        return WaitUntil([&] {
            monitor.Check();
            return condition();
        });
    }

    TempFolder folder;
    fs::path link = folder.Path() + "ttyV0";
    std::unique_ptr<PtyPair> first = std::make_unique<PtyPair>();
    TVekScomm channel;
    TVekComThread receiver { channel };
    TLostDeviceMonitor monitor { channel, receiver, SystemClock::Instance() };
    QStringList markers;
};

TEST_F(LostDeviceMonitorTest, MarksTheLossAndTheReturnAndReceivesAfterIt)
{
    first->Write("\x01");
    ASSERT_TRUE(WaitUntil([&] { return channel.QueuedLines() == 1; }));

    first->CloseMaster();
    // The burst received before the loss is still queued: no marker before it.
    ASSERT_TRUE(TickUntil([&] { return monitor.Waiting(); }));
    monitor.Check();
    EXPECT_TRUE(markers.isEmpty());
    EXPECT_FALSE(channel.PopLine().empty());
    monitor.Check();
    ASSERT_EQ(markers.size(), 1);
    EXPECT_TRUE(markers[0].startsWith("-- device lost ")) << markers[0].toStdString();
    EXPECT_TRUE(markers[0].endsWith(" --"));

    auto second = std::make_unique<PtyPair>();
    Relink(link, second->SlavePath());
    ASSERT_TRUE(WaitUntil([&] { return !monitor.Waiting(); }));
    ASSERT_EQ(markers.size(), 2);
    EXPECT_TRUE(markers[1].startsWith("-- device back "));

    second->Write("\x0A");
    EXPECT_TRUE(WaitUntil([&] { return channel.QueuedLines() == 1; }));
}

TEST_F(LostDeviceMonitorTest, SwitchedOffItLeavesALostPortAlone)
{
    monitor.SetEnabled(false);
    first->CloseMaster();
    ASSERT_TRUE(WaitUntil([&] { return receiver.DeviceLost(); }));
    auto second = std::make_unique<PtyPair>();
    Relink(link, second->SlavePath());
    for (int i = 0; i < 20; ++i)
        monitor.Check();
    WaitUntil([] { return false; }, 200);
    EXPECT_TRUE(markers.isEmpty());
    EXPECT_TRUE(receiver.DeviceLost());
}

TEST_F(LostDeviceMonitorTest, ClosingThePortEndsTheWait)
{
    first->CloseMaster();
    ASSERT_TRUE(TickUntil([&] { return monitor.Waiting(); }));
    monitor.StopWaiting();
    EXPECT_FALSE(monitor.Waiting());
    auto second = std::make_unique<PtyPair>();
    Relink(link, second->SlavePath());
    WaitUntil([] { return false; }, 200);
    EXPECT_TRUE(receiver.DeviceLost()) << "nothing reopened behind the user's back";
}

} // namespace
