#include "port_test_support.h"

#include <termios.h>

namespace {

TTermios2Fields Mapped(TDataBits dataBits, TParityBits parity, TFlowControl flow = fcNone)
{
    TLineSettings s;
    s.DataBits = dataBits;
    s.Parity.Bits = parity;
    s.FlowControl.SetFlowControl(flow);
    return MapLineSettings(s);
}

TEST(LineSettingsMapping, CharacterSizeAndParityEnable)
{
    const std::pair<TDataBits, uint32_t> sizes[]
        = { { dbFive, CS5 }, { dbSix, CS6 }, { dbSeven, CS7 }, { dbEight, CS8 } };
    for (const auto &[bits, size] : sizes)
        EXPECT_EQ(Mapped(bits, prNone).CFlag & CSIZE, size) << bits;

    for (TParityBits parity : { prNone, prOdd, prEven, prMark, prSpace })
        EXPECT_EQ((Mapped(dbEight, parity).CFlag & PARENB) != 0, parity != prNone) << parity;
}

TEST(LineSettingsMapping, RawTransferWithoutHandshakeUnlessAsked)
{
    const TTermios2Fields f = Mapped(dbSeven, prEven);
    EXPECT_EQ(f.CFlag & (CLOCAL | CREAD), uint32_t(CLOCAL | CREAD));
    EXPECT_EQ(f.CFlag & CRTSCTS, 0u);
    EXPECT_EQ(f.IFlag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP | INPCK), 0u);
    EXPECT_EQ(f.OFlag & OPOST, 0u);
    EXPECT_EQ(f.LFlag & (ICANON | ECHO | ISIG | IEXTEN), 0u);

    EXPECT_NE(Mapped(dbEight, prNone, fcHardware).CFlag & CRTSCTS, 0u);
    const TTermios2Fields software = Mapped(dbEight, prNone, fcSoftware);
    EXPECT_EQ(software.IFlag & (IXON | IXOFF), uint32_t(IXON | IXOFF));
    EXPECT_EQ(software.CFlag & CRTSCTS, 0u);
}

TEST(LineSettingsMapping, SettingsATtyCannotHonourChangeNothing)
{
    TLineSettings plain;
    plain.FlowControl.SetFlowControl(fcSoftware);
    const TTermios2Fields expected = MapLineSettings(plain);

    TLineSettings asked = plain;
    asked.FlowControl.TxContinueOnXoff = true; // IXANY would mean something else
    asked.FlowControl.OutDSRFlow = true;
    asked.FlowControl.DSRSensitivity = true;
    asked.Parity.Replace = true;
    asked.Parity.ReplaceChar = '?';
    const TTermios2Fields f = MapLineSettings(asked);
    EXPECT_EQ(f.IFlag, expected.IFlag);
    EXPECT_EQ(f.CFlag, expected.CFlag);
    EXPECT_EQ(f.IFlag & IXANY, 0u);
}

TEST_F(PortOnPty, EveryListedRateReachesTheDeviceExactly)
{
    port.SetBaudRate(br56000); // stored while closed, used by the open
    port.Open();
    EXPECT_EQ(DeviceSettings().OSpeed, 56000u);

    for (int i = br110; i <= br256000; ++i) {
        const TBaudRate rate = TBaudRate(i);
        port.SetBaudRate(rate);
        const TTermios2Fields f = DeviceSettings();
        EXPECT_EQ(f.OSpeed, uint32_t(BaudRateValue(rate))) << i;
        EXPECT_EQ(f.ISpeed, uint32_t(BaudRateValue(rate))) << i;
    }

    port.SetBaudRate(brCustom);
    EXPECT_EQ(DeviceSettings().OSpeed, 9600u);
    port.SetCustomBaudRate(31250);
    EXPECT_EQ(DeviceSettings().OSpeed, 31250u);
}

TEST_F(PortOnPty, StopBitsAndParityKindReachTheDevice)
{
    struct Case
    {
        TStopBits stop;
        TParityBits parity;
        bool cstopb, parodd, cmspar;
    };
    const Case cases[] = {
        { sbOneStopBit, prNone, false, false, false },
        { sbOne5StopBits, prOdd, true, true, false },
        { sbTwoStopBits, prEven, true, false, false },
        { sbOneStopBit, prMark, false, true, true },
        { sbTwoStopBits, prSpace, true, false, true },
    };
    port.Open();
    for (const Case &c : cases) {
        port.SetStopBits(c.stop);
        TComParity parity;
        parity.Bits = c.parity;
        port.SetParity(parity);
        const uint32_t flags = DeviceSettings().CFlag;
        EXPECT_EQ((flags & CSTOPB) != 0, c.cstopb) << c.stop << "/" << c.parity;
        EXPECT_EQ((flags & PARODD) != 0, c.parodd) << c.stop << "/" << c.parity;
        EXPECT_EQ((flags & CMSPAR) != 0, c.cmspar) << c.stop << "/" << c.parity;
    }
}

} // namespace
