#include "core/Settings.h"

#include "core/AtomicFile.h"
#include "core/FsPath.h"
#include "core/Globals.h"
#include "core/Text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace orvane {

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Length of the number that starts `s`, 0 when none: [+-] digits [. digits] [E [+-] digits], or a
// fraction without integer digits. An "E" without digits after it is not part of the number.
std::size_t NumberPrefix(std::u16string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == u'.') {
        std::size_t j = i + 1;
        std::size_t fraction = 0;
        while (j < s.size() && IsDigit(s[j]))
            ++j, ++fraction;
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        const std::size_t expStart = j;
        while (j < s.size() && IsDigit(s[j]))
            ++j;
        if (j > expStart)
            i = j;
    }
    return i;
}

enum class NumberResult { Ok, TooLarge };

// Converts a text that NumberPrefix accepted whole. Independent of the C locale's decimal point.
NumberResult ToDouble(std::u16string_view number, double& value) {
    std::string ascii;
    ascii.reserve(number.size());
    for (char16_t c : number)
        ascii.push_back(static_cast<char>(c));
    std::string_view v = ascii;
    if (!v.empty() && v.front() == '+')
        v.remove_prefix(1); // from_chars takes no plus sign
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Too small in magnitude rounds to zero; too large is out of every range.
        const std::size_t e = v.find_first_of("eE");
        if (e != std::string_view::npos && e + 1 < v.size() && v[e + 1] == '-') {
            value = 0.0;
            return NumberResult::Ok;
        }
        return NumberResult::TooLarge;
    }
    return NumberResult::Ok;
}

