#include "shell/atomic_file.h"
#include "shell/settings_record.h"
#include "support/pty_pair.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

std::string RecordBytes(const SettingsRecord &record)
{
    return std::string(reinterpret_cast<const char *>(&record), sizeof record);
}

// A record whose every byte differs from its neighbours, reserved area and string tails included.
SettingsRecord PatternRecord()
{
    SettingsRecord record;
    auto *raw = reinterpret_cast<unsigned char *>(&record);
    for (std::size_t i = 0; i < sizeof record; ++i)
        raw[i] = static_cast<unsigned char>(i * 7 + 3);
    return record;
}

// Sets an environment variable for one test and puts the old value back.
class EnvironmentOverride
{
public:
    EnvironmentOverride(const char *name, const char *value)
        : name_(name)
    {
        if (const char *old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~EnvironmentOverride()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char *name_;
    std::optional<std::string> old_;
};

std::vector<std::string> FolderEntries(const std::string &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(SettingsRecord, Defaults)
{
    const SettingsRecord record = SettingsRecord::Defaults();
    EXPECT_EQ(record.ReceiveWindowColor, 0xE6E6E6);
    EXPECT_EQ(record.SendWindowColor, 0xF0F0F0);
    EXPECT_EQ(record.SearchWindowColor, 0xE6E6E6);
    EXPECT_EQ(record.ReceiveFontColor, 0xC80000);
    EXPECT_EQ(record.SendFontColor, 0x0000C8);
    EXPECT_EQ(record.HighlightColor, 0x008000);
    EXPECT_EQ(record.BaudRateIndex, 7);
    EXPECT_EQ(record.DataBitsIndex, 3);

    // Everything else is zero.
    SettingsRecord expected;
    std::memset(&expected, 0, sizeof expected);
    expected.ReceiveWindowColor = 0xE6E6E6;
    expected.SendWindowColor = 0xF0F0F0;
    expected.SearchWindowColor = 0xE6E6E6;
    expected.ReceiveFontColor = 0xC80000;
    expected.SendFontColor = 0x0000C8;
    expected.HighlightColor = 0x008000;
    expected.BaudRateIndex = 7;
    expected.DataBitsIndex = 3;
    EXPECT_EQ(RecordBytes(record), RecordBytes(expected));
}

TEST(SettingsRecord, MissingFileGivesDefaultsAndKeepsOtherFields)
{
    TempFolder folder;
    SettingsRecord record = PatternRecord();
    LoadSettings(record, folder.Path());
    EXPECT_EQ(record.ReceiveFontColor, 0xC80000);
    EXPECT_EQ(record.PortIndex, 0);
    EXPECT_EQ(record.StopBitsIndex, 0);
    // Fields without a default keep their value.
    EXPECT_EQ(record.ShowTime, PatternRecord().ShowTime);
    EXPECT_EQ(std::memcmp(record.Reserved, PatternRecord().Reserved, sizeof record.Reserved), 0);
}

TEST(SettingsRecord, SaveAndLoadGiveBackEveryByte)
{
    TempFolder folder;
    const SettingsRecord saved = PatternRecord();
    SaveSettings(saved, folder.Path());
    EXPECT_EQ(ReadWholeFile(folder.Path() + "data"), RecordBytes(saved));

    SettingsRecord loaded = SettingsRecord::Defaults();
    LoadSettings(loaded, folder.Path());
    EXPECT_EQ(std::memcmp(&loaded, &saved, sizeof saved), 0);
}

TEST(SettingsRecord, ShortFileOverwritesOnlyItsOwnLength)
{
    TempFolder folder;
    WriteFileAtomically(folder.Path() + "data", std::string(100, '\xAB'));
    SettingsRecord record = SettingsRecord::Defaults();
    LoadSettings(record, folder.Path());

    const std::string bytes = RecordBytes(record);
    const std::string defaults = RecordBytes(SettingsRecord::Defaults());
    EXPECT_EQ(bytes.substr(0, 100), std::string(100, '\xAB'));
    EXPECT_EQ(bytes.substr(100), defaults.substr(100));
    EXPECT_EQ(record.ReceiveFontColor, 0xC80000);
}

TEST(SettingsRecord, LongFileIsCutToTheRecord)
{
    TempFolder folder;
    const std::string pattern = RecordBytes(PatternRecord());
    WriteFileAtomically(
        folder.Path() + "data", pattern + std::string(2000 - pattern.size(), '\xEE'));
    SettingsRecord record = SettingsRecord::Defaults();
    LoadSettings(record, folder.Path());
    EXPECT_EQ(RecordBytes(record), pattern);
}

TEST(SettingsRecord, SaveCreatesTheFolderAndLeavesNoTemporaryFile)
{
    TempFolder base;
    const std::string folder = base.Path() + "a/b/{6d1f0b27-3c84-4e5a-a9d2-71c0e8b45f13}/";
    SaveSettings(SettingsRecord::Defaults(), folder);
    SaveSettings(PatternRecord(), folder); // replaces the first file
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string> { "data" });
    EXPECT_EQ(ReadWholeFile(folder + "data"), RecordBytes(PatternRecord()));
}

TEST(SettingsRecord, UnreadableFileRaisesAndFailedSaveRaises)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.Path() + "data"); // exists, cannot be read as a file
    SettingsRecord record = SettingsRecord::Defaults();
    EXPECT_THROW(LoadSettings(record, folder.Path()), std::system_error);
    EXPECT_EQ(RecordBytes(record), RecordBytes(SettingsRecord::Defaults()));

