#include "core/LinkScan.h"
#include "core/LinkTable.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using namespace orvane;

namespace {

struct Found {
    std::u16string url;
    std::u16string name;
    int seq;
    bool operator==(const Found&) const = default;
};

void PrintTo(const Found& f, std::ostream* os) {
    *os << "{" << ToUtf8(f.url) << " | " << ToUtf8(f.name) << " | " << f.seq << "}";
}

class Recorder : public ScanSink {
public:
    std::vector<Found> links;
    std::vector<int> keys; // the link count after each key
    int cancelAfterKeys = -1;
    int roomLeft = -1;

    bool CancelRequested() override {
        return cancelAfterKeys >= 0 && static_cast<int>(keys.size()) >= cancelAfterKeys;
    }
    bool TableFull() override { return roomLeft >= 0 && static_cast<int>(links.size()) >= roomLeft; }
    void Link(std::u16string_view url, std::u16string_view name, std::int16_t seq) override {
        links.push_back({std::u16string(url), std::u16string(name), seq});
    }
    void KeyDone(int n) override { keys.push_back(n); }
};

struct ScanRun {
    ScanResult result;
    Recorder sink;
};

ScanRun Scan(std::u16string_view text, LinkLevel level = LinkLevel::AHref,
             NameRule rule = NameRule::StripTags, long long base = 0) {
    ScanRun run;
    run.result = ScanLinks(text, {level, rule, base}, run.sink);
    return run;
}

std::vector<Found> Links(std::u16string_view text, LinkLevel level = LinkLevel::AHref,
                         NameRule rule = NameRule::StripTags) {
    return Scan(text, level, rule).sink.links;
}

// Tag removal as the plain loop: remove the first tag, trim both sides, again until no "<" is left
// or the "<" has no ">" after it.
std::u16string StripTagsByLoop(std::u16string name) {
    name = Trim(name);
    while (true) {
        const auto lt = name.find(u'<');
        if (lt == std::u16string::npos)
            return name;
        const auto gt = name.find(u'>', lt);
        if (gt == std::u16string::npos)
            return name;
        name = Trim(name.substr(0, lt)) + Trim(name.substr(gt + 1));
    }
}

// The scan written straight from its rules, searching whole strings without any shortcut: the
// scan under test bounds its searches to the segment and skips the second "</a>" search.
std::vector<Found> ScanByRules(const std::u16string& text, LinkLevel level, NameRule rule) {
    std::u16string lower = text;
    for (auto& c : lower)
        c = FoldAscii(c);
    const auto findHttp = [](const std::u16string& s, std::size_t from) {
        return std::min(s.find(u"http:", from), s.find(u"https:", from));
    };
    std::vector<Found> out;
    std::size_t pos = 0;
    while (true) {
        const std::size_t key = level == LinkLevel::AHref ? lower.find(u"a href", pos) : findHttp(lower, pos);
        if (key == std::u16string::npos)
            break;
        const std::size_t endTag = lower.find(u"</a>", key);
        if (endTag == std::u16string::npos)
            break;
        pos = endTag;
        const std::u16string seg = text.substr(key, endTag + 4 - key);
        const std::u16string segLower = lower.substr(key, endTag + 4 - key);
        const std::size_t start = findHttp(segLower, 0);
        if (start == std::u16string::npos)
            continue;
        const std::size_t quote = seg.find(u'"', start);
        const std::size_t gt = seg.find(u'>', start);
        std::size_t end = gt;
        if (quote != std::u16string::npos)
            end = std::min(quote, gt);
        else if (seg.find(u"'>", start) != std::u16string::npos)
            end = seg.find(u"'>", start);
        std::u16string name;
        if (gt == seg.size() - 1) {
            if (end == gt)
                end = seg.size() - 4;
        } else {
            const std::size_t stop = segLower.find(u"</a>", end);
            name = Trim(seg.substr(gt + 1, stop - (gt + 1)));
            if (rule == NameRule::StripTags) {
                name = StripTagsByLoop(name);
            } else {
                std::u16string nameLower = name;
                for (auto& c : nameLower)
                    c = FoldAscii(c);
                if (const std::size_t at = nameLower.find(u"alt="); at != std::u16string::npos) {
                    std::size_t valueStart = at + 4;
                    if (valueStart < name.size() && name[valueStart] == u'"')
                        ++valueStart;
                    const std::size_t close =
                        valueStart < name.size() ? name.find(u'"', valueStart) : std::u16string::npos;
                    if (close != std::u16string::npos)
                        name = Trim(name.substr(valueStart, close - valueStart));
                }
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

TEST(LinkScan, AnchorAtLevelAHrefTakesAddressAndText) {
    EXPECT_EQ(Links(u"x <a href=\"http://example.com/a\">Example</a> y"),
              (std::vector<Found>{{u"http://example.com/a", u"Example", 0}}));
    // Capitals match everywhere and are kept as written.
    EXPECT_EQ(Links(u"<A HREF=\"HTTP://EXAMPLE.COM/A\">TEXT</A>"),
              (std::vector<Found>{{u"HTTP://EXAMPLE.COM/A", u"TEXT", 0}}));
    // https at both levels, capitals included.
    EXPECT_EQ(Links(u"<a href=\"HTTPS://s.example/\">S</a>"),
              (std::vector<Found>{{u"HTTPS://s.example/", u"S", 0}}));
    EXPECT_EQ(Links(u"<img src=\"https://s.example/i.png\">pic</a>", LinkLevel::Http),
              (std::vector<Found>{{u"https://s.example/i.png", u"pic", 0}}));
}

TEST(LinkScan, WhatTheKeyDoesNotFind) {
    // A relative target gives no entry, but its key is still counted.
    const ScanRun relative = Scan(u"<a href=\"page.htm\">Page</a><a href=\"http://x/\">X</a>");
    EXPECT_EQ(relative.sink.links, (std::vector<Found>{{u"http://x/", u"X", 0}}));
    EXPECT_EQ(relative.sink.keys, (std::vector<int>{0, 1}));
    // Another attribute between the tag name and the target, two spaces, a tab.
    EXPECT_TRUE(Links(u"<a class=\"c\" href=\"http://x/\">X</a>").empty());
    EXPECT_TRUE(Links(u"<a  href=\"http://x/\">X</a>").empty());
    EXPECT_TRUE(Links(u"<a\thref=\"http://x/\">X</a>").empty());
    // Neither "httpx:" nor "https" without a colon is an address.
    EXPECT_TRUE(Links(u"<a href=\"httpx://x/\">X</a>").empty());
    EXPECT_TRUE(Links(u"https or http but no colon</a>", LinkLevel::Http).empty());
}

TEST(LinkScan, AreaElementRunsToTheNextClosingAnchor) {
    const std::u16string page = u"<map><area href=\"http://x/1\" alt=\"One\"></map> after "
                                u"<a href=\"http://x/2\">Two</a>";
    // The area's segment swallows the anchor behind it.
    EXPECT_EQ(Links(page), (std::vector<Found>{{u"http://x/1", u"afterTwo", 0}}));
    // The area's own "alt=" lies before the name, so the raw text is the name.
    EXPECT_EQ(Links(page, LinkLevel::AHref, NameRule::AltText)[0].name,
              u"</map> after <a href=\"http://x/2\">Two");
}

TEST(LinkScan, NameRules) {
    const std::u16string bold = u"<a href=\"http://x/\"> <b>Bold</b> text </a>";
    EXPECT_EQ(Links(bold)[0].name, u"Boldtext");
    EXPECT_EQ(Links(bold, LinkLevel::AHref, NameRule::AltText)[0].name, u"<b>Bold</b> text");

    const std::u16string image = u"<a href=\"http://x/\"><img src=\"i.gif\" ALT=\" Picture \"></a>";
    EXPECT_EQ(Links(image, LinkLevel::AHref, NameRule::AltText)[0].name, u"Picture");
    EXPECT_EQ(Links(image)[0].name, u"(名称無し 0)");
    // An unquoted value runs to the next double quote; without one the text stays as it is.
    EXPECT_EQ(Links(u"<a href=\"http://x/\"><img alt=Pic src=\"i.gif\"></a>", LinkLevel::AHref,
                    NameRule::AltText)[0]
                  .name,
              u"Pic src=");
    EXPECT_EQ(Links(u"<a href=\"http://x/\">alt=Pic</a>", LinkLevel::AHref, NameRule::AltText)[0].name,
              u"alt=Pic");
    // Only U+0020 is trimmed.
    EXPECT_EQ(Links(u"<a href=\"http://x/\">\t名前\u3000 </a>")[0].name, u"\t名前\u3000");
}

TEST(LinkScan, AddressEnds) {
    // Apostrophes: the address stops before the apostrophe that precedes ">".
    EXPECT_EQ(Links(u"<a href='http://x/a'>A</a>")[0].url, u"http://x/a");
    // Unquoted: up to the first ">", so a following attribute joins the address.
    EXPECT_EQ(Links(u"<a href=http://x/a target=_blank>A</a>")[0].url, u"http://x/a target=_blank");
    // A double quote anywhere in the segment makes the first ">" count when it comes first.
    EXPECT_EQ(Links(u"<a href=http://x/a>say \"hi\"</a>"),
              (std::vector<Found>{{u"http://x/a", u"say \"hi\"", 0}}));
    // Spaces inside the quotes are trimmed; entities stay as they are.
    EXPECT_EQ(Links(u"<a href=\" http://x/?a=1&amp;b=2 \">A</a>")[0].url, u"http://x/?a=1&amp;b=2");
}

TEST(LinkScan, AddressInTheLinkTextHasNoName) {
    // The first ">" after the address is the closing "</a>": the address stops before "</a>".
    EXPECT_EQ(Links(u"<a href=\"page.htm\">http://x/page</a>"),
              (std::vector<Found>{{u"http://x/page", u"(名称無し 0)", 0}}));
    EXPECT_EQ(Links(u"see http://x/ here</a>", LinkLevel::Http),
              (std::vector<Found>{{u"http://x/ here", u"(名称無し 0)", 0}}));
    // A double quote before it still ends the address.
    EXPECT_EQ(Links(u"<a href=rel>http://x/\" more</a>"),
              (std::vector<Found>{{u"http://x/", u"(名称無し 0)", 0}}));
}

TEST(LinkScan, HttpLevelTakesAddressesOutsideAnchors) {
    const std::u16string page = u"<img src=\"http://x/i.gif\"> Caption <a href=\"http://x/p\">link</a> "
                                u"<a href=\"http://x/q\">Q</a>";
    const ScanRun run = Scan(page, LinkLevel::Http);
    // The image's segment runs to the first "</a>"; the anchor inside it is passed over.
    EXPECT_EQ(run.sink.links,
              (std::vector<Found>{{u"http://x/i.gif", u"Captionlink", 0}, {u"http://x/q", u"Q", 1}}));
    EXPECT_EQ(run.sink.keys, (std::vector<int>{1, 2}));
    EXPECT_EQ(run.result.end, ScanEnd::NoMoreKeys);
}

TEST(LinkScan, KeysInsideASegmentArePassedOver) {
    const ScanRun run =
        Scan(u"<a href=\"http://x/a\">A <a href=\"http://x/b\">B</a> <a href=\"http://x/c\">C</a>");
    EXPECT_EQ(run.sink.links, (std::vector<Found>{{u"http://x/a", u"AB", 0}, {u"http://x/c", u"C", 1}}));
    EXPECT_EQ(run.sink.keys, (std::vector<int>{1, 2}));
}

TEST(LinkScan, HowTheScanEnds) {
    const ScanRun open = Scan(u"<a href=\"http://x/a\">A</a> <a href=\"http://x/b\">B");
    EXPECT_EQ(open.result.end, ScanEnd::UnexpectedEnd);
    EXPECT_EQ(open.result.links, 1);
    EXPECT_EQ(open.sink.keys, (std::vector<int>{1}));
    // At the "http" level any address after the last "</a>" has the same effect.
    EXPECT_EQ(
        Scan(u"<a href=\"http://x/a\">A</a> <script>u='http://x/s'</script>", LinkLevel::Http).result.end,
        ScanEnd::UnexpectedEnd);

    ScanRun cancelled;
    cancelled.sink.cancelAfterKeys = 1;
    cancelled.result =
        ScanLinks(u"<a href=\"http://x/a\">A</a><a href=\"http://x/b\">B</a>", {}, cancelled.sink);
    EXPECT_EQ(cancelled.result.end, ScanEnd::Cancelled);
    EXPECT_EQ(cancelled.result.links, 1);

    ScanRun full;
    full.sink.roomLeft = 1;
    full.result = ScanLinks(u"<a href=\"http://x/a\">A</a><a href=\"rel\">R</a><a href=\"http://x/b\">B</a>",
                            {}, full.sink);
    EXPECT_EQ(full.result.end, ScanEnd::TableFull);
    EXPECT_EQ(full.result.links, 1);
    EXPECT_EQ(full.sink.keys, (std::vector<int>{1, 1})); // the relative link does not need room
}

TEST(LinkScan, NeverMoreLinksThanTheTableHolds) {
    std::u16string page;
    for (int i = 0; i < LinkTable::kMaxRecords + 3; ++i)
        page += u"http:</a>";
    const ScanRun run = Scan(page, LinkLevel::Http);
    EXPECT_EQ(run.result.end, ScanEnd::TableFull);
    EXPECT_EQ(run.result.links, LinkTable::kMaxRecords);
    EXPECT_EQ(run.sink.links.back().seq, LinkTable::kMaxRecords - 1);
}

TEST(LinkScan, PlaceholdersCountFromTheListsEntries) {
    const ScanRun run =
        Scan(u"<a href=\"http://x/a\"></a><a href=\"http://x/b\">B</a><a href=\"http://x/c\"><img></a>",
             LinkLevel::AHref, NameRule::StripTags, 5);
    ASSERT_EQ(run.sink.links.size(), 3u);
    EXPECT_EQ(run.sink.links[0].name, u"(名称無し 5)");
    EXPECT_EQ(run.sink.links[2].name, u"(名称無し 7)");
    EXPECT_EQ(run.sink.links[2].seq, 2);
}

TEST(StripTags, UnclosedTagKeepsTheRestAsOnePiece) {
    std::u16string scratch;
    EXPECT_EQ(StripTags(u"a < b", scratch), u"a < b");
    EXPECT_EQ(StripTags(u"<b>x</b> y < z ", scratch), u"xy < z");
    EXPECT_EQ(StripTags(u"<b> x </b> <i>  </i> y", scratch), u"xy");
    EXPECT_EQ(StripTags(u"<<>>", scratch), u">");
    EXPECT_EQ(StripTags(u"x<", scratch), u"x<");
    EXPECT_EQ(StripTags(u"<img src=a.gif>", scratch), u"");
}

TEST(StripTags, OnePassMatchesRemovingTagAfterTag) {
    std::mt19937 random(20240611);
    const char16_t alphabet[] = {u'<', u'>', u' ', u'a', u'b'};
    std::uniform_int_distribution<int> pick(0, 4);
    std::uniform_int_distribution<int> length(0, 14);
    std::u16string scratch;
    for (int round = 0; round < 20000; ++round) {
        std::u16string name;
        for (int n = length(random); n > 0; --n)
            name += alphabet[pick(random)];
        const std::u16string trimmed = Trim(name); // the scan trims before removing tags
        ASSERT_EQ(std::u16string(StripTags(trimmed, scratch)), StripTagsByLoop(trimmed)) << ToUtf8(name);
    }
}

TEST(FindHttp, FirstOfEitherScheme) {
    EXPECT_EQ(FindHttp(u"xx https://a http://b"), 3u);
    EXPECT_EQ(FindHttp(u"HTTPS: Http:", 1), 7u);
    EXPECT_EQ(FindHttp(u"httphttp:"), 4u);
    EXPECT_EQ(FindHttp(u"http https"), npos);
    EXPECT_EQ(FindHttp(u"https"), npos);
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
