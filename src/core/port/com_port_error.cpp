#include "port/com_port_error.h"

#include <cerrno>
#include <iterator>

namespace {

constexpr const char *kCodeTexts[] = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

} // namespace

EComPort::EComPort(int code, int errorNumber)
    : std::runtime_error(MessageFor(code, errorNumber))
    , code_(code)
    , winCode_(errorNumber)
{ }

const char *EComPort::CodeText(int code)
{
    if (code < 1 || code > int(std::size(kCodeTexts)))
        return "";
    return kCodeTexts[code - 1];
}

std::string EComPort::MessageFor(int code, int errorNumber)
{
    std::string message = CodeText(code);
    if (errorNumber != -1)
        message += " (win error code: " + std::to_string(errorNumber) + ")";
    return message;
}

const char *OpenFailureHint(int errorNumber)
{
    if (errorNumber == EACCES)
        return "Add your user to the \"dialout\" group (sudo usermod -aG dialout $USER), "
               "then log in again.";
    return nullptr;
}
