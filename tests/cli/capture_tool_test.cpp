#include "cli/capture_options.h"
#include "support/pty_pair.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <regex>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// The capture tool started with its output on two pipes.
class CaptureProcess
{
public:
    explicit CaptureProcess(const std::vector<std::string> &args)
    {
        int out[2];
        int err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        std::vector<std::string> argv { CORVELLA_CAPTURE_PATH };
        argv.insert(argv.end(), args.begin(), args.end());
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(err[1], STDERR_FILENO);
            std::vector<char *> raw;
            for (std::string &a : argv)
                raw.push_back(a.data());
            raw.push_back(nullptr);
            ::execv(raw[0], raw.data());
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~CaptureProcess()
    {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
        ::close(err_);
    }

    // The next line of standard output without its "\n", or empty after the limit.
    std::string NextLine(int limitMs = 5000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        for (;;) {
            const std::size_t end = stdout_.find('\n');
            if (end != std::string::npos) {
                std::string line = stdout_.substr(0, end);
                stdout_.erase(0, end + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0 || !ReadSome(out_, stdout_, int(left)))
                return {};
        }
    }

    void Signal(int signal) { ::kill(pid_, signal); }

    // Waits for the end; returns the exit status (-1 when killed by a signal).
    int Wait()
    {
        while (ReadSome(out_, stdout_, 10000)) { }
        while (ReadSome(err_, stderr_, 10000)) { }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string &RestOfStdout() const { return stdout_; }
    const std::string &Stderr() const { return stderr_; }

private:
    static bool ReadSome(int fd, std::string &into, int limitMs)
    {
        pollfd p { fd, POLLIN, 0 };
        if (::poll(&p, 1, limitMs) <= 0)
            return false;
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        into.append(buffer, std::size_t(n));
        return true;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    bool exited_ = false;
    std::string stdout_;
    std::string stderr_;
};

const std::regex kStamp(R"([RT]\[\d\d:\d\d:\d\d (\s{0,2}\d{1,3}|---)\])");

bool HasStamp(const std::string &line)
{
    std::smatch m;
    return std::regex_search(line, m, kStamp) && m.position(0) == 0;
}

} // namespace

// The sent request (with its checksum) and the reply appear while the tool
// runs, one flushed line each; a SIGTERM ends it with the byte counts.
TEST(CaptureTool, SendsWithChecksumAndStreamsEachBurst)
{
    PtyPair pty;
    CaptureProcess tool({ pty.SlavePath(), "--baud", "115200", "--send", "01 03 00 00 00 01",
        "--checksum", "modbus-crc16" });

    EXPECT_EQ(pty.Read(8, 5000), std::string("\x01\x03\x00\x00\x00\x01\x84\x0A", 8));
    const std::string sent = tool.NextLine();
    ASSERT_TRUE(HasStamp(sent)) << sent;
    EXPECT_EQ(sent.substr(0, 2), "T[");
    EXPECT_EQ(sent.substr(15), "01 03 00 00 00 01 84 0A ");

    pty.Write(std::string("\x01\x03\x02\x00\x0A", 5));
    const std::string reply = tool.NextLine();
    ASSERT_TRUE(HasStamp(reply)) << reply;
    EXPECT_EQ(reply.substr(0, 2), "R[");
    EXPECT_EQ(reply.substr(15), "01 03 02 00 0A");

    tool.Signal(SIGTERM);
    EXPECT_EQ(tool.Wait(), 0) << tool.Stderr();
    EXPECT_EQ(tool.RestOfStdout(), "");
    EXPECT_NE(tool.Stderr().find("TX: 8 RX: 5"), std::string::npos) << tool.Stderr();
}

// Characters instead of hex pairs, written to a file, ending by itself.
TEST(CaptureTool, AsciiIntoFileForGivenTime)
{
    PtyPair pty;
    TempFolder folder;
    const std::string file = folder.Path() + "capture.txt";
    CaptureProcess tool({ pty.SlavePath(), "--ascii", "--seconds", "1.5", "--output", file,
        "--parity", "EVEN", "--data-bits", "7", "--stop-bits", "2" });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    pty.Write("OK\r");

    EXPECT_EQ(tool.Wait(), 0) << tool.Stderr();
    EXPECT_EQ(tool.RestOfStdout(), "");
    std::ifstream in(file, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), {});
    ASSERT_TRUE(HasStamp(written)) << written;
    EXPECT_EQ(written.substr(15), "OK\r\n");
    EXPECT_NE(tool.Stderr().find("TX: 0 RX: 3"), std::string::npos) << tool.Stderr();
}

TEST(CaptureTool, ExitStatusAndMessage)
{
    struct Case
    {
        std::vector<std::string> Args;
        int Status;
        std::string Says;
    };
    const std::vector<Case> cases {
        { {}, 2, "no device given" },
        { { "ttyS0", "--parity", "sometimes" }, 2, "--parity" },
        { { "ttyS0", "--baud", "96O0" }, 2, "--baud" },
        { { "ttyS0", "--seconds", "-1" }, 2, "--seconds" },
        { { "ttyS0", "--seconds", "1e300" }, 2, "--seconds" },
        { { "ttyS0", "--data-bits", "9" }, 2, "--data-bits" },
        { { "ttyS0", "--send", "01 0" }, 2, "not hex text" },
        { { "ttyS0", "--send", "01", "--checksum", "CRC99" }, 2, "unknown checksum" },
        { { "ttyS0", "--checksum", "SUM" }, 2, "needs --send" },
        { { "ttyS0", "ttyS1" }, 2, "more than one device" },
        { { "ttyS0", "--frobnicate" }, 2, "unknown option" },
        { { "ttyS0", "--output" }, 2, "missing value" },
        { { "/nonexistent/ttyX" }, 1, "Open port failure" },
        { { "/nonexistent/ttyX" }, 1, "No such file or directory" },
    };
    for (const Case &c : cases) {
        CaptureProcess tool(c.Args);
        EXPECT_EQ(tool.Wait(), c.Status) << testing::PrintToString(c.Args);
        EXPECT_NE(tool.Stderr().find(c.Says), std::string::npos) << testing::PrintToString(
            c.Args) << "\n" << tool.Stderr();
        if (c.Status == 2) {
            EXPECT_NE(tool.Stderr().find("Usage: corvella-capture DEVICE"), std::string::npos)
                << tool.Stderr();
        }
    }
}

TEST(CaptureTool, HelpGoesToStdout)
{
    CaptureProcess tool({ "--help" });
    EXPECT_EQ(tool.Wait(), 0);
    EXPECT_NE(tool.RestOfStdout().find("--checksum KIND"), std::string::npos);
    EXPECT_EQ(tool.Stderr(), "");
}

TEST(CaptureTool, UnwritableOutputFails)
{
    PtyPair pty;
    CaptureProcess tool({ pty.SlavePath(), "--output", "/nonexistent/dir/capture.txt" });
    EXPECT_EQ(tool.Wait(), 1);
    EXPECT_NE(tool.Stderr().find("/nonexistent/dir/capture.txt: No such file or directory"),
        std::string::npos)
        << tool.Stderr();
}

// What the command line turns into; checksum names match in any case, and
// "--name=value" is read like "--name value".
TEST(CaptureOptions, ReadsValuesAndChecksums)
{
    const TCaptureOptions o = ParseCaptureOptions(
        { "ttyUSB0", "--baud=250000", "--parity", "Mark", "--stop-bits", "1.5", "--send",
            " 31 32 33 34 35 36 37 38 39 ", "--checksum", "ccitt-CRC16", "--seconds", "0.25" });
    EXPECT_EQ(o.Device, "ttyUSB0");
    EXPECT_EQ(o.Baud, 250000);
    EXPECT_EQ(o.Parity, prMark);
    EXPECT_EQ(o.StopBits, sbOne5StopBits);
    EXPECT_EQ(o.SendText, "31 32 33 34 35 36 37 38 39 C3 31");
    ASSERT_TRUE(o.Seconds);
    EXPECT_DOUBLE_EQ(*o.Seconds, 0.25);

    const std::vector<std::pair<std::string, std::string>> kinds {
        { "SUM", "01 03 00 00 00 01 05" },
        { "sum-lh", "01 03 00 00 00 01 05 00" },
        { "Sum-HL", "01 03 00 00 00 01 00 05" },
        { "xor", "01 03 00 00 00 01 03" },
        { "MODBUS-CRC16", "01 03 00 00 00 01 84 0A" },
        { "ansi-crc16", "01 03 00 00 00 01 84 0A" },
        { "modbus-lrc16", "01 03 00 00 00 01 FB" },
        { "CCITT-CRC8", "01 03 00 00 00 01 77" },
    };
    for (const auto &[kind, line] : kinds) {
        EXPECT_EQ(ParseCaptureOptions({ "p", "--send", "01 03 00 00 00 01", "--checksum", kind })
                      .SendText,
            line)
            << kind;
    }
}
