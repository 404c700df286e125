#include "core/LinkScan.h"
#include "core/CharRefs.h"
#include "core/Conversion.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <random>

using namespace orvane;

namespace {

struct Found {
    std::u16string url, name;
    int seq = 0;
    bool operator==(const Found&) const = default;
};

// Cancelling, a full table and the key count are checked through the conversion.
struct Recorder : ScanSink {
    std::vector<Found> links;
    bool CancelRequested() override { return false; }
    bool TableFull() override { return false; }
    void Link(std::u16string_view url, std::u16string_view name, std::int16_t seq) override {
        links.push_back({std::u16string(url), std::u16string(name), seq});
    }
    void KeyDone(int) override {}
};

std::vector<Found> Links(std::u16string_view text, LinkLevel level, NameRule rule) {
    Recorder sink;
    ScanLinks(text, {level, rule, 0}, sink);
    return sink.links;
}

// From the decoded document to the links, as a conversion goes.
std::vector<Found> LinksOfDocument(const std::u16string& document, LinkLevel level, NameRule rule) {
    std::u16string work = JoinLines(document, [](std::size_t) {});
    RemoveLineBreaks(work);
    return Links(work, level, rule);
}

// Lines end at CR LF, CR or LF; each is trimmed and followed by one space. A line end at the very
// end starts no further line.
std::u16string JoinByRules(const std::u16string& text) {
    std::vector<std::u16string> lines;
    std::u16string line;
    bool ended = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            lines.push_back(line);
            line.clear();
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            ended = true;
        } else {
            line += text[i];
            ended = false;
        }
    }
    if (!ended)
        lines.push_back(line);
    std::u16string out;
    for (const auto& l : lines)
        out += Trim(l) + u" ";
    return out;
}

// References are decoded by the character-reference rules (tested on their own); a decoded CR or LF
// becomes a space in a name and is left out of an address, as a decoded tab is.
std::u16string Decoded(const std::u16string& text, bool address) {
    std::u16string out;
    AppendDecodedCharRefs(text, out, address ? DecodedBreaks::Drop : DecodedBreaks::Space);
    return out;
}

// Tag removal as the plain loop: remove the first tag, trim both sides, again while a "<" has a ">".
std::u16string StripTagsByLoop(std::u16string name) {
    name = Trim(name);
    while (true) {
        const auto lt = name.find(u'<');
        const auto gt = lt == npos ? npos : name.find(u'>', lt);
        if (gt == npos)
            return name;
        name = Trim(name.substr(0, lt)) + Trim(name.substr(gt + 1));
    }
}

std::u16string Lower(std::u16string s) {
    for (auto& c : s)
        c = FoldAscii(c);
    return s;
}

std::size_t FindScheme(const std::u16string& s, std::size_t from) {
    return std::min(s.find(u"http:", from), s.find(u"https:", from));
}

// The scan written straight from its rules, searching whole strings without any shortcut: the
// scan under test bounds its searches to the segment and skips the second "</a>" search.
std::vector<Found> ScanByRules(const std::u16string& text, LinkLevel level, NameRule rule) {
    const std::u16string lower = Lower(text);
    std::vector<Found> out;
    for (std::size_t pos = 0;;) {
        const std::size_t key =
            level == LinkLevel::AHref ? lower.find(u"a href", pos) : FindScheme(lower, pos);
        const std::size_t endTag = key == npos ? npos : lower.find(u"</a>", key);
        if (endTag == npos)
            break;
        pos = endTag;
        const std::u16string seg = text.substr(key, endTag + 4 - key), segLower = Lower(seg);
        const std::size_t start = FindScheme(segLower, 0);
        if (start == npos)
            continue;
        const std::size_t quote = seg.find(u'"', start), gt = seg.find(u'>', start);
        std::size_t end = gt;
        if (quote != npos)
            end = std::min(quote, gt);
        else if (const std::size_t apostrophe = seg.find(u"'>", start); apostrophe != npos)
            end = apostrophe;
        std::u16string name;
        if (gt == seg.size() - 1) {
            if (end == gt)
                end = seg.size() - 4;
        } else {
            name = Trim(seg.substr(gt + 1, segLower.find(u"</a>", end) - (gt + 1)));
            if (rule == NameRule::StripTags) {
                name = StripTagsByLoop(name);
            } else if (const std::size_t at = Lower(name).find(u"alt="); at != npos) {
                std::size_t from = at + 4;
                if (from < name.size() && name[from] == u'"')
                    ++from;
                if (const std::size_t close = name.find(u'"', from); close != npos)
                    name = Trim(name.substr(from, close - from));
            }
        }
        // Cut, decoded, trimmed; the name likewise after its cleaning; placeholders last.
        name = Trim(Decoded(name, false));
        const int seq = static_cast<int>(out.size());
        if (name.empty())
            name = u"(名称無し " + ToU16Number(seq) + u")";
        std::u16string url = Trim(Decoded(seg.substr(start, end - start), true));
        if (url.empty())
            url = u"(URL無し " + ToU16Number(seq) + u")";
        out.push_back({url, name, seq});
    }
    return out;
}

} // namespace

TEST(LinkScan, AgreesWithTheRulesOnRandomMarkup) {
    const std::u16string_view pieces[] = {
        u"<a href=", u"a href", u"http:", u"HTTPS:", u"http",  u"</a>", u"</A>",   u"<",    u">",
        u"\"",       u"'",      u"'>",    u" ",      u"  ",    u"alt=", u"x",      u"<b>",  u"名",
        u"\r",       u"\n",     u"\r\n",  u"&",      u"&amp;", u"amp",  u"#",      u";",    u"&#",
        u"3C",       u"60",     u"&lt;",  u"&#10;",  u"&#x9;", u"&#0;", u"&#x80;", u"&#32;"};
    std::mt19937 random(77);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 60);
    std::size_t links = 0;
    std::size_t decoded = 0; // links holding the euro sign, which only a reference gives
    for (int round = 0; round < 4000; ++round) {
        std::u16string text;
        for (int n = length(random); n > 0; --n)
            text += pieces[pick(random)];
        for (const LinkLevel level : {LinkLevel::AHref, LinkLevel::Http})
            for (const NameRule rule : {NameRule::StripTags, NameRule::AltText}) {
                const std::vector<Found> expected = ScanByRules(JoinByRules(text), level, rule);
                ASSERT_EQ(LinksOfDocument(text, level, rule), expected)
                    << ToUtf8(text) << " level " << static_cast<int>(level) << " rule "
                    << static_cast<int>(rule);
                links += expected.size();
                for (const Found& f : expected)
                    decoded += (f.url + f.name).find(u'\u20AC') != npos;
            }
    }
    EXPECT_GT(links, 5000u);  // the markup really produces links
    EXPECT_GT(decoded, 500u); // and references in them
}
