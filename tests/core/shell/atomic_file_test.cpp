#include "shell/atomic_file.h"
#include "support/pty_pair.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace {

std::size_t EntryCount(const std::string &folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

TEST(AtomicFile, WritesReplacesAndReadsBack)
{
    TempFolder folder;
    const std::string path = folder.Path() + "send";
    const std::string binary("\0\x01\xff\r\n", 5);
    WriteFileAtomically(path, binary);
    EXPECT_EQ(ReadWholeFile(path), binary);
    WriteFileAtomically(path, "shorter");
    EXPECT_EQ(ReadWholeFile(path), "shorter");
    WriteFileAtomically(path, "");
    EXPECT_EQ(ReadWholeFile(path), "");
    EXPECT_EQ(EntryCount(folder.Path()), 1u);
    EXPECT_EQ(ReadFileHead(path, 3), "");
}

TEST(AtomicFile, ReadFileHeadStopsAtTheLimit)
{
    TempFolder folder;
    const std::string big(200000, 'x');
    WriteFileAtomically(folder.Path() + "big", big);
    EXPECT_EQ(ReadFileHead(folder.Path() + "big", 1528).size(), 1528u);
    EXPECT_EQ(ReadWholeFile(folder.Path() + "big"), big);
}

TEST(AtomicFile, ReplacedFileKeepsItsPermissions)
{
    TempFolder folder;
    const std::string path = folder.Path() + "config.ini";
    WriteFileAtomically(path, "a");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    WriteFileAtomically(path, "b");
    struct stat info
    {
    };
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(AtomicFile, FailuresRaiseWithTheErrorAndLeaveNothingBehind)
{
    TempFolder folder;
    try {
        ReadWholeFile(folder.Path() + "missing");
        FAIL() << "no exception";
    } catch (const std::system_error &error) {
        EXPECT_EQ(error.code(), std::errc::no_such_file_or_directory);
    }
    EXPECT_FALSE(FileExists(folder.Path() + "missing"));

    std::filesystem::create_directory(folder.Path() + "taken");
    EXPECT_TRUE(FileExists(folder.Path() + "taken"));
    EXPECT_THROW(WriteFileAtomically(folder.Path() + "taken", "x"), std::system_error);
    WriteFileAtomically(folder.Path() + "plain", "x");
    EXPECT_THROW(WriteFileAtomically(folder.Path() + "plain/inside", "x"), std::system_error);
    EXPECT_EQ(EntryCount(folder.Path()), 2u); // "taken" and "plain", no temporary file
}

} // namespace

namespace {

TEST(AtomicFile, ReadingRefusesFoldersAndFifosWithoutWaiting)
{
    TempFolder folder;
    const std::string fifo = folder.Path() + "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string &path : { folder.Path(), fifo }) {
        SCOPED_TRACE(path);
        try {
            ReadWholeFile(path); // a blocking open of the FIFO would hang here
            ADD_FAILURE() << "read succeeded";
        } catch (const std::system_error &e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
        }
    }
}

} // namespace
