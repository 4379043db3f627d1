#include "port/port_names.h"

#include "port/com_port_error.h"
#include "send/ascii_case.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string NameAt(const std::vector<std::string> &names, int index)
{
    if (index < 0 || index >= int(names.size()))
        return {};
    return names[std::size_t(index)];
}

// Position of the first name equal to `name` when both are upper-cased, or -1.
int IndexOfName(const std::vector<std::string> &names, std::string_view name)
{
    const std::string wanted = UpperAscii(name);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (UpperAscii(names[i]) == wanted)
            return int(i);
    }
    return -1;
}

template <typename Enum>
Enum ValueOfName(const std::vector<std::string> &names, std::string_view name, Enum fallback)
{
    const int index = IndexOfName(names, name);
    return index < 0 ? fallback : Enum(index);
}

// A port whose sysfs "type" reads 0 is a UART slot the driver found nothing in.
bool IsUnknownUart(const fs::path &entry)
{
    std::ifstream typeFile(entry / "type");
    std::string type;
    if (!typeFile || !(typeFile >> type))
        return false;
    return type == "0";
}

bool HasDeviceLink(const fs::path &entry)
{
    std::error_code ec;
    return fs::symlink_status(entry / "device", ec).type() != fs::file_type::not_found && !ec;
}

} // namespace

const std::vector<std::string> &BaudRateNames()
{
    static const std::vector<std::string> names { "Custom", "110", "300", "600", "1200", "2400",
        "4800", "9600", "14400", "19200", "38400", "56000", "57600", "115200", "128000", "256000" };
    return names;
}

const std::vector<std::string> &DataBitsNames()
{
    static const std::vector<std::string> names { "5", "6", "7", "8" };
    return names;
}

const std::vector<std::string> &StopBitsNames()
{
    static const std::vector<std::string> names { "1", "1.5", "2" };
    return names;
}

const std::vector<std::string> &ParityNames()
{
    static const std::vector<std::string> names { "None", "Odd", "Even", "Mark", "Space" };
    return names;
}

const std::vector<std::string> &FlowControlNames()
{
    static const std::vector<std::string> names { "Hardware", "Software", "None", "Custom" };
    return names;
}

std::string BaudRateToStr(TBaudRate value)
{
    return NameAt(BaudRateNames(), value);
}
std::string DataBitsToStr(TDataBits value)
{
    return NameAt(DataBitsNames(), value);
}
std::string StopBitsToStr(TStopBits value)
{
    return NameAt(StopBitsNames(), value);
}
std::string ParityToStr(TParityBits value)
{
    return NameAt(ParityNames(), value);
}
std::string FlowControlToStr(TFlowControl value)
{
    return NameAt(FlowControlNames(), value);
}

TBaudRate StrToBaudRate(std::string_view name)
{
    return ValueOfName(BaudRateNames(), name, br9600);
}

TDataBits StrToDataBits(std::string_view name)
{
    return ValueOfName(DataBitsNames(), name, dbEight);
}

TStopBits StrToStopBits(std::string_view name)
{
    return ValueOfName(StopBitsNames(), name, sbOneStopBit);
}

TParityBits StrToParity(std::string_view name)
{
    return ValueOfName(ParityNames(), name, prNone);
}

TFlowControl StrToFlowControl(std::string_view name)
{
    return ValueOfName(FlowControlNames(), name, fcCustom);
}

std::vector<std::string> EnumComPorts(const std::string &sysRoot)
{
    const fs::path ttyClass = fs::path(sysRoot) / "class" / "tty";
    std::vector<std::string> ports;
    std::error_code ec;
    fs::directory_iterator it(ttyClass, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path &entry = it->path();
        if (HasDeviceLink(entry) && !IsUnknownUart(entry))
            ports.push_back(entry.filename().string());
    }
    if (ec)
        throw EComPort(CError_RegError, ec.value());

    std::sort(ports.begin(), ports.end(), [](const std::string &a, const std::string &b) {
        const std::string la = LowerAscii(a);
        const std::string lb = LowerAscii(b);
        return la != lb ? la < lb : a < b;
    });
    return ports;
}

std::string DevicePath(std::string_view port)
{
    if (port.find('/') != std::string_view::npos)
        return std::string(port);
    return "/dev/" + std::string(port);
}