// Nearest whole number, halves to the even neighbour, whatever the floating-point rounding mode.
double RoundHalfEven(double x) {
    const double floor = std::floor(x);
    const double diff = x - floor;
    if (diff > 0.5)
        return floor + 1.0;
    if (diff < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::u16string Ascii(std::string_view s) {
    return std::u16string(s.begin(), s.end());
}

struct ReadValue {
    SettingData data;
    ValueState state;
};

// One key's value by the reading rule of its kind; `raw` is the decoded text, nullopt when missing.
ReadValue ReadKey(const SettingRow& row, const std::optional<std::u16string>& raw, std::u16string_view appDir,
                  const FolderExistsFn& folderExists) {
    const bool directory = row.kind == SettingKind::Directory;
    if (!raw || raw->empty()) {
        // Missing or empty: a directory is the program directory, everything else zero or empty.
        SettingData absent;
        if (directory)
            absent.text = appDir;
        return {std::move(absent), raw ? ValueState::Empty : ValueState::Missing};
    }
    std::optional<int> number;
    switch (row.kind) {
    case SettingKind::Directory:
        if (folderExists && folderExists(*raw))
            return {{*raw, 0}, ValueState::Valid};
        return {{std::u16string(appDir), 0}, ValueState::Invalid};
    case SettingKind::Text:
        return {{Trim(*raw), 0}, ValueState::Valid};
    case SettingKind::Coordinate:
        // No first-start value stands in: the caller places the window as at the first start.
        if ((number = ParseSettingCoordinate(*raw)))
            return {{{}, *number}, ValueState::Valid};
        return {{}, ValueState::Invalid};
    case SettingKind::Boolean:
        if (const std::optional<bool> b = ParseSettingBoolean(*raw))
            number = *b ? 1 : 0;
        break;
    case SettingKind::WholeNumber:
        if (const std::optional<std::int16_t> n = ParseSettingWholeNumber(*raw))
            number = *n;
        break;
    }
    if (number)
        return {{{}, *number}, ValueState::Valid};
    return {{{}, row.firstStart.number}, ValueState::Invalid};
}

// What the windows report: the output directory and the placement.
struct WindowReport {
    std::u16string_view outputDir;
    int top, left, width, height;
};

// The value of a process-wide variable, or what the windows report.
SettingData ValueOf(const SettingVariable& variable, const WindowReport& window) {
    if (const auto* text = std::get_if<std::u16string*>(&variable))
        return {**text, 0};
    if (const auto* flag = std::get_if<bool*>(&variable))
        return {{}, **flag ? 1 : 0};
    if (const auto* number = std::get_if<std::int16_t*>(&variable))
        return {{}, **number};
    switch (std::get<WindowValue>(variable)) {
    case WindowValue::OutputDir:
        return {std::u16string(window.outputDir), 0};
    case WindowValue::Top:
        return {{}, window.top};
    case WindowValue::Left:
        return {{}, window.left};
    case WindowValue::Width:
        return {{}, window.width};
    case WindowValue::Height:
        return {{}, window.height};
    }
    return {};
}

// Sets a process-wide variable; a value the windows hold is theirs to apply.
void Assign(const SettingVariable& variable, const SettingData& value) {
    if (auto* const* text = std::get_if<std::u16string*>(&variable))
        **text = value.text;
    else if (auto* const* flag = std::get_if<bool*>(&variable))
        **flag = value.number != 0;
    else if (auto* const* number = std::get_if<std::int16_t*>(&variable))
        **number = static_cast<std::int16_t>(value.number);
}

} // namespace

std::optional<bool> ParseSettingBoolean(std::u16string_view text) {
    const std::u16string_view t = TrimView(text);
    if (EqualsNoCase(t, u"true"))
        return true;
    if (EqualsNoCase(t, u"false"))
        return false;
    const std::size_t n = NumberPrefix(t);
    if (n == 0 || n != t.size())
        return std::nullopt;
    double v = 0.0;
    if (ToDouble(t, v) == NumberResult::TooLarge)
        return true;
    return v != 0.0;
}

std::optional<std::int16_t> ParseSettingWholeNumber(std::u16string_view text) {
    const std::u16string_view t = TrimView(text);
    const std::size_t n = NumberPrefix(t);
    if (n == 0)
        return std::int16_t{0};
    double v = 0.0;
    if (ToDouble(t.substr(0, n), v) == NumberResult::TooLarge)
        return std::nullopt;
    const double r = RoundHalfEven(v);
    if (r < std::numeric_limits<std::int16_t>::min() || r > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(r);
}

std::optional<int> ParseSettingCoordinate(std::u16string_view text) {
    const std::u16string_view t = TrimView(text);
    const std::size_t n = NumberPrefix(t);
    if (n == 0 || n != t.size())
        return std::nullopt;
    double v = 0.0;
    if (ToDouble(t, v) == NumberResult::TooLarge)
        return std::nullopt;
    const double r = RoundHalfEven(v);
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(r);
}

bool FolderExists(const std::u16string& path) {
    std::error_code ec;
    // The system would read a path only up to a NUL and find the folder named by that part.
    return !path.empty() && path.find(u'\0') == std::u16string::npos &&
           std::filesystem::is_directory(ToFsPath(path), ec);
}

bool SettingsValues::PlacementValid() const {
    for (std::size_t i = 0; i < kSettingCount; ++i)
        if (kSettings[i].kind == SettingKind::Coordinate && states[i] != ValueState::Valid)
            return false;
    return true;
}

SettingsValues ReadSettings(std::string_view fileText, std::u16string_view appDir, const TextCodec& codec,
                            const FolderExistsFn& folderExists, const ProfileBoundary& boundary) {
    SettingsValues v;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        std::optional<std::u16string> raw;
        if (const std::optional<std::string> bytes =
                ProfileReadValue(fileText, kSettingsSection, kSettings[i].key, boundary))
            raw = codec.DecodeSystem(*bytes);
        ReadValue read = ReadKey(kSettings[i], raw, appDir, folderExists);
        v.values[i] = std::move(read.data);
        v.states[i] = read.state;
    }
    return v;
}

std::optional<SettingsValues> ReadSettingsFile(const std::filesystem::path& path, std::u16string_view appDir,
                                               const TextCodec& codec, const FolderExistsFn& folderExists,
                                               const ProfileBoundary& boundary) {
    // One pass over the file; of the section only the first line of each key is kept, so a file of
    // any size (millions of lines, other programs' sections) costs no more than its own lines.
    std::array<std::optional<std::string>, kSettingCount> first;
    const bool read = ProfileForEachSectionLine(path, kSettingsSection, [&](std::string_view line) {
        const std::optional<std::string_view> key = ProfileLineKey(line);
        if (!key)
            return;
        for (std::size_t i = 0; i < kSettingCount; ++i) {
            if (!first[i] && EqualsNoCase(*key, kSettings[i].key)) {
                first[i] = std::string(line);
                return;
            }
        }
    });
    if (!read)
        return std::nullopt;
    std::string text(1, '[');
    text.append(kSettingsSection);
    text.append("]\r\n");
    for (const auto& line : first) {
        if (line) {
            text += *line;
            text += "\r\n";
        }
    }
    return ReadSettings(text, appDir, codec, folderExists, boundary);
}

void ApplySettings(const SettingsValues& v) {
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const ValueState state = v.states[i];
        const SettingKind kind = kSettings[i].kind;
        // An empty or missing Boolean, and a text with nothing but spaces, leave the variable as it
        // was; everything else takes the read value (the fallback where the text could not be read).
        if (kind == SettingKind::Boolean && state != ValueState::Valid && state != ValueState::Invalid)
            continue;
        if (kind == SettingKind::Text && v.values[i].text.empty())
            continue;
        Assign(kSettings[i].variable, v.values[i]);
    }
}

