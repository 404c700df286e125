#include "core/LinkScan.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using namespace orvane;

namespace {

constexpr LinkLevel kAHref = LinkLevel::AHref, kHttp = LinkLevel::Http;
constexpr NameRule kStrip = NameRule::StripTags, kAlt = NameRule::AltText;

struct Found {
    std::u16string url;
    std::u16string name;
    int seq = 0;
    bool operator==(const Found&) const = default;
};

void PrintTo(const Found& f, std::ostream* os) {
    *os << "{" << ToUtf8(f.url) << " | " << ToUtf8(f.name) << " | " << f.seq << "}";
}

class Recorder : public ScanSink {
public:
    std::vector<Found> links;
    std::vector<int> keys; // the link count after each key
    int roomLeft = -1;

    bool CancelRequested() override { return false; } // cancelling is checked with the real sink
    bool TableFull() override { return roomLeft >= 0 && static_cast<int>(links.size()) >= roomLeft; }
    void Link(std::u16string_view url, std::u16string_view name, std::int16_t seq) override {
        links.push_back({std::u16string(url), std::u16string(name), seq});
    }
    void KeyDone(int n) override { keys.push_back(n); }
};

ScanResult Scan(std::u16string_view text, Recorder& sink, LinkLevel level = kAHref, NameRule rule = kStrip) {
    return ScanLinks(text, {level, rule, 0}, sink);
}

std::vector<Found> Links(std::u16string_view text, LinkLevel level = kAHref, NameRule rule = kStrip) {
    Recorder sink;
    Scan(text, sink, level, rule);
    return sink.links;
}

// Tag removal as the plain loop: remove the first tag, trim both sides, again until no "<" is left
// or the "<" has no ">" after it.
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
        const std::size_t key = level == kAHref ? lower.find(u"a href", pos) : FindScheme(lower, pos);
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
            if (rule == kStrip) {
                name = StripTagsByLoop(name);
            } else if (const std::size_t at = Lower(name).find(u"alt="); at != npos) {
                std::size_t from = at + 4;
                if (from < name.size() && name[from] == u'"')
                    ++from;
                if (const std::size_t close = name.find(u'"', from); close != npos)
                    name = Trim(name.substr(from, close - from));
            }
        }
        const int seq = static_cast<int>(out.size());
        if (name.empty())
            name = u"(名称無し " + ToU16Number(seq) + u")";
        out.push_back({Trim(seg.substr(start, end - start)), name, seq});
    }
    return out;
}

} // namespace

