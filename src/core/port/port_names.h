#pragma once

#include "port/com_types.h"

#include <string>
#include <string_view>
#include <vector>

// Display names of the port setting values, in ordinal order.
const std::vector<std::string> &BaudRateNames();
const std::vector<std::string> &DataBitsNames();
const std::vector<std::string> &StopBitsNames();
const std::vector<std::string> &ParityNames();
const std::vector<std::string> &FlowControlNames();

std::string BaudRateToStr(TBaudRate value);
std::string DataBitsToStr(TDataBits value);
std::string StopBitsToStr(TStopBits value);
std::string ParityToStr(TParityBits value);
std::string FlowControlToStr(TFlowControl value);

// Name to value: the first value whose name equals the text when both are
// upper-cased; a text that matches nothing gives the fixed default.
TBaudRate StrToBaudRate(std::string_view name);       // default br9600
TDataBits StrToDataBits(std::string_view name);       // default dbEight
TStopBits StrToStopBits(std::string_view name);       // default sbOneStopBit
TParityBits StrToParity(std::string_view name);       // default prNone
TFlowControl StrToFlowControl(std::string_view name); // default fcCustom

// Serial ports present on this machine, as the user knows them ("ttyS0",
// "ttyUSB0"), sorted without regard to case: entries of <sysRoot>/class/tty that
// have a "device" link, without those whose "type" file reads 0.
// An unreadable <sysRoot>/class/tty raises EComPort code 23.
std::vector<std::string> EnumComPorts(const std::string &sysRoot = "/sys");

// The device path of a port name: "/dev/" + name, or the name itself when it
// contains "/".
std::string DevicePath(std::string_view port);
