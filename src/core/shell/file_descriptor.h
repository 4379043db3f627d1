#pragma once

#include <unistd.h>

#include <utility>

// Owns a descriptor: closes it on every path out of a scope unless released.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd)
        : fd_(fd)
    { }
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    FileDescriptor(FileDescriptor &&other) noexcept
        : fd_(other.Release())
    { }

    int Get() const { return fd_; }
    // Hands the descriptor over to the caller.
    int Release() { return std::exchange(fd_, -1); }
    // Closes now and reports the result: a failed close can mean lost data.
    int Close() { return ::close(Release()); }

private:
    int fd_;
};
