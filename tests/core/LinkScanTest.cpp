#include "core/LinkScan.h"
#include "core/Conversion.h"
#include "core/Text.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

using Found = std::vector<std::string>; // "url|name|seq" of each link

// Cancelling, a full table and the key count are checked through the conversion.
struct Recorder : ScanSink {
    Found links;
    void Link(std::u16string_view url, std::u16string_view name, std::int16_t seq) override {
        links.push_back(ToUtf8(url) + "|" + ToUtf8(name) + "|" + std::to_string(seq));
    }
};

// From the decoded document to the links, as a conversion goes: lines joined, then scanned.
Found Links(const std::u16string& document, LinkLevel level, NameRule rule, long long base = 0) {
    std::u16string work = JoinLines(document, [](std::size_t) {});
    RemoveLineBreaks(work);
    Recorder sink;
    ScanLinks(work, {level, rule, base}, sink);
    return sink.links;
}

struct Case {
    const char16_t* document;
    Found links;
};

void Expect(LinkLevel level, NameRule rule, std::initializer_list<Case> cases) {
    for (const Case& c : cases)
        EXPECT_EQ(Links(c.document, level, rule), c.links) << ToUtf8(c.document);
}

} // namespace

// Level "A href", tags removed from names. Keys sit at the start of the text and of a vector block
// (seven characters before "<a href") as well as in the plain loop at the end.
TEST(LinkScan, AnchorsAndTheirAddressEnds) {
    Expect(LinkLevel::AHref, NameRule::StripTags,
           {
               {u"a href=\"http://x/0\">zero</a>", {"http://x/0|zero|0"}},
               {u"1234567<A HREF=\"HTTP://X/UP\" target=_top>UP</A>", {"HTTP://X/UP|UP|0"}},
               // Unquoted, the address runs to the first ">": a following attribute is part of it.
               {u"<a href=http://x/2 target=t>Two</a>", {"http://x/2 target=t|Two|0"}},
               // Without a double quote the first apostrophe before a ">" ends it, wherever it lies.
               {u"<a href='http://x/it's'>It</a>", {"http://x/it's|It|0"}},
               {u"<a href=http://x/7>it'></a>", {"http://x/7>it|it'>|0"}},
               // A double quote after the ">" lets the ">" end the address.
               {u"<a href=http://x/6>don't 'quote'> \"q\"</a>", {"http://x/6|don't 'quote'> \"q\"|0"}},
               // No "http:" in the segment: no link; "https:" counts; so does a relative link's text.
               {u"<a href=\"rel.htm\">R</a><a href=\"https://x/s\">S</a>", {"https://x/s|S|0"}},
               {u"<a href=\"/rel\">http://x/8</a>", {"http://x/8|(名称無し 0)|0"}},
               // Keys inside a segment are passed over; the name stops at the closing "</a>".
               {u"<a href=\"http://x/9\"><a href=\"http://x/10\">Ten</a>", {"http://x/9|Ten|0"}},
               // Almost the key: other attributes first, two spaces, another letter.
               {u"<a class=c href=\"http://x/\">c</a><a  href=\"http://x/\">s</a><a hrxf=\"http://x/\">x</a>",
                {}},
               // Lines join with one space (any line end, the lines trimmed), so the key spans them.
               {u"<a\r\nhref=\"http://x/crlf\">A</a>\r<a\n   href=\"http://x/lf\">B\r\nC</a>",
                {"http://x/crlf|A|0", "http://x/lf|B C|1"}},
               // References: decoded after the cut, a decoded line break dropped from an address and a
               // space in a name, both trimmed again.
               {u"<a href=\"http://x/?a=1&amp;b=2&#10;\">&lt;b&gt; &#10;x&#32;</a>"
                u"<a href=\"http://x/&#32;\">&#32;</a>",
                {"http://x/?a=1&b=2|<b>  x|0", "http://x/|(名称無し 1)|1"}},
               {u"<a href=\"http://x/1\">One", {}}, // no "</a>": the scan ends
           });
}

TEST(LinkScan, NamesByTheTwoRules) {
    const std::u16string page = u"<a href=\"http://x/b\"> <b>Bold</b> text </a>"
                                u"<a href=\"http://x/i\"><img src=\"i.gif\" ALT=\"Pic\"></a>"
                                u"<a href=\"http://x/j\"><img alt=Pic2 title=\"t\"></a>"
                                u"<a href=\"http://x/k\">alt=x</a>"
                                u"<a href=\"http://x/u\">a<b>b < c</a>";
    EXPECT_EQ(Links(page, LinkLevel::AHref, NameRule::StripTags),
              (Found{"http://x/b|Boldtext|0", "http://x/i|(名称無し 1)|1", "http://x/j|(名称無し 2)|2",
                     "http://x/k|alt=x|3", "http://x/u|ab < c|4"}));
    EXPECT_EQ(Links(page, LinkLevel::AHref, NameRule::AltText, 5),
              (Found{"http://x/b|<b>Bold</b> text|0", "http://x/i|Pic|1", "http://x/j|Pic2 title=|2",
                     "http://x/k|alt=x|3", "http://x/u|a<b>b < c|4"}));
}

// Level "http": every address, in an anchor or not, up to the next "</a>".
TEST(LinkScan, EveryHttpAddress) {
    Expect(LinkLevel::Http, NameRule::StripTags,
           {
               {u"see http://x/p plain</a> <img src=\"HTTPS://x/i.gif\"> <a href=\"http://x/a\">A</a> "
                u"caption</a>",
                {"http://x/p plain|(名称無し 0)|0", "HTTPS://x/i.gif|A|1"}},
               {u"httpx http:/x http://x/q\">Q</a>", {"http:/x http://x/q|Q|0"}},
               {u"<a href=\"http://x/\">x</a> http://x/tail", {"http://x/|x|0"}},
           });
}
