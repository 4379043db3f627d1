#pragma once

#include <string>
#include <string_view>

// A kernel pseudo-terminal pair opened for a test. The slave side is what the
// program opens as its port (by SlavePath); the test plays the device on the
// master side. The master is raw, so bytes pass unchanged.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    const std::string &SlavePath() const { return slavePath_; }
    int Master() const { return master_; }

    void Write(std::string_view bytes);
    // Reads what arrives on the master until `count` bytes or `timeoutMs` passed.
    std::string Read(std::size_t count, int timeoutMs);
    // Closes the master: the port's other end hangs up.
    void CloseMaster();

private:
    int master_ = -1;
    int slaveKeepOpen_ = -1; // keeps the slave configured raw until the port opens it
    std::string slavePath_;
};

// A temporary folder removed with everything in it at the end of the test.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    // Ends with "/".
    const std::string &Path() const { return path_; }

private:
    std::string path_;
};
