// The port setting lists: filling, binding to a port, and writing the user's
// choice into the port.
#include "app/port/com_combo_box.h"
#include "port/com_port.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <ostream>

#include <functional>

static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const std::vector<std::string> kPorts = { "COM1", "COM10", "COM3" };

// What the list does when the user picks an item from its drop-down.
void Choose(TComComboBox &combo, const QString &text)
{
    const int index = combo.findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    combo.setCurrentIndex(index);
    emit combo.activated(index);
}

void Type(TComComboBox &combo, const QString &text)
{
    combo.lineEdit()->setText(text);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(combo.lineEdit(), &enter);
}

struct ChoiceCase
{
    TComProperty Property;
    QString Choice;
    std::function<bool(const TComPort &)> Stored;
};

TEST(ComComboBoxTest, UserChoiceIsWrittenIntoClosedPort)
{
    const ChoiceCase cases[] = {
        { cpPort, "COM10", [](const TComPort &p) { return p.Port() == "COM10"; } },
        { cpBaudRate, "115200", [](const TComPort &p) { return p.BaudRate() == br115200; } },
        { cpBaudRate, "Custom", [](const TComPort &p) { return p.BaudRate() == brCustom; } },
        { cpDataBits, "7", [](const TComPort &p) { return p.DataBits() == dbSeven; } },
        { cpStopBits, "1.5", [](const TComPort &p) { return p.StopBits() == sbOne5StopBits; } },
        { cpParity, "Even", [](const TComPort &p) { return p.Parity().Bits == prEven; } },
        { cpFlowControl, "Hardware",
            [](const TComPort &p) { return p.FlowControl().FlowControl() == fcHardware; } },
    };
    for (const ChoiceCase &c : cases) {
        SCOPED_TRACE(c.Choice.toStdString());
        TComPort port;
        TComComboBox combo;
        combo.SetComProperty(c.Property, kPorts);
        combo.SetComPort(&port);
        combo.SetAutoApply(true);

        Choose(combo, c.Choice);

        EXPECT_TRUE(c.Stored(port));
        EXPECT_EQ(combo.Text(), c.Choice);
        EXPECT_FALSE(port.Connected());
    }
}

TEST(ComComboBoxTest, NothingIsWrittenWithoutAutoApplyOrForCodeSelection)
{
    TComPort port;
    TComComboBox combo;
    combo.SetComProperty(cpBaudRate);
    combo.SetComPort(&port);

    Choose(combo, "57600");
    EXPECT_EQ(port.BaudRate(), br9600) << "AutoApply off";

    combo.SetAutoApply(true);
    combo.setCurrentIndex(combo.findText("38400"));
    combo.SetText("19200");
    EXPECT_EQ(port.BaudRate(), br9600) << "selected from code";
    EXPECT_EQ(combo.Text(), "19200");
}

TEST(ComComboBoxTest, KeyboardChoiceIsAUserChoice)
{
    TComPort port;
    TComComboBox combo;
    combo.SetComProperty(cpParity);
    combo.SetComPort(&port);
    combo.SetAutoApply(true);
    ASSERT_EQ(combo.Text(), "None");

    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(&combo, &down);

    EXPECT_EQ(combo.Text(), "Odd");
    EXPECT_EQ(port.Parity().Bits, prOdd);
}

TEST(ComComboBoxTest, FillsTheListOfItsProperty)
{
    const std::pair<TComProperty, int> counts[]
        = { { cpNone, 0 }, { cpBaudRate, 16 }, { cpDataBits, 4 }, { cpStopBits, 3 },
              { cpParity, 5 }, { cpFlowControl, 4 }, { cpPort, 3 } };
    TComComboBox combo;
    for (const auto &[property, count] : counts) {
        combo.SetComProperty(property, kPorts);
        EXPECT_EQ(combo.count(), count) << property;
        EXPECT_EQ(combo.currentIndex(), count ? 0 : -1) << "unbound: the first item";
        EXPECT_EQ(combo.isEditable(), property == cpPort) << property;
    }
    combo.SetComProperty(cpBaudRate);
    EXPECT_EQ(combo.itemText(0), "Custom");
    EXPECT_EQ(combo.itemText(15), "256000");
}

