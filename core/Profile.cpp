#include "core/Profile.h"

#include "core/AtomicFile.h"
#include "core/Text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
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
    // Only the first line of the key is kept: it is the one that counts.
    std::string found;
    bool have = false;
    const std::string_view wanted = TrimBlanks(key);
    const bool read = ProfileForEachSectionLine(path, section, [&](std::string_view line) {
        const auto lineKey = have ? std::nullopt : ProfileLineKey(line);
        if (lineKey && EqualsNoCase(*lineKey, wanted)) {
            found = line;
            have = true;
        }
    });
    if (!read || !have)
        return std::nullopt;
    std::string text(1, '[');
    text.append(TrimBlanks(section));
    text.append("]\n");
    text.append(found);
    return ProfileReadValue(text, section, key, boundary);
}

namespace {

// Where a section lies in a file, in bytes: its header line starts at `start`; the blank lines that
// close it start at `keepFrom`; the next section's header (or the end) is at `end`.
struct SectionSpan {
    bool found = false;
    std::uint64_t start = 0;
    std::uint64_t keepFrom = 0;
    std::uint64_t end = 0;
};

// Follows the lines of a file, one at a time, to the span of the first section named `wanted`.
class SectionLocator {
public:
    explicit SectionLocator(std::string_view wanted) : wanted_(TrimBlanks(wanted)) {}

    /// One line: its first byte's offset, the offset after its line end, and its text. Returns false
    /// once the span is known.
    bool Line(std::uint64_t start, std::uint64_t next, std::string_view text) {
        const auto name = SectionName(text);
        if (!span_.found) {
            if (name && EqualsNoCase(*name, wanted_)) {
                span_.found = true;
                span_.start = start;
                span_.keepFrom = next;
            }
            return true;
        }
        if (name) {
            span_.end = start;
            done_ = true;
            return false;
        }
        if (!TrimBlanks(text).empty())
            span_.keepFrom = next;
        return true;
    }

    /// The span, given the size of the whole text.
    SectionSpan Finish(std::uint64_t size) {
        if (span_.found && !done_)
            span_.end = size;
        return span_;
    }

    bool InSection() const { return span_.found && !done_; }

private:
    std::string_view wanted_;
    SectionSpan span_;
    bool done_ = false;
};

// Lines read from a file in pieces, at CR LF, LF or CR. A line that is not wanted whole keeps only
// its first kPrefixMax bytes after its leading blanks: enough to tell a section header, while a
// gigantic line costs no memory.
class LineReader {
public:
    static constexpr std::size_t kPrefixMax = 1 << 20;

    explicit LineReader(std::FILE* f) : f_(f) {}

    /// The next line into `text` (without its line end); false at the end or on a read error.
    bool Next(std::string& text, bool whole, std::uint64_t& start, std::uint64_t& next) {
        text.clear();
        start = offset_;
        bool leading = true;
        while (true) {
            if (pos_ == len_ && !Refill())
                break;
            const char* begin = buffer_ + pos_;
            const char* stop = static_cast<const char*>(std::memchr(begin, '\n', len_ - pos_));
            const char* cr =
                static_cast<const char*>(std::memchr(begin, '\r', (stop ? stop : buffer_ + len_) - begin));
            if (cr)
                stop = cr;
            const char* end = stop ? stop : buffer_ + len_;
            std::string_view piece(begin, static_cast<std::size_t>(end - begin));
            if (leading && !whole) {
                while (!piece.empty() && IsBlank(piece.front()))
                    piece.remove_prefix(1);
                leading = piece.empty();
            }
            if (whole)
                text.append(piece);
            else if (text.size() < kPrefixMax)
                text.append(piece.substr(0, kPrefixMax - text.size()));
            Advance(static_cast<std::size_t>(end - begin));
            if (!stop)
                continue;
            // The line end: CR LF, LF or CR, a CR LF possibly split between two pieces.
            const bool isCr = *stop == '\r';
            Advance(1);
            if (isCr && (pos_ < len_ || Refill()) && buffer_[pos_] == '\n')
                Advance(1);
            next = offset_;
            return true;
        }
        next = offset_;
        return offset_ > start && !failed_;
    }

    /// Passes over the empty lines that start here, however many: a run of CR and LF bytes at the
    /// start of a line is nothing but empty lines.
    void SkipEmptyLines() {
        while (pos_ < len_ || Refill()) {
            std::size_t i = pos_;
            while (i < len_ && (buffer_[i] == '\r' || buffer_[i] == '\n'))
                ++i;
            Advance(i - pos_);
            if (i < len_)
                return;
        }
    }

    bool Failed() const { return failed_; }
    std::uint64_t Offset() const { return offset_; }

private:
    bool Refill() {
        pos_ = 0;
        len_ = std::fread(buffer_, 1, sizeof buffer_, f_);
        if (len_ == 0 && std::ferror(f_))
            failed_ = true;
        return len_ > 0;
    }
    void Advance(std::size_t n) {
        pos_ += n;
        offset_ += n;
    }

