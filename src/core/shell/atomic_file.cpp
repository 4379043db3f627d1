#include "shell/atomic_file.h"

#include "shell/file_descriptor.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowErrno(int error, const std::string &what)
{
    throw std::system_error(error, std::generic_category(), what);
}

std::string ParentFolder(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

void CreateFolders(const std::string &folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        throw std::system_error(ec, "cannot create folder " + folder);
}

std::string FileName(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A hidden name beside the target; the pid and a counter keep writers apart, and
// O_EXCL below catches a leftover of an earlier crash.
std::string TemporaryNameFor(const std::string &path)
{
    static std::atomic<unsigned> counter { 0 };
    return ParentFolder(path) + "/." + FileName(path) + ".tmp-" + std::to_string(::getpid()) + "-"
        + std::to_string(counter.fetch_add(1));
}

// Created with 0666 so the user's umask applies, as for any other file the user saves.
std::pair<int, std::string> CreateTemporaryFile(const std::string &path)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TemporaryNameFor(path);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return { fd, std::move(name) };
        if (errno != EEXIST)
            ThrowErrno(errno, "cannot create " + name);
    }
    ThrowErrno(EEXIST, "cannot create a temporary file for " + path);
}

void WriteAll(int fd, std::string_view bytes, const std::string &what)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno, "cannot write " + what);
        }
        bytes.remove_prefix(std::size_t(written));
    }
}

// A replaced file keeps its permissions.
void KeepModeOf(const std::string &path, int fd)
{
    struct stat existing
    {
    };
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, existing.st_mode & 07777);
}

void SyncFolder(const std::string &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return; // the rename is done; durability of the folder entry is best effort
    ::fsync(fd);
    ::close(fd);
}

void WriteAndRename(FileDescriptor &file, const std::string &tempPath, const std::string &path,
    std::string_view bytes)
{
    KeepModeOf(path, file.Get());
    WriteAll(file.Get(), bytes, tempPath);
    if (::fsync(file.Get()) != 0)
        ThrowErrno(errno, "cannot sync " + tempPath);
    if (file.Close() != 0)
        ThrowErrno(errno, "cannot close " + tempPath);
    if (::rename(tempPath.c_str(), path.c_str()) != 0)
        ThrowErrno(errno, "cannot replace " + path);
}

} // namespace

void WriteFileAtomically(const std::string &path, std::string_view bytes)
{
    const std::string folder = ParentFolder(path);
    CreateFolders(folder);

    auto [fd, tempPath] = CreateTemporaryFile(path);
    FileDescriptor file(fd);
    try {
        WriteAndRename(file, tempPath, path, bytes);
    } catch (...) {
        ::unlink(tempPath.c_str());
        throw;
    }
    SyncFolder(folder);
}

namespace {

std::string ReadHead(const FileDescriptor &file, const std::string &path, std::size_t maxBytes)
{
    std::string bytes;
    char buffer[65536];
    while (bytes.size() < maxBytes) {
        const std::size_t wanted = std::min(sizeof buffer, maxBytes - bytes.size());
        const ssize_t got = ::read(file.Get(), buffer, wanted);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno, "cannot read " + path);
        }
        if (got == 0)
            break;
        bytes.append(buffer, std::size_t(got));
    }
    return bytes;
}

// Opens a file for reading only when it is a regular one. Without O_NONBLOCK
// the open of a FIFO would wait for a writer; a regular file ignores the flag.
// errno of a failed open is kept in the exception's code (ENOENT: missing).
FileDescriptor OpenRegularFile(const std::string &path)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0)
        ThrowErrno(errno, "cannot open " + path);
    struct stat info
    {
    };
    if (::fstat(file.Get(), &info) != 0)
        ThrowErrno(errno, "cannot read " + path);
    if (!S_ISREG(info.st_mode))
        ThrowErrno(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, path + " is not a regular file");
    return file;
}

} // namespace

std::string ReadFileHead(const std::string &path, std::size_t maxBytes)
{
    const FileDescriptor file = OpenRegularFile(path);
    return ReadHead(file, path, maxBytes);
}

std::optional<std::string> ReadRegularFileHead(const std::string &path, std::size_t maxBytes)
{
    try {
        return ReadFileHead(path, maxBytes);
    } catch (const std::system_error &error) {
        if (error.code().value() == ENOENT)
            return std::nullopt;
        throw;
    }
}

std::string ReadWholeFile(const std::string &path)
{
    return ReadFileHead(path, std::string::npos);
}

bool FileExists(const std::string &path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0;
}
