// The INI reader and the whole-section writer on any file text.
//
// The input is the file text; its last three bytes (when there are more) choose the section to write
// (one of those in the text, or a new one), how many lines and whether one value is longer than a
// value can be read. The keys and values written are taken from the text, so they look like its own.

#include "FuzzCheck.h"

#include "core/Profile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace orvane;

namespace {

constexpr std::size_t kMaxPairs = 16;
constexpr std::size_t kMaxLines = 8;

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool IsKeyChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

// What the text seems to hold, gathered loosely: the reader's own rules are what is under test.
struct Harvest {
    std::vector<std::string> sections;
    struct Pair {
        std::string section;
        std::string key;
        std::string value;
    };
    std::vector<Pair> pairs;
};

Harvest Gather(std::string_view text) {
    Harvest h;
    std::string section;
    std::size_t start = 0;
    while (start <= text.size() && h.pairs.size() < kMaxPairs) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = TrimBlanks(text.substr(start, end - start));
        const std::size_t close = line.find(']');
        if (!line.empty() && line.front() == '[' && close != std::string_view::npos) {
            section = std::string(line.substr(1, close - 1));
            h.sections.push_back(section);
        } else if (const std::size_t eq = line.find('='); eq != std::string_view::npos) {
            h.pairs.push_back({section, std::string(line.substr(0, eq)), std::string(line.substr(eq + 1))});
        }
        start = end + 1;
    }
    return h;
}

// A section name the writer's header keeps as one line that reads back as that name.
bool Writable(std::string_view section) {
    return section.find_first_of(std::string_view("\r\n]\0", 4)) == std::string_view::npos;
}

// What reading a written "key=value" line gives: the value without line ends and NULs, blanks around
// it removed, then one pair of enclosing quotes.
std::string ReadBack(std::string_view value) {
    std::string v;
    for (const char c : value)
        if (c != '\r' && c != '\n' && c != '\0')
            v.push_back(c);
    std::string_view t = TrimBlanks(v);
    if (t.size() >= 2 && (t.front() == '"' || t.front() == '\'') && t.back() == t.front())
        t = t.substr(1, t.size() - 2);
    return std::string(t);
}

bool OnlyCrLfLineEnds(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && (i + 1 >= s.size() || s[i + 1] != '\n'))
            return false;
        if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r'))
            return false;
    }
    return s.empty() || (s.size() >= 2 && s.substr(s.size() - 2) == "\r\n");
}

void CheckRead(std::string_view text, std::string_view section, std::string_view key) {
    const std::optional<std::string> value = ProfileReadValue(text, section, key);
    if (value)
        ORVANE_FUZZ_CHECK(value->size() <= kProfileValueMax);
}