TEST(LinkScan, WhatIsTakenAndWhatNot) {
    struct Case {
        std::u16string_view text;
        std::vector<Found> expected;
        LinkLevel level = kAHref;
        NameRule rule = kStrip;
    };
    const std::u16string area = u"<map><area href=\"http://x/1\" alt=\"One\"></map> after "
                                u"<a href=\"http://x/2\">Two</a>";
    const std::u16string_view bold = u"<a href=\"http://x/\"> <b>Bold</b> text </a>";
    const std::u16string_view image = u"<a href=\"http://x/\"><img src=\"i.gif\" ALT=\" Picture \"></a>";
    const Case cases[] = {
        // Capitals match everywhere and are kept as written; https at both levels.
        {u"<A HREF=\"HTTP://EXAMPLE.COM/A\">TEXT</A>", {{u"HTTP://EXAMPLE.COM/A", u"TEXT"}}},
        {u"<a href=\"HTTPS://s.example/\">S</a>", {{u"HTTPS://s.example/", u"S"}}},
        {u"<img src=\"https://s.example/i.png\">pic</a>", {{u"https://s.example/i.png", u"pic"}}, kHttp},
        // Another attribute between the tag name and the target, two spaces, a tab.
        {u"<a class=\"c\" href=\"http://x/\">X</a>", {}},
        {u"<a  href=\"http://x/\">X</a>", {}},
        {u"<a\thref=\"http://x/\">X</a>", {}},
        // "https" without a colon is no address.
        {u"https or http but no colon</a>", {}, kHttp},
        // The area's segment swallows the anchor behind it; its own "alt=" lies before the name.
        {area, {{u"http://x/1", u"afterTwo"}}},
        {area, {{u"http://x/1", u"</map> after <a href=\"http://x/2\">Two"}}, kAHref, kAlt},
        // Name rules; only U+0020 is trimmed.
        {bold, {{u"http://x/", u"Boldtext"}}},
        {bold, {{u"http://x/", u"<b>Bold</b> text"}}, kAHref, kAlt},
        {image, {{u"http://x/", u"Picture"}}, kAHref, kAlt},
        {image, {{u"http://x/", u"(名称無し 0)"}}},
        {u"<a href=\"http://x/\">\t名前\u3000 </a>", {{u"http://x/", u"\t名前\u3000"}}},
        // An unquoted alt value runs to the next double quote.
        {u"<a href=\"http://x/\"><img alt=Pic src=\"i\"></a>", {{u"http://x/", u"Pic src="}}, kAHref, kAlt},
        // Apostrophes: the address stops before the one that precedes ">". Unquoted: up to the
        // first ">", so a following attribute joins the address.
        {u"<a href='http://x/a'>A</a>", {{u"http://x/a", u"A"}}},
        {u"<a href=http://x/a target=_blank>A</a>", {{u"http://x/a target=_blank", u"A"}}},
        // A double quote anywhere in the segment makes the first ">" count when it comes first.
        {u"<a href=http://x/a>say \"hi\"</a>", {{u"http://x/a", u"say \"hi\""}}},
        // Spaces inside the quotes are trimmed; entities stay as they are.
        {u"<a href=\" http://x/?a=1&amp;b=2 \">A</a>", {{u"http://x/?a=1&amp;b=2", u"A"}}},
        // An address in the link text: the first ">" after it is the closing "</a>".
        {u"<a href=\"page.htm\">http://x/page</a>", {{u"http://x/page", u"(名称無し 0)"}}},
        {u"see http://x/ here</a>", {{u"http://x/ here", u"(名称無し 0)"}}, kHttp},
        // Keys inside a segment are passed over, at both levels.
        {u"<a href=\"http://x/a\">A <a href=\"http://x/b\">B</a> <a href=\"http://x/c\">C</a>",
         {{u"http://x/a", u"AB", 0}, {u"http://x/c", u"C", 1}}},
        {u"<img src=\"http://x/i.gif\"> Caption <a href=\"http://x/p\">link</a> <a href=\"http://x/q\">Q</a>",
         {{u"http://x/i.gif", u"Captionlink", 0}, {u"http://x/q", u"Q", 1}},
         kHttp},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Links(c.text, c.level, c.rule), c.expected) << ToUtf8(c.text);
}

TEST(LinkScan, HowTheScanEnds) {
    Recorder relative; // a relative target gives no entry, but its key is counted
    EXPECT_EQ(Scan(u"<a href=\"page.htm\">P</a><a href=\"http://x/\">X</a>", relative).end,
              ScanEnd::NoMoreKeys);
    EXPECT_EQ(relative.keys, (std::vector<int>{0, 1}));
    EXPECT_EQ(relative.links, (std::vector<Found>{{u"http://x/", u"X"}}));

    Recorder open;
    const ScanResult unexpected = Scan(u"<a href=\"http://x/a\">A</a> <a href=\"http://x/b\">B", open);
    EXPECT_EQ(unexpected.end, ScanEnd::UnexpectedEnd);
    EXPECT_EQ(unexpected.links, 1);
    EXPECT_EQ(open.links.size(), 1u);
    Recorder full;
    full.roomLeft = 1;
    const ScanResult filled =
        Scan(u"<a href=\"http://x/a\">A</a><a href=\"rel\">R</a><a href=\"http://x/b\">B</a>", full);
    EXPECT_EQ(filled.end, ScanEnd::TableFull);
    EXPECT_EQ(filled.links, 1);
    EXPECT_EQ(full.keys, (std::vector<int>{1, 1})); // the relative link does not need room
}

TEST(LinkScan, AgreesWithTheRulesOnRandomMarkup) {
    const std::u16string_view pieces[] = {u"<a href=", u"a href", u"http:", u"HTTPS:", u"http", u"</a>",
                                          u"</A>",     u"<",      u">",     u"\"",     u"'",    u"'>",
                                          u" ",        u"  ",     u"alt=",  u"x",      u"<b>",  u"名"};
    std::mt19937 random(77);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 40);
    std::size_t links = 0;
    for (int round = 0; round < 4000; ++round) {
        std::u16string text;
        for (int n = length(random); n > 0; --n)
            text += pieces[pick(random)];
        for (const LinkLevel level : {LinkLevel::AHref, LinkLevel::Http})
            for (const NameRule rule : {NameRule::StripTags, NameRule::AltText}) {
                const std::vector<Found> expected = ScanByRules(text, level, rule);
                ASSERT_EQ(Links(text, level, rule), expected)
                    << ToUtf8(text) << " level " << static_cast<int>(level) << " rule "
                    << static_cast<int>(rule);
                links += expected.size();
            }
    }
    EXPECT_GT(links, 5000u); // the markup really produces links
}
