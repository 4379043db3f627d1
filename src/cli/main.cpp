#include "cli/capture_options.h"
#include "cli/capture_session.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char *argv[])
{
    TCaptureOptions options;
    try {
        options = ParseCaptureOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const ECaptureUsage &e) {
        std::fprintf(stderr, "corvella-capture: %s\n\n%s", e.what(), CaptureUsageText());
        return 2;
    }
    if (options.Help) {
        std::fputs(CaptureUsageText(), stdout);
        return 0;
    }

    // A closed pipe shows as a failed write, which ends the capture quietly.
    std::signal(SIGPIPE, SIG_IGN);
    TCaptureSession session(options, 2);
    const int status = session.Run();
    std::fprintf(stderr, "TX: %u RX: %u\n", session.TxCount(), session.RxCount());
    return status;
}
