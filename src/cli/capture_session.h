#pragma once

#include "cli/capture_options.h"

class TVekScomm;

#include <cstdint>
#include <optional>
#include <string>

// One run of the capture tool: opens the port, sends the optional line, writes
// each capture line to the output as soon as it is queued, and ends after the
// given time or at SIGINT/SIGTERM. Diagnostics go to `errorFd`.
class TCaptureSession
{
public:
    TCaptureSession(const TCaptureOptions &options, int errorFd);

    // The exit status: 0 done, 1 the port or the output failed.
    int Run();

    uint32_t TxCount() const { return txCount_; }
    uint32_t RxCount() const { return rxCount_; }

private:
    void Report(const std::string &text) const;
    bool OpenPort(TVekScomm &channel) const;
    bool SendRequest(TVekScomm &channel) const;
    // Writes every queued line; an exit status once the output is gone.
    std::optional<int> WriteQueuedLines(TVekScomm &channel, int outputFd) const;
    // Writes lines as they are queued until the deadline or a stop signal.
    int Capture(TVekScomm &channel, int outputFd, int stopFd, int queuedFd) const;

    const TCaptureOptions &options_;
    int errorFd_;
    uint32_t txCount_ = 0;
    uint32_t rxCount_ = 0;
};
