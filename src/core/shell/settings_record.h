#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A length byte followed by 255 character bytes. Bytes after the text are kept
// as they were: the record is written back byte for byte.
struct ShortString255
{
    uint8_t Length;
    char Chars[255];

    std::string Text() const { return std::string(Chars, Length); }
    // Cut to 255 bytes; the bytes after the new text are left alone.
    void Assign(std::string_view text);
};

struct FilterEntry
{
    int32_t FilterByteNo; // 0: entry unused
    uint8_t FilterValueLength;
    char FilterValueChars[2];
    uint8_t Padding;

    // The value, its length clamped to the two bytes the field holds.
    std::string FilterValue() const;
    void SetFilterValue(std::string_view value);
};

struct ReceiveTriggerRow
{
    uint32_t RecLine; // 0: row inactive
    uint32_t TrigLine;
};

// The loop block: the record's first 20 bytes, handed to the scheduler as it stands.
struct LoopParams
{
    uint8_t LoopRange;
    uint8_t LoopThisLine;
    uint8_t Padding[2];
    uint32_t LoopFixedLine;
    uint32_t LoopRangeFrom;
    uint32_t LoopRangeTo;
    uint32_t LoopInterval;
};

// The trigger block: bytes 0x018..0x097 of the record.
struct TriggerParams
{
    uint8_t TimingTriggerEnabled;
    uint8_t Padding1[7];
    double TimingTriggerTime; // days; only the fraction (time of day) is used
    uint8_t TimingRange;
    uint8_t TimingThisLine;
    uint8_t Padding2[2];
    uint32_t TimingFixedLine;
    uint32_t TimingRangeFrom;
    uint32_t TimingRangeTo;
    uint32_t TimingInterval;
    uint8_t ReceiveTriggerEnabled;
    uint8_t Padding3[3];
    ReceiveTriggerRow ReceiveTriggerList[10];
    uint32_t ReceiveTriggerDelay;
    // Record bytes 0x094..0x097. Named so that the block has no hidden tail padding
    // (the double makes it 8-aligned) and every byte is copied as it stands.
    uint8_t Unused[4];
};

// Every persisted setting: 1528 bytes, little-endian, written raw to "data".
struct SettingsRecord
{
    LoopParams Loop;
    uint8_t Unused1[4];
    TriggerParams Trigger;
    int32_t ChecksumType;
    FilterEntry FilterEntries[5];
    uint8_t FilterEnabled;
    uint8_t Padding4[3];
    uint8_t PortIndex;
    uint8_t BaudRateIndex;
    uint8_t ParityIndex;
    uint8_t DataBitsIndex;
    uint8_t StopBitsIndex;
    uint8_t DtrOn;
    uint8_t RtsOn;
    uint8_t Padding5;
    int32_t HighlightColor; // colours are 0x00BBGGRR
    uint8_t LoopSendEnabled;
    uint8_t Unused3;
    uint8_t ShowTime;
    uint8_t ShowRxTx;
    uint8_t ShowSending;
    uint8_t WordWrap;
    uint8_t AsciiReceive;
    uint8_t AsciiSend;
    uint8_t Unused4;
    ShortString255 LastFileName;
    uint8_t SendWindowVisible;
    uint8_t FindWindowVisible;
    uint8_t Padding6;
    int32_t SendWindowColor;
    int32_t ReceiveWindowColor;
    int32_t SearchWindowColor;
    int32_t ReceiveFontColor;
    int32_t SendFontColor;
    int32_t AutoLines;
    ShortString255 AutoSavePath;
    uint8_t Reserved[768];

    // All zero, then the defaults that LoadSettings sets.
    static SettingsRecord Defaults();
    // Sets the defaults on the fields that have one; others are left alone.
    void SetDefaults();
};

inline constexpr std::size_t kSettingsRecordSize = 1528;

static_assert(sizeof(LoopParams) == 20);
static_assert(sizeof(TriggerParams) == 0x98 - 0x18);
static_assert(sizeof(SettingsRecord) == kSettingsRecordSize);
static_assert(offsetof(SettingsRecord, Trigger) == 0x018);
static_assert(
    offsetof(SettingsRecord, Trigger) + offsetof(TriggerParams, TimingTriggerTime) == 0x020);
static_assert(
    offsetof(SettingsRecord, Trigger) + offsetof(TriggerParams, ReceiveTriggerList) == 0x040);
static_assert(
    offsetof(SettingsRecord, Trigger) + offsetof(TriggerParams, ReceiveTriggerDelay) == 0x090);
static_assert(offsetof(SettingsRecord, ChecksumType) == 0x098);
static_assert(offsetof(SettingsRecord, FilterEntries) == 0x09C);
static_assert(offsetof(SettingsRecord, FilterEnabled) == 0x0C4);
static_assert(offsetof(SettingsRecord, PortIndex) == 0x0C8);
static_assert(offsetof(SettingsRecord, HighlightColor) == 0x0D0);
static_assert(offsetof(SettingsRecord, LoopSendEnabled) == 0x0D4);
static_assert(offsetof(SettingsRecord, ShowTime) == 0x0D6);
static_assert(offsetof(SettingsRecord, AsciiSend) == 0x0DB);
static_assert(offsetof(SettingsRecord, LastFileName) == 0x0DD);
static_assert(offsetof(SettingsRecord, SendWindowVisible) == 0x1DD);
static_assert(offsetof(SettingsRecord, SendWindowColor) == 0x1E0);
static_assert(offsetof(SettingsRecord, SendFontColor) == 0x1F0);
static_assert(offsetof(SettingsRecord, AutoLines) == 0x1F4);
static_assert(offsetof(SettingsRecord, AutoSavePath) == 0x1F8);
static_assert(offsetof(SettingsRecord, Reserved) == 0x2F8);

// "HomeDrive": the base of the data folder ($XDG_DATA_HOME, else ~/.local/share);
// "HOMEPATH": the home folder; anything else (case matters): empty.
std::string ExpandHomePath(std::string_view which);
// The program's data folder, ending with "/".
std::string DataFolder();

// Defaults, then the first bytes (up to 1528) of a stored record laid over them.
SettingsRecord SettingsFromBytes(std::string_view bytes);
// Defaults, then the first bytes (up to 1528) of "<folder>data" when it exists.
// A file that exists but cannot be read raises std::system_error.
void LoadSettings(SettingsRecord &record, const std::string &folder);
// Writes the record to "<folder>data" through a temporary file, creating the
// folder when it is missing. Raises std::system_error on failure.
void SaveSettings(const SettingsRecord &record, const std::string &folder);