void CheckCarelessRead(std::string_view text, std::string_view section, std::string_view key) {
    const std::optional<std::string> value = ProfileReadValue(text, section, key);
    // A boundary rule that answers nonsense still cannot make a value longer.
    const ProfileBoundary careless = [](std::string_view bytes, std::size_t) {
        return bytes.size();
    };
    const std::optional<std::string> cut = ProfileReadValue(text, section, key, careless);
    ORVANE_FUZZ_CHECK(cut.has_value() == value.has_value());
    if (cut)
        ORVANE_FUZZ_CHECK(cut->size() <= kProfileValueMax);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider fdp(data, size);
    const auto sectionPick = fdp.ConsumeIntegral<std::uint8_t>();
    const auto linePick = fdp.ConsumeIntegral<std::uint8_t>();
    const auto longPick = fdp.ConsumeIntegral<std::uint8_t>();
    const std::string text = fdp.ConsumeRemainingBytesAsString();
    const Harvest found = Gather(text);

    // Reading anything never fails and never gives more than a value can hold (the text's own keys are
    // read below, before and after the write).
    if (!found.pairs.empty())
        CheckCarelessRead(text, found.pairs.back().section, found.pairs.back().key);
    CheckRead(text, text, text);
    CheckRead(text, "", "");

    // The section to write: one the text has, or a new one.
    std::vector<std::string> candidates;
    for (const std::string& s : found.sections)
        if (Writable(s))
            candidates.push_back(s);
    candidates.push_back("Orvane");
    const std::string& section = candidates[sectionPick % candidates.size()];

    // Its lines: "key=value" with distinct plain keys, the text's own where they are plain.
    struct Written {
        std::string key;
        std::string value;
    };
    std::vector<Written> written;
    const std::size_t lineCount = linePick % (kMaxLines + 1);
    for (std::size_t i = 0; i < lineCount; ++i) {
        std::string key = "k" + std::to_string(i);
        std::string value;
        if (i < found.pairs.size()) {
            const std::string_view own = TrimBlanks(found.pairs[i].key);
            const bool plain = !own.empty() && std::all_of(own.begin(), own.end(), IsKeyChar);
            const bool taken = std::any_of(written.begin(), written.end(),
                                           [&](const Written& w) { return EqualsNoCase(w.key, own); });
            if (plain && !taken)
                key = std::string(own);
            value = found.pairs[i].value;
        }
        if (std::any_of(written.begin(), written.end(),
                        [&](const Written& w) { return EqualsNoCase(w.key, key); }))
            continue;
        // One run in eight: every later read goes through the long line byte by byte, and under the
        // fuzzer's comparison tracing that costs more than all the rest of a run.
        if (i == 0 && (longPick & 7) == 0) {
            // Past the longest value read whole, with a character of three bytes across the cut.
            value += "\"";
            while (value.size() <= kProfileValueMax + 8)
                value += "\xE6\x97\xA5x";
            value += "\"";
        }
        written.push_back({std::move(key), std::move(value)});
    }
    std::vector<std::string> lines;
    for (const Written& w : written)
        lines.push_back(w.key + "=" + w.value);

    const std::string out = ProfileReplaceSection(text, section, lines);

    // The section as written (CR LF line ends, nothing that could start another line), and around it
    // the text's own bytes unchanged: a part of its start and a part of its end, or, for a new
    // section, the whole text with a line end added only where it had none.
    std::string sectionText = "[" + std::string(TrimBlanks(section)) + "]\r\n";
    for (const std::string& line : lines) {
        for (const char c : line)
            if (c != '\r' && c != '\n' && c != '\0')
                sectionText.push_back(c);
        sectionText += "\r\n";
    }
    ORVANE_FUZZ_CHECK(OnlyCrLfLineEnds(sectionText));
    bool framed = false;
    for (std::size_t at = out.find(sectionText); !framed && at != std::string::npos;
         at = out.find(sectionText, at + 1)) {
        const std::string_view before = std::string_view(out).substr(0, at);
        const std::string_view after = std::string_view(out).substr(at + sectionText.size());
        const bool kept = before.size() + after.size() <= text.size() &&
                          text.substr(0, before.size()) == before &&
                          text.substr(text.size() - after.size()) == after;
        const bool appended = after.empty() && (before == text || before == std::string(text) + "\r\n");
        framed = kept || appended;
    }
    ORVANE_FUZZ_CHECK(framed);

    // The written section reads back as written.
    for (const Written& w : written) {
        const std::optional<std::string> got = ProfileReadValue(out, section, w.key);
        const std::string expected = ReadBack(w.value);
        ORVANE_FUZZ_CHECK(got.has_value());
        if (expected.size() <= kProfileValueMax) {
            if (*got != expected) {
                fuzz::Show("key", w.key);
                fuzz::Show("expected", expected);
                fuzz::Show("got", *got);
            }
            ORVANE_FUZZ_CHECK(*got == expected);
        } else {
            // Cut before the character the limit would split (four bytes at most, with a stray
            // continuation byte among the text's own).
            ORVANE_FUZZ_CHECK(got->size() <= kProfileValueMax && got->size() + 4 >= kProfileValueMax);
            ORVANE_FUZZ_CHECK(expected.compare(0, got->size(), *got) == 0);
        }
    }

    // Every other section reads as before.
    for (const Harvest::Pair& p : found.pairs) {
        const std::optional<std::string> before = ProfileReadValue(text, p.section, p.key);
        if (before)
            ORVANE_FUZZ_CHECK(before->size() <= kProfileValueMax);
        if (EqualsNoCase(TrimBlanks(p.section), TrimBlanks(section)))
            continue;
        const std::optional<std::string> after = ProfileReadValue(out, p.section, p.key);
        if (before != after) {
            fuzz::Show("section", p.section);
            fuzz::Show("key", p.key);
            fuzz::Show("before", before.value_or("(none)"));
            fuzz::Show("after", after.value_or("(none)"));
        }
        ORVANE_FUZZ_CHECK(before == after);
    }

    // Writing the same section again changes nothing.
    ORVANE_FUZZ_CHECK(ProfileReplaceSection(out, section, lines) == out);
    return 0;
}
