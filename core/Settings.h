#pragma once
// The settings file: its fourteen keys, how each kind of value is read, the section texts written at
// the first start and at exit, and the hand-over of the read values to the process-wide variables.

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/Globals.h"
#include "core/MessageText.h"
#include "core/Profile.h"
#include "core/TextCodec.h"

namespace orvane {

inline constexpr std::string_view kSettingsSection = "Orvane";

enum class SettingKind : std::uint8_t { Directory, Coordinate, Boolean, WholeNumber, Text };

/// A value that the windows hold rather than a process-wide variable.
enum class WindowValue : std::uint8_t { OutputDir, Top, Left, Width, Height };

/// Where a key's value lives during the run.
using SettingVariable = std::variant<std::u16string*, bool*, std::int16_t*, WindowValue>;

/// The value a first start writes and sets: the program directory, the window's size at that moment,
/// or a number (Booleans: 0 False, 1 True). A text key's first-start value is empty.
struct FirstStartValue {
    enum class From : std::uint8_t { Number, ProgramDirectory, WindowSize } from = From::Number;
    int number = 0;
};
inline constexpr FirstStartValue kProgramDirectory{FirstStartValue::From::ProgramDirectory};
inline constexpr FirstStartValue kWindowSize{FirstStartValue::From::WindowSize};
inline constexpr FirstStartValue kEmptyText{};
constexpr FirstStartValue FirstStart(int number) {
    return {FirstStartValue::From::Number, number};
}

struct SettingRow {
    std::string_view key;
    SettingKind kind;
    FirstStartValue firstStart;
    SettingVariable variable;
};

/// The settings file's keys in the order they are written, at the first start and at exit alike.
/// Reading, its fallbacks, the first start and writing all follow this table: a key is one row.
// clang-format off
inline constexpr auto kSettings = std::to_array<SettingRow>({
    {"DefaultInDir",       SettingKind::Directory,   kProgramDirectory, &gInputDir},
    {"DefaultOutDir",      SettingKind::Directory,   kProgramDirectory, WindowValue::OutputDir},
    {"Top",                SettingKind::Coordinate,  FirstStart(100),   WindowValue::Top},
    {"Left",               SettingKind::Coordinate,  FirstStart(100),   WindowValue::Left},
    {"Width",              SettingKind::Coordinate,  kWindowSize,       WindowValue::Width},
    {"Height",             SettingKind::Coordinate,  kWindowSize,       WindowValue::Height},
    {"DEBUG_STS",          SettingKind::Boolean,     FirstStart(1),     &gShowStatus},
    {"LINK_AB",            SettingKind::WholeNumber, FirstStart(0),     &gLinkLevel},
    {"NAME_AB",            SettingKind::WholeNumber, FirstStart(0),     &gNameMode},
    {"LIST_MAKE",          SettingKind::WholeNumber, FirstStart(0),     &gListType},
    {"FILE_OVER_SAVE",     SettingKind::Boolean,     FirstStart(1),     &gConfirmOverwrite},
    {"LIST_CLK",           SettingKind::WholeNumber, FirstStart(0),     &gDblClickAction},
    {"ProxyServerUse",     SettingKind::Boolean,     FirstStart(0),     &gProxyUse},
    {"ProxyServerAddress", SettingKind::Text,        kEmptyText,        &gProxyAddress},
});
// clang-format on

inline constexpr std::size_t kSettingCount = kSettings.size();

/// Whether a row's variable can hold what its kind reads: a text, a flag, a 16-bit number, or a value
/// of the windows of the same sort.
/// (By holds_alternative and get, never get_if: GCC's sanitizers make get_if's null check no constant.)
constexpr bool FitsItsKind(const SettingRow& row) {
    const bool window = std::holds_alternative<WindowValue>(row.variable);
    switch (row.kind) {
    case SettingKind::Directory:
        return std::holds_alternative<std::u16string*>(row.variable) ||
               (window && std::get<WindowValue>(row.variable) == WindowValue::OutputDir);
    case SettingKind::Text:
        return std::holds_alternative<std::u16string*>(row.variable);
    case SettingKind::Boolean:
        return std::holds_alternative<bool*>(row.variable);
    case SettingKind::WholeNumber:
        return std::holds_alternative<std::int16_t*>(row.variable);
    case SettingKind::Coordinate:
        return window && std::get<WindowValue>(row.variable) != WindowValue::OutputDir;
    }
    return false;
}
static_assert(std::all_of(kSettings.begin(), kSettings.end(), FitsItsKind), "a row's variable fits its kind");

/// One key's value: `text` for directories and text, `number` for the others (Booleans 0 or 1).
struct SettingData {
    std::u16string text;
    int number = 0;
    bool operator==(const SettingData&) const = default;
};

/// The values of all keys, by row of kSettings: what is written, or what was read.
using SettingsState = std::array<SettingData, kSettingCount>;

/// The row of a value the windows hold.
constexpr std::size_t SettingRowOf(WindowValue value) {
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const SettingVariable& held = kSettings[i].variable;
        if (std::holds_alternative<WindowValue>(held) && std::get<WindowValue>(held) == value)
            return i;
    }
    return kSettingCount;
}
static_assert(
    [] {
        for (int v = 0; v <= static_cast<int>(WindowValue::Height); ++v)
            if (SettingRowOf(static_cast<WindowValue>(v)) == kSettingCount)
                return false;
        return true;
    }(),
    "every value the windows hold has its row");