TEST(ComComboBoxTest, BindingSelectsThePortsValueWithoutRegardToCase)
{
    TComPort port;
    port.SetPort("Com1");
    port.SetBaudRate(br19200);
    TComParity parity;
    parity.Bits = prMark;
    port.SetParity(parity);

    TComComboBox portList;
    portList.SetComProperty(cpPort, kPorts);
    portList.SetComPort(&port);
    EXPECT_EQ(portList.currentIndex(), 0);
    EXPECT_EQ(portList.Text(), "COM1");

    // Filling after binding matches as well.
    TComComboBox baudList;
    baudList.SetComPort(&port);
    baudList.SetComProperty(cpBaudRate);
    EXPECT_EQ(baudList.Text(), "19200");

    TComComboBox parityList;
    parityList.SetComProperty(cpParity);
    parityList.SetComPort(&port);
    EXPECT_EQ(parityList.Text(), "Mark");

    parityList.SetComPort(nullptr);
    EXPECT_EQ(parityList.Text(), "None") << "unbound: the first item";
}

TEST(ComComboBoxTest, PortValueNotListedLeavesNoSelection)
{
    TComPort port;
    port.SetPort("ttyACM7");
    TComComboBox combo;
    combo.SetComProperty(cpPort, { "ttyS0", "ttyUSB0" });
    combo.SetComPort(&port);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(combo.Text(), "");
}

TEST(ComComboBoxTest, PortNamesKeepTheirSpelling)
{
    TComComboBox combo;
    combo.SetComProperty(cpPort, { "ttyS0", "ttyUSB0" });
    EXPECT_EQ(combo.itemText(1), "ttyUSB0");
}

TEST(ComComboBoxTest, TypedPortNameIsUsedAsItStands)
{
    TComPort port;
    port.SetPort("ttyS0");
    TComComboBox combo;
    combo.SetComProperty(cpPort, { "ttyS0", "ttyUSB0" });
    combo.SetComPort(&port);
    combo.SetAutoApply(true);

    Type(combo, "/tmp/ttyV0");
    EXPECT_EQ(combo.Text(), "/tmp/ttyV0");
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(port.Port(), "/tmp/ttyV0");
    EXPECT_EQ(combo.count(), 2) << "a typed name does not join the list";

    Type(combo, "ttyUSB0");
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_EQ(port.Port(), "ttyUSB0");

    Type(combo, "ttyusb0");
    EXPECT_EQ(combo.currentIndex(), -1) << "device names are case-sensitive";
    EXPECT_EQ(combo.Text(), "ttyusb0");
    EXPECT_EQ(port.Port(), "ttyusb0");
}

TEST(ComComboBoxTest, WritingTextSelectsOnlyListedNames)
{
    TComComboBox combo;
    combo.SetComProperty(cpParity);
    combo.SetText("even");
    EXPECT_EQ(combo.Text(), "Even");
    combo.SetText("1,5");
    EXPECT_EQ(combo.Text(), "Even");
}

} // namespace

namespace {

TEST(ComComboBoxTest, APortBoxGrowsWithItsTextUpToItsLimitAndShowsItWholeAsATip)
{
    TComComboBox box;
    box.SetComProperty(cpPort, { "ttyS0" });
    box.GrowWithText(110, 360);
    EXPECT_EQ(box.minimumWidth(), 110);
    EXPECT_EQ(box.toolTip(), "ttyS0");

    const QString path = "/tmp/ttyV0/a/virtual/port/made/by/hand";
    box.setEditText(path);
    EXPECT_GT(box.minimumWidth(), box.fontMetrics().horizontalAdvance(path));
    EXPECT_LE(box.minimumWidth(), 360);
    EXPECT_EQ(box.toolTip(), path);

    box.setEditText(path.repeated(10));
    EXPECT_EQ(box.minimumWidth(), 360);
    box.setEditText("ttyS0");
    EXPECT_EQ(box.minimumWidth(), 110);
}

} // namespace
