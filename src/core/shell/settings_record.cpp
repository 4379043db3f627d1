#include "shell/settings_record.h"

#include "shell/atomic_file.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

// The file is the in-memory record as it stands, little-endian.
static_assert(std::endian::native == std::endian::little);

namespace {

// An empty text may have no storage at all, and memcpy from a null pointer is
// undefined even for no bytes.
void CopyBytes(void *to, const char *from, std::size_t count)
{
    if (count > 0)
        std::memcpy(to, from, count);
}

constexpr const char *kDataFolderName = "{6d1f0b27-3c84-4e5a-a9d2-71c0e8b45f13}";
constexpr const char *kSettingsFileName = "data";
constexpr std::size_t kFilterValueCapacity = sizeof(FilterEntry::FilterValueChars);

std::string WithoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string EnvironmentValue(const char *name)
{
    const char *value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string HomeFolder()
{
    std::string home = EnvironmentValue("HOME");
    if (!home.empty())
        return WithoutTrailingSlashes(home);
    // No $HOME (a service or a stripped environment): ask the password database.
    if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return WithoutTrailingSlashes(entry->pw_dir);
    return {};
}

// $XDG_DATA_HOME when it is an absolute path, otherwise ~/.local/share.
std::string UserDataHome()
{
    const std::string configured = EnvironmentValue("XDG_DATA_HOME");
    if (configured.starts_with('/'))
        return WithoutTrailingSlashes(configured);
    return HomeFolder() + "/.local/share";
}

} // namespace

void ShortString255::Assign(std::string_view text)
{
    const std::size_t length = std::min(text.size(), sizeof Chars);
    CopyBytes(Chars, text.data(), length);
    Length = uint8_t(length);
}

std::string FilterEntry::FilterValue() const
{
    const std::size_t length = std::min<std::size_t>(FilterValueLength, kFilterValueCapacity);
    return std::string(FilterValueChars, length);
}

void FilterEntry::SetFilterValue(std::string_view value)
{
    const std::size_t length = std::min(value.size(), kFilterValueCapacity);
    CopyBytes(FilterValueChars, value.data(), length);
    FilterValueLength = uint8_t(length);
}

SettingsRecord SettingsRecord::Defaults()
{
    SettingsRecord record;
    std::memset(&record, 0, sizeof record);
    record.SetDefaults();
    return record;
}

void SettingsRecord::SetDefaults()
{
    ReceiveWindowColor = 0xE6E6E6;
    SendWindowColor = 0xF0F0F0;
    SearchWindowColor = 0xE6E6E6;
    ReceiveFontColor = 0xC80000;
    SendFontColor = 0x0000C8;
    PortIndex = 0;
    BaudRateIndex = 7;
    ParityIndex = 0;
    DataBitsIndex = 3;
    StopBitsIndex = 0;
    HighlightColor = 0x008000;
}

std::string ExpandHomePath(std::string_view which)
{
    if (which == "HomeDrive")
        return UserDataHome();
    if (which == "HOMEPATH")
        return HomeFolder();
    return {};
}

std::string DataFolder()
{
    return ExpandHomePath("HomeDrive") + "/" + kDataFolderName + "/";
}

SettingsRecord SettingsFromBytes(std::string_view bytes)
{
    SettingsRecord record = SettingsRecord::Defaults();
    CopyBytes(&record, bytes.data(), std::min(bytes.size(), sizeof record));
    return record;
}

void LoadSettings(SettingsRecord &record, const std::string &folder)
{
    record.SetDefaults();
    // Read before touching the record: a failed read changes nothing beyond the defaults.
    const std::optional<std::string> bytes
        = ReadRegularFileHead(folder + kSettingsFileName, kSettingsRecordSize);
    if (bytes)
        CopyBytes(&record, bytes->data(), bytes->size());
}

void SaveSettings(const SettingsRecord &record, const std::string &folder)
{
    const auto *raw = reinterpret_cast<const char *>(&record);
    WriteFileAtomically(folder + kSettingsFileName, std::string_view(raw, sizeof record));
}