void ApplyFirstStartSettings() {
    const SettingsState first = FirstStartState(gAppDir, 0, 0);
    for (std::size_t i = 0; i < kSettingCount; ++i)
        Assign(kSettings[i].variable, first[i]);
}

SettingsState FirstStartState(std::u16string_view appDir, int width, int height) {
    SettingsState s;
    const WindowReport window{appDir, 0, 0, width, height};
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const SettingRow& row = kSettings[i];
        switch (row.firstStart.from) {
        case FirstStartValue::From::ProgramDirectory:
            s[i].text = appDir;
            break;
        case FirstStartValue::From::WindowSize:
            s[i] = ValueOf(row.variable, window);
            break;
        case FirstStartValue::From::Number:
            s[i].number = row.firstStart.number;
            break;
        }
    }
    return s;
}

SettingsState CurrentSettingsState(std::u16string_view outputDir, int top, int left, int width, int height) {
    SettingsState s;
    const WindowReport window{outputDir, top, left, width, height};
    for (std::size_t i = 0; i < kSettingCount; ++i)
        s[i] = ValueOf(kSettings[i].variable, window);
    return s;
}

std::vector<std::u16string> BuildSettingsLines(const SettingsState& s) {
    std::vector<std::u16string> lines;
    lines.reserve(kSettingCount);
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        std::u16string line = Ascii(kSettings[i].key) + u"=";
        switch (kSettings[i].kind) {
        case SettingKind::Directory:
        case SettingKind::Text:
            AppendWithoutLineBreaks(line, s[i].text); // a path or address never adds a line
            break;
        case SettingKind::Boolean:
            line += s[i].number != 0 ? u"True" : u"False";
            break;
        case SettingKind::Coordinate:
        case SettingKind::WholeNumber:
            line += ToU16Number(s[i].number);
            break;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

bool WriteSettings(const std::filesystem::path& path, const SettingsState& state, const TextCodec& codec) {
    std::vector<std::string> lines;
    for (const std::u16string& line : BuildSettingsLines(state))
        lines.push_back(codec.EncodeSystem(line));
    return ProfileWriteSection(path, kSettingsSection, lines);
}

namespace {

MessageText SettingsFileMessage(std::u16string_view path, std::u16string_view what,
                                std::u16string_view consequence) {
    std::u16string text = u"設定ﾌｧｲﾙ「";
    text += path;
    text += u"」";
    text += what;
    text += u"\r\n";
    text += consequence;
    return {std::move(text), u"設定ﾌｧｲﾙｴﾗｰ", MessageIcon::Critical};
}

} // namespace

MessageText SettingsReadFailedMessage(std::u16string_view path) {
    return SettingsFileMessage(path, u"を読み込めませんでした。",
                               u"初期設定で起動します。このﾌｧｲﾙは変更されず、設定は保存されません。");
}

MessageText SettingsCreateFailedMessage(std::u16string_view path) {
    return SettingsFileMessage(path, u"を作成できませんでした。", u"設定は保存されません。");
}

MessageText SettingsWriteFailedMessage(std::u16string_view path) {
    return SettingsFileMessage(path, u"に書き込めませんでした。", u"今回の設定は保存されません。");
}

} // namespace orvane