    EXPECT_THROW(SaveSettings(record, folder.Path()), std::system_error); // "data" is a folder
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string> { "data" });
}

// Only a missing file means "no settings yet"; every other failure is the
// caller's to report, and a FIFO must not hold up the start.
TEST(SettingsRecord, OnlyAMissingFileReadsAsDefaults)
{
    TempFolder folder;
    const std::string base = folder.Path();
    std::filesystem::create_directories(base + "folder/data");
    std::filesystem::create_directories(base + "fifo");
    ASSERT_EQ(::mkfifo((base + "fifo/data").c_str(), 0600), 0);
    std::filesystem::create_directories(base + "loop");
    std::filesystem::create_symlink("data", base + "loop/data");
    WriteFileAtomically(base + "plain", "x");
    std::filesystem::create_directories(base + "locked");
    WriteFileAtomically(base + "locked/data", std::string(10, '\x01'));
    ::chmod((base + "locked").c_str(), 0);
    const bool permissionsHold = ::geteuid() != 0; // root passes any permission check

    const struct
    {
        const char *Folder;
        int Error; // 0: reads as defaults
    } cases[] = {
        { "missing/", 0 },
        { "folder/", EISDIR },
        { "fifo/", EINVAL },
        { "loop/", ELOOP },
        { "plain/", ENOTDIR },
        { "locked/", permissionsHold ? EACCES : 0 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Folder);
        SettingsRecord record = SettingsRecord::Defaults();
        try {
            LoadSettings(record, base + c.Folder);
            if (c.Error != 0)
                ADD_FAILURE() << "no error";
        } catch (const std::system_error &e) {
            EXPECT_EQ(e.code().value(), c.Error) << e.what();
        }
    }
    ::chmod((base + "locked").c_str(), 0700);
}

TEST(SettingsRecord, FilterValueIsClampedToItsField)
{
    FilterEntry entry {};
    entry.SetFilterValue("0A");
    EXPECT_EQ(entry.FilterValue(), "0A");
    entry.SetFilterValue("ABCDEF");
    EXPECT_EQ(entry.FilterValue(), "AB");
    entry.SetFilterValue("7");
    EXPECT_EQ(entry.FilterValue(), "7");
    entry.FilterValueLength = 200; // a damaged file
    EXPECT_EQ(entry.FilterValue(), "7B");
}

TEST(SettingsRecord, ShortStringAssignCutsAndKeepsTheTail)
{
    SettingsRecord record = PatternRecord();
    const char tailBefore = record.LastFileName.Chars[10];
    record.LastFileName.Assign("/tmp/x");
    EXPECT_EQ(record.LastFileName.Text(), "/tmp/x");
    EXPECT_EQ(record.LastFileName.Chars[10], tailBefore);

    record.AutoSavePath.Assign(std::string(300, 'p'));
    EXPECT_EQ(record.AutoSavePath.Length, 255);
    EXPECT_EQ(record.AutoSavePath.Text(), std::string(255, 'p'));
    EXPECT_EQ(record.SendWindowVisible,
        PatternRecord().SendWindowVisible); // no spill into the next field
}

TEST(SettingsRecord, HomePathAndDataFolder)
{
    {
        EnvironmentOverride xdg("XDG_DATA_HOME", "/srv/share/");
        EXPECT_EQ(ExpandHomePath("HomeDrive"), "/srv/share");
        EXPECT_EQ(DataFolder(), "/srv/share/{6d1f0b27-3c84-4e5a-a9d2-71c0e8b45f13}/");
        EXPECT_EQ(ExpandHomePath("homedrive"), "");
        EXPECT_EQ(ExpandHomePath("HOMEDRIVE"), "");
        EXPECT_EQ(ExpandHomePath(""), "");
    }
    EnvironmentOverride home("HOME", "/home/tester");
    for (const char *unusable : { static_cast<const char *>(nullptr), "", "relative/path" }) {
        EnvironmentOverride xdg("XDG_DATA_HOME", unusable);
        EXPECT_EQ(ExpandHomePath("HomeDrive"), "/home/tester/.local/share");
        EXPECT_EQ(ExpandHomePath("HOMEPATH"), "/home/tester");
    }
}

} // namespace
