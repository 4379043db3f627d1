#pragma once

#include "port/com_types.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// What one run of the capture tool does, as read from its command line.
struct TCaptureOptions
{
    std::string Device;
    int Baud = 9600;
    TDataBits DataBits = dbEight;
    TParityBits Parity = prNone;
    TStopBits StopBits = sbOneStopBit;
    bool Ascii = false;
    std::optional<double> Seconds; // none: until SIGINT or SIGTERM
    std::string OutputFile; // empty: standard output
    std::string SendText; // hex text, checksum already appended; empty: send nothing
    bool Help = false;
};

// A command line the tool cannot run with; the message says what is wrong.
class ECaptureUsage : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

// Reads the arguments after the program name. Raises ECaptureUsage.
TCaptureOptions ParseCaptureOptions(const std::vector<std::string> &args);

// The usage text printed by --help and after a bad argument.
const char *CaptureUsageText();
