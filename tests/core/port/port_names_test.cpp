#include "port/com_port_error.h"
#include "port/port_names.h"
#include "support/pty_pair.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

enum class Kind { Baud, Data, Stop, Parity, Flow };

int Convert(Kind kind, std::string_view text)
{
    switch (kind) {
    case Kind::Baud:
        return StrToBaudRate(text);
    case Kind::Data:
        return StrToDataBits(text);
    case Kind::Stop:
        return StrToStopBits(text);
    case Kind::Parity:
        return StrToParity(text);
    case Kind::Flow:
        return StrToFlowControl(text);
    }
    return -1;
}

TEST(PortNames, NamesConvertIgnoringCaseAndUnknownNamesGiveTheDefault)
{
    struct Case
    {
        Kind kind;
        const char *text;
        int expected;
    };
    const Case cases[] = {
        { Kind::Baud, "9600", br9600 },
        { Kind::Baud, "256000", br256000 },
        { Kind::Baud, "09600", br9600 }, // no name matches: default
        { Kind::Baud, "Custom", brCustom },
        { Kind::Baud, "custom", brCustom },
        { Kind::Baud, "", br9600 },
        { Kind::Data, "5", dbFive },
        { Kind::Data, "9", dbEight },
        { Kind::Stop, "1.5", sbOne5StopBits },
        { Kind::Stop, "1,5", sbOneStopBit },
        { Kind::Stop, "2", sbTwoStopBits },
        { Kind::Parity, "even", prEven },
        { Kind::Parity, "SPACE", prSpace },
        { Kind::Parity, "Evens", prNone },
        { Kind::Flow, "hardware", fcHardware },
        { Kind::Flow, "None", fcNone },
        { Kind::Flow, "Xon", fcCustom },
    };
    for (const Case &c : cases)
        EXPECT_EQ(Convert(c.kind, c.text), c.expected) << "\"" << c.text << "\"";
}

TEST(PortNames, EveryNameConvertsBackToItsValue)
{
    const std::pair<Kind, const std::vector<std::string> *> lists[] = {
        { Kind::Baud, &BaudRateNames() },
        { Kind::Data, &DataBitsNames() },
        { Kind::Stop, &StopBitsNames() },
        { Kind::Parity, &ParityNames() },
        { Kind::Flow, &FlowControlNames() },
    };
    for (const auto &[kind, names] : lists) {
        for (std::size_t i = 0; i < names->size(); ++i)
            EXPECT_EQ(Convert(kind, (*names)[i]), int(i)) << (*names)[i];
    }
    EXPECT_EQ(BaudRateNames().size(), 16u);
    EXPECT_EQ(BaudRateToStr(br128000), "128000");
    EXPECT_EQ(StopBitsToStr(sbOne5StopBits), "1.5");
    EXPECT_EQ(ParityToStr(prMark), "Mark");
}

TEST(PortNames, DevicePathPutsPlainNamesUnderDev)
{
    EXPECT_EQ(DevicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(DevicePath("/dev/pts/3"), "/dev/pts/3");
    EXPECT_EQ(DevicePath("serial/by-id/usb-x"), "serial/by-id/usb-x");
}

class FakeSysfs : public ::testing::Test
{
protected:
    fs::path Root() const { return folder.Path(); }
    fs::path TtyClass() const { return Root() / "class" / "tty"; }

    // A tty entry: a folder, or a link to one elsewhere as sysfs has them.
    fs::path AddTty(
        const std::string &name, bool deviceLink, const char *type = nullptr, bool asLink = false)
    {
        const fs::path devices = Root() / "devices";
        fs::path entry = asLink ? devices / "serial" / name : TtyClass() / name;
        fs::create_directories(entry);
        if (asLink) {
            fs::create_directories(TtyClass());
            fs::create_directory_symlink(entry, TtyClass() / name);
        }
        if (deviceLink) {
            fs::create_directories(devices / ("port-" + name));
            fs::create_directory_symlink(devices / ("port-" + name), entry / "device");
        }
        if (type)
            std::ofstream(entry / "type") << type;
        return entry;
    }

    TempFolder folder;
};

TEST_F(FakeSysfs, ListsPortsWithADeviceSortedWithoutRegardToCase)
{
    AddTty("ttyS2", true, "4\n", true);
    AddTty("ttyS10", true, "4\n");
    AddTty("ttyama0", true); // no type file (USB, platform UARTs): listed
    AddTty("ttyS3", true, "0\n"); // a UART slot with nothing in it
    AddTty("tty0", false); // virtual console: no device
    AddTty("console", false, "4\n");

    const std::vector<std::string> expected { "ttyama0", "ttyS10", "ttyS2" };
    EXPECT_EQ(EnumComPorts(Root().string()), expected);
}

TEST_F(FakeSysfs, UnreadableTtyClassRaisesRegistryError)
{
    try {
        EnumComPorts(Root().string());
        FAIL() << "no error";
    } catch (const EComPort &e) {
        EXPECT_EQ(e.Code(), 23);
        EXPECT_EQ(e.WinCode(), ENOENT);
        EXPECT_STREQ(
            e.what(), ("Registry error (win error code: " + std::to_string(ENOENT) + ")").c_str());
    }
}

TEST(ComPortError, MessageIsTheCodeTextWithTheErrorNumberWhenThereIsOne)
{
    struct Case
    {
        int code;
        int error;
        const char *message;
    };
    const Case cases[] = {
        { 1, 5, "Unable to open com port (win error code: 5)" },
        { 2, 110, "WriteFile function failed (win error code: 110)" },
        { 3, -1, "ReadFile function failed" },
        { 7, 22, "SetCommState function failed (win error code: 22)" },
        { 11, -1, "GetCommModemStatus function failed" },
        { 14, -1, "Cannot set property while connected" },
        { 19, -1, "Cannot change led state if ComPort is selected" },
        { 21, 4, "WaitForEvent method failed (win error code: 4)" },
        { 22, -1, "A component is linked to OnRxBuf event" },
        { 23, 2, "Registry error (win error code: 2)" },
    };
    for (const Case &c : cases) {
        const EComPort e(c.code, c.error);
        EXPECT_STREQ(e.what(), c.message);
        EXPECT_EQ(e.Code(), c.code);
        EXPECT_EQ(e.WinCode(), c.error);
    }
    for (int code = 1; code <= 23; ++code)
        EXPECT_STRNE(EComPort::CodeText(code), "") << code;
}

} // namespace
