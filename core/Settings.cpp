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

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::u16string Ascii(std::string_view s) {
    return std::u16string(s.begin(), s.end());
}

// The value of one key, decoded; nullopt when the key is missing.
struct RawReader {
    std::string_view text;
    const TextCodec& codec;
    const ProfileBoundary& boundary;

    std::optional<std::u16string> operator()(std::string_view key) const {
        const std::optional<std::string> bytes = ProfileReadValue(text, kSettingsSection, key, boundary);
        if (!bytes)
            return std::nullopt;
        return codec.DecodeSystem(*bytes);
    }
};

template <typename T> SettingValue<T> Absent(const std::optional<std::u16string>& raw, T fallback) {
    return {std::move(fallback), raw ? ValueState::Empty : ValueState::Missing};
}

SettingValue<std::u16string> ReadDirectory(const std::optional<std::u16string>& raw,
                                           std::u16string_view appDir, const FolderExistsFn& folderExists) {
    if (!raw || raw->empty())
        return Absent(raw, std::u16string(appDir));
    if (folderExists && folderExists(*raw))
        return {*raw, ValueState::Valid};
    return {std::u16string(appDir), ValueState::Invalid};
}

SettingValue<int> ReadCoordinate(const std::optional<std::u16string>& raw) {
    if (!raw || raw->empty())
        return Absent(raw, 0);
    const std::optional<int> v = ParseSettingCoordinate(*raw);
    return v ? SettingValue<int>{*v, ValueState::Valid} : SettingValue<int>{0, ValueState::Invalid};
}

SettingValue<bool> ReadBoolean(const std::optional<std::u16string>& raw, bool firstStart) {
    if (!raw || raw->empty())
        return Absent(raw, false);
    const std::optional<bool> v = ParseSettingBoolean(*raw);
    return v ? SettingValue<bool>{*v, ValueState::Valid}
             : SettingValue<bool>{firstStart, ValueState::Invalid};
}

SettingValue<std::int16_t> ReadWholeNumber(const std::optional<std::u16string>& raw) {
    if (!raw || raw->empty())
        return Absent<std::int16_t>(raw, 0);
    const std::optional<std::int16_t> v = ParseSettingWholeNumber(*raw);
    return v ? SettingValue<std::int16_t>{*v, ValueState::Valid}
             : SettingValue<std::int16_t>{0, ValueState::Invalid}; // every first-start number is 0
}

SettingValue<std::u16string> ReadText(const std::optional<std::u16string>& raw) {
    if (!raw || raw->empty())
        return Absent(raw, std::u16string());
    return {Trim(*raw), ValueState::Valid};
}

std::u16string BooleanText(bool v) {
    return v ? u"True" : u"False";
}