// ---- Reading one value (text already decoded from the file) ----

/// "True"/"False" in any case, or a number (zero is False). nullopt: neither; the text must be
/// whole, spaces around it aside.
std::optional<bool> ParseSettingBoolean(std::u16string_view text);

/// The number at the start of the text after trimming spaces (no number there gives 0), rounded to
/// the nearest whole number with halves going to the even neighbour. nullopt: outside 16 bits.
std::optional<std::int16_t> ParseSettingWholeNumber(std::u16string_view text);

/// A window coordinate in twips: the whole text must be a number; it is rounded like a whole number.
/// nullopt: empty, not a number, or beyond the range of int.
std::optional<int> ParseSettingCoordinate(std::u16string_view text);

// ---- The values of a settings file ----

enum class ValueState : std::uint8_t {
    Missing, // no such key (or no section, no file)
    Empty,   // the key with nothing after "="
    Invalid, // unusable text: the fallback stands in
    Valid,
};

/// What a settings file holds, already resolved by the reading rules of each kind: a directory that
/// is missing, empty or does not exist reads as the program directory; a whole number or Boolean that
/// cannot be read holds its first-start value (marked Invalid); a Boolean that is Missing or Empty
/// holds false but is not applied (it leaves its variable as it was); a text is trimmed.
struct SettingsValues {
    SettingsState values;
    std::array<ValueState, kSettingCount> states{};

    const SettingData& operator[](WindowValue v) const { return values[SettingRowOf(v)]; }

    /// False when any coordinate cannot be used: the window is then placed as at the first start
    /// (designed size, centred) for this run.
    bool PlacementValid() const;
};

using FolderExistsFn = std::function<bool(const std::u16string& path)>;

/// Whether a folder exists at the path (std::filesystem). A path holding a NUL never names one.
bool FolderExists(const std::u16string& path);

/// Reads the fourteen keys of the settings section of `fileText` (bytes in the system code page).
SettingsValues ReadSettings(std::string_view fileText, std::u16string_view appDir, const TextCodec& codec,
                            const FolderExistsFn& folderExists = FolderExists,
                            const ProfileBoundary& boundary = Utf8Boundary);

/// The same on a file, read once and in pieces; nullopt when the file cannot be read (no rights, a
/// folder in its place, a read error). A missing file is the caller's first start, not this.
std::optional<SettingsValues> ReadSettingsFile(const std::filesystem::path& path, std::u16string_view appDir,
                                               const TextCodec& codec,
                                               const FolderExistsFn& folderExists = FolderExists,
                                               const ProfileBoundary& boundary = Utf8Boundary);

/// Hands the read values to the process-wide variables of the table. The output directory and the
/// placement belong to the windows and are left to the caller.
void ApplySettings(const SettingsValues& values);

/// The process-wide variables of the table as a first start sets them (gAppDir must be set).
void ApplyFirstStartSettings();

// ---- Writing ----

/// The state of the first start: the first-start column of the table, with `appDir` for the
/// directories and the window's current width and height.
SettingsState FirstStartState(std::u16string_view appDir, int width, int height);

/// The state at exit: the process-wide variables of the table, with what the windows report.
SettingsState CurrentSettingsState(std::u16string_view outputDir, int top, int left, int width, int height);

/// The fourteen "key=value" lines in key order. CR, LF and NUL are dropped from values, so a path or
/// address can never add a line.
std::vector<std::u16string> BuildSettingsLines(const SettingsState& state);

/// Encodes the lines in the system code page and writes them as the whole settings section.
bool WriteSettings(const std::filesystem::path& path, const SettingsState& state, const TextCodec& codec);

// ---- Failures, reported once and never stopping the program ----

/// The settings file exists but cannot be read (no rights, a folder in its place): the run starts
/// with the first-start values and leaves the file as it is.
MessageText SettingsReadFailedMessage(std::u16string_view path);

/// The first-start write or the write at exit failed.
MessageText SettingsCreateFailedMessage(std::u16string_view path);
MessageText SettingsWriteFailedMessage(std::u16string_view path);

} // namespace orvane
