#include "core/Profile.h"

#include "core/AtomicFile.h"

#include <algorithm>
#include <vector>

namespace orvane {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char FoldAsciiByte(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldAsciiByte(x) == FoldAsciiByte(y);
           });
}

struct Line {
    std::string_view text; // without its line end
};

// Splits at CR LF, LF or CR. A final line end does not start another (empty) line.
std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    const std::size_t n = text.size();
    while (start < n) {
        std::size_t end = start;
        while (end < n && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.push_back({text.substr(start, end - start)});
        if (end < n && text[end] == '\r' && end + 1 < n && text[end + 1] == '\n')
            end += 2;
        else if (end < n)
            ++end;
        start = end;
    }
    return lines;
}

// The section name when the line is a section header, otherwise nullopt.
std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view t = TrimBlanks(line);
    if (t.empty() || t.front() != '[')
        return std::nullopt;
    const std::size_t close = t.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return TrimBlanks(t.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
    const std::string_view t = TrimBlanks(line);
    return !t.empty() && t.front() == ';';
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// Index of the first line of the first section named `section`, or npos.
std::size_t FindSection(const std::vector<Line>& lines, std::string_view section) {
    const std::string_view wanted = TrimBlanks(section);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i].text);
        if (name && EqualsNoCase(*name, wanted))
            return i;
    }
    return std::string_view::npos;
}

} // namespace

std::size_t Utf8Boundary(std::string_view bytes, std::size_t max) {
    if (bytes.size() <= max)
        return bytes.size();
    std::size_t cut = max;
    // Step back over continuation bytes (at most three) to the start of the character that would be
    // split; a stray continuation byte run is cut where it stands.
    for (int back = 0; back < 4 && cut > 0; ++back) {
        if ((static_cast<unsigned char>(bytes[cut]) & 0xC0) != 0x80)
            return cut;
        --cut;
    }
    return (static_cast<unsigned char>(bytes[cut]) & 0xC0) != 0x80 ? cut : max;
}

std::optional<std::string> ProfileReadValue(std::string_view text, std::string_view section,
                                            std::string_view key, const ProfileBoundary& boundary) {
    const std::vector<Line> lines = SplitLines(text);
    std::size_t i = FindSection(lines, section);
    if (i == std::string_view::npos)
        return std::nullopt;
    const std::string_view wantedKey = TrimBlanks(key);
    for (++i; i < lines.size(); ++i) {
        const std::string_view line = lines[i].text;
        if (SectionName(line))
            break;
        if (IsComment(line))
            continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || !EqualsNoCase(TrimBlanks(line.substr(0, eq)), wantedKey))
            continue;
        std::string_view value = Unquote(TrimBlanks(line.substr(eq + 1)));
        if (value.size() > kProfileValueMax) {
            const std::size_t cut = boundary ? boundary(value, kProfileValueMax) : kProfileValueMax;
            value = value.substr(0, std::min(cut, kProfileValueMax));
        }
        return std::string(value);
    }
    return std::nullopt;
}

std::optional<std::string> ProfileReadFileValue(const std::filesystem::path& path, std::string_view section,
                                                std::string_view key, const ProfileBoundary& boundary) {
    std::string text;
    if (!ReadWholeFile(path, text))
        return std::nullopt;
    return ProfileReadValue(text, section, key, boundary);
}

std::string ProfileReplaceSection(std::string_view text, std::string_view section,
                                  std::span<const std::string> lines) {
    const std::vector<Line> old = SplitLines(text);
    std::string out;
    out.reserve(text.size() + section.size() + 4 + lines.size() * 32);
    const auto appendLine = [&out](std::string_view line) {
        out.append(line);
        out.append("\r\n");
    };
    const auto appendSection = [&] {
        out.push_back('[');
        out.append(TrimBlanks(section));
        out.append("]\r\n");
        for (const std::string& line : lines) {
            for (char c : line)
                if (c != '\r' && c != '\n' && c != '\0')
                    out.push_back(c);
            out.append("\r\n");
        }
    };

    const std::size_t start = FindSection(old, section);
    if (start == std::string_view::npos) {
        for (const Line& l : old)
            appendLine(l.text);
        appendSection();
        return out;
    }
    std::size_t end = start + 1; // first line after the section
    while (end < old.size() && !SectionName(old[end].text))
        ++end;
    std::size_t keepFrom = end; // the blank lines that close the section stay
    while (keepFrom > start + 1 && TrimBlanks(old[keepFrom - 1].text).empty())
        --keepFrom;

    for (std::size_t i = 0; i < start; ++i)
        appendLine(old[i].text);
    appendSection();
    for (std::size_t i = keepFrom; i < old.size(); ++i)
        appendLine(old[i].text);
    return out;
}

bool ProfileWriteSection(const std::filesystem::path& path, std::string_view section,
                         std::span<const std::string> lines) {
    std::error_code ec;
    std::string text;
    if (std::filesystem::exists(path, ec) && !ReadWholeFile(path, text))
        return false; // unreadable: rewriting it would lose its other sections
    return WriteFileAtomically(path, ProfileReplaceSection(text, section, lines));
}

} // namespace orvane
