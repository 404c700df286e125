#pragma once
// The settings file: its fourteen keys, how each kind of value is read, the section texts written at
// the first start and at exit, and the hand-over of the read values to the process-wide variables.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/MessageText.h"
#include "core/Profile.h"
#include "core/TextCodec.h"

namespace orvane {

inline constexpr std::string_view kSettingsSection = "Orvane";
inline constexpr std::u16string_view kSettingsFileName = u"Orvane.ini";

enum class SettingKind { Directory, Coordinate, Boolean, WholeNumber, Text };

struct SettingKey {
    std::string_view name;
    SettingKind kind;
};

/// The keys in the order they are written, at the first start and at exit alike.
inline constexpr std::array<SettingKey, 14> kSettingKeys{{
    {"DefaultInDir", SettingKind::Directory},
    {"DefaultOutDir", SettingKind::Directory},
    {"Top", SettingKind::Coordinate},
    {"Left", SettingKind::Coordinate},
    {"Width", SettingKind::Coordinate},
    {"Height", SettingKind::Coordinate},
    {"DEBUG_STS", SettingKind::Boolean},
    {"LINK_AB", SettingKind::WholeNumber},
    {"NAME_AB", SettingKind::WholeNumber},
    {"LIST_MAKE", SettingKind::WholeNumber},
    {"FILE_OVER_SAVE", SettingKind::Boolean},
    {"LIST_CLK", SettingKind::WholeNumber},
    {"ProxyServerUse", SettingKind::Boolean},
    {"ProxyServerAddress", SettingKind::Text},
}};

/// Twips of the stored Top and Left at the first start.
inline constexpr int kFirstStartTopLeft = 100;

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
    Invalid, // unusable text: the first-start value stands in
    Valid,
};

template <typename T> struct SettingValue {
    T value{};
    ValueState state = ValueState::Missing;
    bool Valid() const { return state == ValueState::Valid; }
};

/// What a settings file holds, already resolved by the reading rules: a directory that does not
/// exist reads as the program directory, a whole number or Boolean that cannot be read holds its
/// first-start value (marked Invalid). A Boolean that is Missing or Empty holds false but is not
/// applied: it leaves its variable as it was.
struct SettingsValues {
    SettingValue<std::u16string> inputDir;
    SettingValue<std::u16string> outputDir;
    SettingValue<int> top, left, width, height;
    SettingValue<bool> showStatus;
    SettingValue<std::int16_t> linkLevel;
    SettingValue<std::int16_t> nameMode;
    SettingValue<std::int16_t> listType;
    SettingValue<bool> confirmOverwrite;
    SettingValue<std::int16_t> dblClickAction;
    SettingValue<bool> proxyUse;
    SettingValue<std::u16string> proxyAddress;

    /// False when any of Top, Left, Width, Height cannot be used: the window is then placed as at
    /// the first start (designed size, centred) for this run.
    bool PlacementValid() const { return top.Valid() && left.Valid() && width.Valid() && height.Valid(); }
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

/// Hands the read values to gInputDir and the option variables in start-up order: DefaultInDir,
/// then DEBUG_STS, LINK_AB, NAME_AB, LIST_MAKE, FILE_OVER_SAVE, ProxyServerAddress, ProxyServerUse,
/// LIST_CLK. The output directory and the placement belong to the windows and are left to the caller.
void ApplySettings(const SettingsValues& values);

/// The options and gInputDir as a first start sets them (gAppDir must be set).
void ApplyFirstStartSettings();

// ---- Writing ----

/// The state that the section is written from.
struct SettingsState {
    std::u16string inputDir;
    std::u16string outputDir;
    int top = 0, left = 0, width = 0, height = 0;
    bool showStatus = false;
    std::int16_t linkLevel = 0;
    std::int16_t nameMode = 0;
    std::int16_t listType = 0;
    bool confirmOverwrite = false;
    std::int16_t dblClickAction = 0;
    bool proxyUse = false;
    std::u16string proxyAddress;
};

/// The state of the first start: both directories `appDir`, Top and Left 100, the window's current
/// width and height, the first-start options.
SettingsState FirstStartState(std::u16string_view appDir, int width, int height);

/// The state at exit: gInputDir and the option variables, with what the windows report.
SettingsState CurrentSettingsState(std::u16string_view outputDir, int top, int left, int width, int height);

/// The fourteen "key=value" lines in key order. CR, LF and NUL are dropped from values, so a path or
/// address can never add a line.
std::vector<std::u16string> BuildSettingsLines(const SettingsState& state);

/// The lines joined as the section text, each followed by CR LF.
std::u16string BuildSettingsSectionText(const SettingsState& state);

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
