#include "core/TagScan.h"
#include "core/NestingDepth.h"

#include "FakeHost.h"

using namespace orvane;
using orvane::test::Lines; // "url|name" of each link
using orvane::test::Repeat;

namespace {

struct Collect : ScanSink {
    Lines links;
    int keys = 0;
    void Link(std::u16string_view url, std::u16string_view name, std::int16_t) override {
        links.push_back(ToUtf8(url) + "|" + ToUtf8(name));
    }
    void KeyDone(int) override { ++keys; }
};

Lines Scan(std::string_view html, NameRule rule = NameRule::StripTags,
           std::string address = "http://example.org/dir/page.html", int* keys = nullptr) {
    Collect sink;
    const ScanResult result = ScanTags(html, {.nameRule = rule, .documentAddress = std::move(address)}, sink);
    EXPECT_EQ(result.end, ScanEnd::NoMoreKeys);
    EXPECT_EQ(result.links, static_cast<int>(sink.links.size()));
    if (keys)
        *keys = sink.keys;
    return sink.links;
}

// Whole outputs, in document order: addresses resolved against the page, names by the rule.
TEST(TagScanTest, LinksAndNames) {
    struct Case {
        std::string_view html;
        Lines links;
        NameRule rule = NameRule::StripTags;
        std::string address = "http://example.org/dir/page.html";
    };
    const std::string d = "http://example.org/dir/";
    const char* const fragments =
        "<a href=\"x\">1</a><a href=\"#f\">2</a><a href=\"\">3</a><a href=\"page.html#f\">4</a>";
    const Case cases[] = {
        // Any attribute order and quoting, line ends inside the tag; an anchor without href is none.
        {"<p><a class=\"ulink\" href=\"http://x/1\">One</a><A TARGET=_top HREF='http://x/2'>Two</A>"
         "<a href=http://x/3 title=t>Three</a><a\nid=n\r\nhref\n=\n\"http://x/4?a=1&amp;b=2\"\n>Four</a>"
         "<a name=anchor>no href</a><a href=\"  http://x/5\t\n \">Five</a></p>",
         {"http://x/1|One", "http://x/2|Two", "http://x/3|Three", "http://x/4?a=1&b=2|Four",
          "http://x/5|Five"}},
        // An area has no content: its name is the placeholder.
        {"<a href=\"a1\">A</a><map><area shape=rect href=\"m1\" alt=\"Map\">"
         "<area nohref alt=none></map><a href=\"a2\">B</a>",
         {d + "a1|A", d + "m1|(名称無し 1)", d + "a2|B"}},
        {"<a href=a><b>Bold</b> text\n  across\tlines </a><a href=b>&lt;any&gt; &amp; &#x65E5;&#26412;</a>"
         "<a href=c><img src=i.gif alt=\"Picture\"></a>"
         "<a href=d>  <script>var x = 1;</script>Run<style>p{}</style></a><a href=e>A<!-- note -->B</a>",
         {d + "a|Bold text across lines", d + "b|<any> & 日本", d + "c|(名称無し 2)", d + "d|Run",
          d + "e|AB"}},
        // The "alt=" value, or the markup as written (a line end is one space).
        {"<a href=a><img src=i.gif ALT=' Picture &amp; more '> caption</a><a href=b> <b>Bold</b>\r\n &amp; "
         "text </a><a href=c><img src=i.gif alt=\"\"><img src=j.gif></a><a href=d></a>"
         "<p><a href=e>unclosed <i>to the end</p>",
         {d + "a|Picture & more", d + "b|<b>Bold</b>  &amp; text",
          d + "c|<img src=i.gif alt=\"\"><img src=j.gif>", d + "d|(名称無し 3)",
          d + "e|unclosed <i>to the end"},
         NameRule::AltText},
        // An anchor inside an anchor closes the first; formatting that spans both is reopened; inside a
        // template nothing is a link of the page.
        {"<a href=1>One<a href=2>Two</a>", {d + "1|One", d + "2|Two"}},
        {"<b><a href=1>x</b>y</a>", {d + "1|x", d + "1|y"}},
        {"<template><a href=t>t</a></template>", {}},
        // A fragment of this very document is no link, whichever way it is written; the document's own
        // address is one.
        {fragments, {d + "x|1", d + "page.html|3"}},
        {fragments,
         {"file:///srv/doc/html/x|1", "file:///srv/doc/html/index.htm|3",
          "file:///srv/doc/html/page.html#f|4"},
         NameRule::StripTags,
         FileUrlFromPath("/srv/doc/html/index.htm")},
        // The first base with an href counts, wherever it stands; a relative one resolves against the
        // page, and then a fragment belongs to the base's document, not to this one.
        {"<a href=\"x\">1</a><a href=\"#top\">2</a>"
         "<base target=_self><base href=\"../other/\"><base href=\"http://ignored/\">",
         {"http://example.org/other/x|1", "http://example.org/other/#top|2"}},
        {"<head><base href=\"https://cdn.example/a/b\"></head><a href=\"/r\">r</a>",
         {"https://cdn.example/r|r"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Scan(c.html, c.rule, c.address), c.links) << c.html;
}

// Skipped links are still keys: the pump runs for each.
TEST(TagScanTest, SkippedSchemesAndFragmentsKeptOthers) {
    int keys = 0;
    EXPECT_EQ(
        Scan("<a href=\"javascript:go()\">1</a><a href=\" JavaScript:go()\">2</a><a href=\"data:,x\">3</a>"
             "<a href=\"#f\">4</a><a href=\"mailto:u@example.org\">5</a><a href=\"ftp://f/x\">6</a>"
             "<a href=\"news:comp.lang\">7</a><a href=\"tel:+81\">8</a>",
             NameRule::StripTags, "HTTP://example.org/dir/page.html#here", &keys),
        (Lines{"mailto:u@example.org|5", "ftp://f/x|6", "news:comp.lang|7", "tel:+81|8"}));
    EXPECT_EQ(keys, 8);
}

// What real pages write without closing, and what the parser closes for them, does not count as depth.
TEST(NestingDepthTest, RealStructuresStayShallow) {
    const int n = 3000;
    const std::string shallow[] = {
        "<body>" + Repeat("<p>para <font color=red>red <a name=x>anchor\n", n),
        "<ul>" + Repeat("<li><b>item</b>", n) + "</ul><dl>" + Repeat("<dt>t<dd>d", n),
        "<table>" + Repeat("<tr><td><font size=2>cell<td><span>cell", n) + "</table>",
        "<select>" + Repeat("<option>o", n) + "</select>" + Repeat("<form><div>f</div>", n),
        "<svg>" + Repeat("<path d=\"M0 0\"/><g/>", n) + "</svg>" + Repeat("<h1><h2>", n),
        "<script>" + Repeat("s += '<div>';", n) + "</SCRIPT ><!--" + Repeat("<div>", n) + "-->" +
            Repeat("<div title='a>b'></div><br/><img src=x>", n),
        Repeat("<div><span>x</div>", n) + Repeat("<a href=1><b>x</a>", n),
        Repeat("<div>", 512),
        "<plaintext>" + Repeat("<div>", n),
    };
    for (const std::string& page : shallow)
        EXPECT_FALSE(NestsDeeperThan(page)) << page.substr(0, 60);

    // Not self-closing in HTML, and foreign elements nest as well.
    for (const std::string& page : {Repeat("<div>", 513), Repeat("<div/>", 513), Repeat("<span><i>", 257),
                                    "<svg>" + Repeat("<g>", 513)})
        EXPECT_TRUE(NestsDeeperThan(page)) << page.substr(0, 60);
}

} // namespace