// A value must stay on its own line.
std::u16string OneLine(std::u16string_view v) {
    std::u16string out;
    out.reserve(v.size());
    for (char16_t c : v)
        if (c != u'\r' && c != u'\n' && c != u'\0')
            out.push_back(c);
    return out;
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

SettingsValues ReadSettings(std::string_view fileText, std::u16string_view appDir, const TextCodec& codec,
                            const FolderExistsFn& folderExists, const ProfileBoundary& boundary) {
    const RawReader raw{fileText, codec, boundary};
    SettingsValues v;
    v.inputDir = ReadDirectory(raw("DefaultInDir"), appDir, folderExists);
    v.outputDir = ReadDirectory(raw("DefaultOutDir"), appDir, folderExists);
    v.top = ReadCoordinate(raw("Top"));
    v.left = ReadCoordinate(raw("Left"));
    v.width = ReadCoordinate(raw("Width"));
    v.height = ReadCoordinate(raw("Height"));
    v.showStatus = ReadBoolean(raw("DEBUG_STS"), true);
    v.linkLevel = ReadWholeNumber(raw("LINK_AB"));
    v.nameMode = ReadWholeNumber(raw("NAME_AB"));
    v.listType = ReadWholeNumber(raw("LIST_MAKE"));
    v.confirmOverwrite = ReadBoolean(raw("FILE_OVER_SAVE"), true);
    v.dblClickAction = ReadWholeNumber(raw("LIST_CLK"));
    v.proxyUse = ReadBoolean(raw("ProxyServerUse"), false);
    v.proxyAddress = ReadText(raw("ProxyServerAddress"));
    return v;
}

std::optional<SettingsValues> ReadSettingsFile(const std::filesystem::path& path, std::u16string_view appDir,
                                               const TextCodec& codec, const FolderExistsFn& folderExists,
                                               const ProfileBoundary& boundary) {
    // One pass over the file; of the section only the first line of each key is kept, so a file of
    // any size (millions of lines, other programs' sections) costs no more than its own lines.
    std::array<std::optional<std::string>, kSettingKeys.size()> first;
    const bool read = ProfileForEachSectionLine(path, kSettingsSection, [&](std::string_view line) {
        const std::optional<std::string_view> key = ProfileLineKey(line);
        if (!key)
            return;
        for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
            if (!first[i] && EqualsAsciiNoCase(*key, kSettingKeys[i].name)) {
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
    // An empty or missing Boolean leaves its variable alone; everything else takes the read value
    // (the first-start value where the text could not be read).
    const auto applyBoolean = [](const SettingValue<bool>& s, bool& target) {
        if (s.state == ValueState::Valid || s.state == ValueState::Invalid)
            target = s.value;
    };
    gInputDir = v.inputDir.value;
    applyBoolean(v.showStatus, gShowStatus);
    gLinkLevel = v.linkLevel.value;
    gNameMode = v.nameMode.value;
    gListType = v.listType.value;
    applyBoolean(v.confirmOverwrite, gConfirmOverwrite);
    if (!v.proxyAddress.value.empty())
        gProxyAddress = v.proxyAddress.value;
    applyBoolean(v.proxyUse, gProxyUse);
    gDblClickAction = v.dblClickAction.value;
}

void ApplyFirstStartSettings() {
    gInputDir = gAppDir;
    gShowStatus = true;
    gLinkLevel = 0;
    gListType = 0;
    gNameMode = 0;
    gConfirmOverwrite = true;
    gProxyUse = false;
    gProxyAddress.clear();
    gDblClickAction = 0;
}

SettingsState FirstStartState(std::u16string_view appDir, int width, int height) {
    SettingsState s;
    s.inputDir = appDir;
    s.outputDir = appDir;
    s.top = kFirstStartTopLeft;
    s.left = kFirstStartTopLeft;
    s.width = width;
    s.height = height;
    s.showStatus = true;
    s.confirmOverwrite = true;
    return s;
}

SettingsState CurrentSettingsState(std::u16string_view outputDir, int top, int left, int width, int height) {
    SettingsState s;
    s.inputDir = gInputDir;
    s.outputDir = outputDir;
    s.top = top;
    s.left = left;
    s.width = width;
    s.height = height;
    s.showStatus = gShowStatus;
    s.linkLevel = gLinkLevel;
    s.nameMode = gNameMode;
    s.listType = gListType;
    s.confirmOverwrite = gConfirmOverwrite;
    s.dblClickAction = gDblClickAction;
    s.proxyUse = gProxyUse;
    s.proxyAddress = gProxyAddress;
    return s;
}

std::vector<std::u16string> BuildSettingsLines(const SettingsState& s) {
    const std::u16string values[kSettingKeys.size()] = {
        OneLine(s.inputDir),
        OneLine(s.outputDir),
        ToU16Number(s.top),
        ToU16Number(s.left),
        ToU16Number(s.width),
        ToU16Number(s.height),
        BooleanText(s.showStatus),
        ToU16Number(s.linkLevel),
        ToU16Number(s.nameMode),
        ToU16Number(s.listType),
        BooleanText(s.confirmOverwrite),
        ToU16Number(s.dblClickAction),
        BooleanText(s.proxyUse),
        OneLine(s.proxyAddress),
    };
    std::vector<std::u16string> lines;
    lines.reserve(kSettingKeys.size());
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i)
        lines.push_back(Ascii(kSettingKeys[i].name) + u"=" + values[i]);
    return lines;
}

std::u16string BuildSettingsSectionText(const SettingsState& state) {
    std::u16string text;
    for (const std::u16string& line : BuildSettingsLines(state)) {
        text += line;
        text += u"\r\n";
    }
    return text;
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