    std::FILE* f_;
    char buffer_[1 << 16];
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    std::uint64_t offset_ = 0;
    bool failed_ = false;
};

// The span of `section` in the file, read from its start. False on a read error.
bool LocateInFile(std::FILE* f, std::string_view section, SectionSpan& span) {
    LineReader reader(f);
    SectionLocator locator(section);
    std::string text;
    std::uint64_t start = 0;
    std::uint64_t next = 0;
    while (true) {
        reader.SkipEmptyLines(); // they neither start nor end a section
        if (!reader.Next(text, false, start, next) || !locator.Line(start, next, text))
            break;
    }
    if (reader.Failed())
        return false;
    span = locator.Finish(reader.Offset());
    return true;
}

// The header and the lines of a section as written.
std::string SectionText(std::string_view section, std::span<const std::string> lines) {
    std::string out;
    out.push_back('[');
    out.append(TrimBlanks(section));
    out.append("]\r\n");
    for (const std::string& line : lines) {
        AppendWithoutLineBreaks(out, line);
        out.append("\r\n");
    }
    return out;
}

bool EndsWithLineBreak(std::string_view text) {
    return text.empty() || text.back() == '\n' || text.back() == '\r';
}

bool CopyRange(std::FILE* from, std::FILE* to, std::uint64_t begin, std::uint64_t end) {
    if (!SeekTo(from, begin))
        return false;
    char buffer[1 << 16];
    std::uint64_t left = end - begin;
    while (left > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, sizeof buffer));
        const std::size_t got = std::fread(buffer, 1, want, from);
        if (got == 0 || std::fwrite(buffer, 1, got, to) != got)
            return false;
        left -= got;
    }
    return true;
}

// The last byte before `offset`, or 0 at the start.
int ByteBefore(std::FILE* f, std::uint64_t offset) {
    if (offset == 0 || !SeekTo(f, offset - 1))
        return '\n';
    return std::fgetc(f);
}

} // namespace

std::string ProfileReplaceSection(std::string_view text, std::string_view section,
                                  std::span<const std::string> lines) {
    SectionLocator locator(section);
    for (std::uint64_t start = 0; start < text.size();) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        std::size_t next = end;
        if (next < text.size() && text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n')
            next += 2;
        else if (next < text.size())
            ++next;
        if (!locator.Line(start, next, text.substr(start, end - start)))
            break;
        start = next;
    }
    const SectionSpan span = locator.Finish(text.size());
    std::string out;
    if (!span.found) {
        // Appended; a last line without its line end gets one first.
        out.append(text);
        if (!EndsWithLineBreak(text))
            out.append("\r\n");
        out.append(SectionText(section, lines));
        return out;
    }
    // Every byte outside the section stays as it was, line ends included.
    out.append(text.substr(0, span.start));
    out.append(SectionText(section, lines));
    out.append(text.substr(span.keepFrom));
    return out;
}

bool ProfileForEachSectionLine(const std::filesystem::path& path, std::string_view section,
                               const std::function<void(std::string_view line)>& onLine) {
    std::error_code ec;
    if (path.native().find('\0') != std::string::npos || !std::filesystem::is_regular_file(path, ec))
        return false;
    std::FILE* f = OpenForReading(path);
    if (f == nullptr)
        return false;
    LineReader reader(f);
    SectionLocator locator(section);
    std::string text;
    std::uint64_t start = 0;
    std::uint64_t next = 0;
    while (true) {
        reader.SkipEmptyLines(); // nothing to hand over, and they neither start nor end a section
        const bool inSection = locator.InSection();
        if (!reader.Next(text, inSection, start, next))
            break;
        if (!locator.Line(start, next, text))
            break;
        if (inSection && locator.InSection())
            onLine(text);
    }
    const bool failed = reader.Failed();
    std::fclose(f);
    return !failed;
}

std::optional<std::string_view> ProfileLineKey(std::string_view line) {
    if (SectionName(line) || IsComment(line))
        return std::nullopt;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return TrimBlanks(line.substr(0, eq));
}

bool ProfileWriteSection(const std::filesystem::path& path, std::string_view section,
                         std::span<const std::string> lines, LinkPolicy links) {
    const std::string sectionText = SectionText(section, lines);
    // The old file is read twice, once to find the section and once to copy what surrounds it, so a
    // file of any size costs no more memory than a piece of it.
    return ReplaceFileAtomically(
        path, true,
        [&](std::FILE* out, std::FILE* old) {
            const auto put = [out](std::string_view bytes) {
                return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
            };
            if (old == nullptr)
                return put(sectionText);
            SectionSpan span;
            if (!LocateInFile(old, section, span))
                return false;
            if (!span.found) {
                const std::optional<std::uint64_t> total = FileLength(old);
                if (!total || !CopyRange(old, out, 0, *total))
                    return false;
                const int last = ByteBefore(old, *total);
                if (last != '\n' && last != '\r' && !put("\r\n"))
                    return false;
                return put(sectionText);
            }
            if (!CopyRange(old, out, 0, span.start) || !put(sectionText))
                return false;
            const std::optional<std::uint64_t> total = FileLength(old);
            return total && CopyRange(old, out, span.keepFrom, *total);
        },
        links);
}

} // namespace orvane
