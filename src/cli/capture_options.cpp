#include "cli/capture_options.h"

#include "port/port_names.h"
#include "send/checksum.h"
#include "send/hex_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <string_view>

namespace {

constexpr const char *kUsage
    = "Usage: corvella-capture DEVICE [--baud N] [--data-bits 5..8]\n"
      "                        [--parity none|odd|even|mark|space] [--stop-bits 1|1.5|2]\n"
      "                        [--ascii] [--seconds S] [--output FILE]\n"
      "                        [--send HEXTEXT [--checksum KIND]]\n"
      "\n"
      "Opens the serial port DEVICE (\"ttyUSB0\" or a path such as /dev/ttyUSB0) and\n"
      "writes one line per received burst, \"R[hh:nn:ss gap]data\", to standard output\n"
      "or FILE, each line as soon as it is formed. The gap is the time in ms since the\n"
      "previous line (\"---\" from one second on).\n"
      "\n"
      "  --baud N         bits per second (default 9600)\n"
      "  --data-bits N    5, 6, 7 or 8 (default 8)\n"
      "  --parity P       none, odd, even, mark or space (default none)\n"
      "  --stop-bits N    1, 1.5 or 2 (default 1)\n"
      "  --ascii          data as characters instead of hex pairs\n"
      "  --seconds S      stop after S seconds (default: at Ctrl+C or SIGTERM)\n"
      "  --output FILE    write the lines to FILE instead of standard output\n"
      "  --send HEXTEXT   send these bytes once the port is open (a \"T[...]\" line)\n"
      "  --checksum KIND  append a checksum first: SUM, SUM-LH, SUM-HL, XOR,\n"
      "                   Modbus-CRC16, Modbus-LRC16, ANSI-CRC16, CCITT-CRC16, CCITT-CRC8\n"
      "  --help           show this text\n"
      "\n"
      "The byte counts go to standard error at the end. Exit status: 0 done,\n"
      "1 the port or FILE could not be opened or written, 2 bad arguments.\n";

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i]))
            != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// The value's index in `names`, compared without regard to case.
template <typename T>
T PickName(std::string_view option, std::string_view value, const std::vector<std::string> &names)
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (SameIgnoringCase(value, names[i]))
            return static_cast<T>(i);
    }
    throw ECaptureUsage(
        "invalid value for " + std::string(option) + ": '" + std::string(value) + "'");
}

int ParseBaud(std::string_view value)
{
    int baud = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), baud);
    if (error != std::errc() || end != value.data() + value.size() || baud <= 0)
        throw ECaptureUsage("invalid value for --baud: '" + std::string(value) + "'");
    return baud;
}

double ParseSeconds(std::string_view value)
{
    double seconds = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    // A billion seconds (some 30 years) is the longest run the deadline can hold.
    if (error != std::errc() || end != value.data() + value.size() || !std::isfinite(seconds)
        || seconds < 0 || seconds > 1e9)
        throw ECaptureUsage("invalid value for --seconds: '" + std::string(value) + "'");
    return seconds;
}

int ChecksumModeNamed(std::string_view name)
{
    for (const ChecksumKind &kind : kChecksumKinds) {
        if (kind.Mode >= 0 && SameIgnoringCase(name, kind.Name))
            return kind.Mode;
    }
    throw ECaptureUsage("unknown checksum kind: '" + std::string(name) + "'");
}

// Splits "--name=value" into its two halves; other arguments keep no value.
std::pair<std::string_view, std::optional<std::string_view>> SplitOption(std::string_view arg)
{
    const std::size_t equals = arg.find('=');
    if (arg.starts_with("--") && equals != std::string_view::npos)
        return { arg.substr(0, equals), arg.substr(equals + 1) };
    return { arg, std::nullopt };
}

} // namespace

const char *CaptureUsageText()
{
    return kUsage;
}

TCaptureOptions ParseCaptureOptions(const std::vector<std::string> &args)
{
    TCaptureOptions options;
    std::optional<std::string> sendText;
    std::optional<std::string> checksum;

    using Setter = std::function<void(std::string_view)>;
    const std::map<std::string_view, Setter> valued {
        { "--baud", [&](std::string_view v) { options.Baud = ParseBaud(v); } },
        { "--data-bits",
            [&](std::string_view v) {
                options.DataBits = PickName<TDataBits>("--data-bits", v, DataBitsNames());
            } },
        { "--parity",
            [&](std::string_view v) {
                options.Parity = PickName<TParityBits>("--parity", v, ParityNames());
            } },
        { "--stop-bits",
            [&](std::string_view v) {
                options.StopBits = PickName<TStopBits>("--stop-bits", v, StopBitsNames());
            } },
        { "--seconds", [&](std::string_view v) { options.Seconds = ParseSeconds(v); } },
        { "--output", [&](std::string_view v) { options.OutputFile = v; } },
        { "--send", [&](std::string_view v) { sendText = std::string(v); } },
        { "--checksum", [&](std::string_view v) { checksum = std::string(v); } },
    };

    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || !arg.starts_with("-") || arg == "-") {
            if (!options.Device.empty())
                throw ECaptureUsage("more than one device: '" + std::string(arg) + "'");
            options.Device = arg;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.Help = true;
            return options;
        }
        if (arg == "--ascii") {
            options.Ascii = true;
            continue;
        }
        const auto [name, inlineValue] = SplitOption(arg);
        const auto setter = valued.find(name);
        if (setter == valued.end())
            throw ECaptureUsage("unknown option: '" + std::string(arg) + "'");
        if (inlineValue) {
            setter->second(*inlineValue);
        } else {
            if (i + 1 >= args.size())
                throw ECaptureUsage("missing value for " + std::string(name));
            setter->second(args[++i]);
        }
    }

    if (options.Device.empty())
        throw ECaptureUsage("no device given");
    if (checksum && !sendText)
        throw ECaptureUsage("--checksum needs --send");
    if (sendText) {
        const std::string hex = TrimText(*sendText);
        if (!IsHexText(hex))
            throw ECaptureUsage("--send: '" + *sendText + "' is not hex text");
        options.SendText = hex;
        if (checksum)
            options.SendText += " " + CalcChecksum(hex, ChecksumModeNamed(*checksum));
    }
    return options;
}
