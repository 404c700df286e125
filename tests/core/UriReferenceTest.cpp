#include "core/UriReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace orvane;

namespace {

// "reference -> resolved" pairs, separated by ", ", each resolved against `base`.
void ExpectResolved(std::string_view base, std::string_view pairs) {
    while (!pairs.empty()) {
        const std::size_t arrow = pairs.find(" -> "), end = std::min(pairs.find(", "), pairs.size());
        const std::string ref(pairs.substr(0, arrow));
        EXPECT_EQ(ResolveUri(base, ref), pairs.substr(arrow + 4, end - arrow - 4)) << base << " " << ref;
        pairs.remove_prefix(std::min(end + 2, pairs.size()));
    }
}

// The reference resolution examples of RFC 3986 (5.4.1 and 5.4.2) and a few a page really holds: a
// scheme makes a reference stand on its own (strict), and a scheme must start with a letter.
TEST(UriReferenceTest, ResolvesAgainstAPageAddress) {
    ExpectResolved(
        "http://a/b/c/d;p?q",
        "g:h -> g:h, g -> http://a/b/c/g, ./g -> http://a/b/c/g, g/ -> http://a/b/c/g/, "
        "/g -> http://a/g, //g -> http://g, ?y -> http://a/b/c/d;p?y, g?y -> http://a/b/c/g?y, "
        "#s -> http://a/b/c/d;p?q#s, g#s -> http://a/b/c/g#s, ;x -> http://a/b/c/;x, "
        ". -> http://a/b/c/, ./ -> http://a/b/c/, .. -> http://a/b/, ../ -> http://a/b/, "
        "../g -> http://a/b/g, ../.. -> http://a/, ../../g -> http://a/g, ../../../g -> http://a/g, "
        "../../../../g -> http://a/g, /./g -> http://a/g, /../g -> http://a/g, g. -> http://a/b/c/g., "
        ".g -> http://a/b/c/.g, g.. -> http://a/b/c/g.., ..g -> http://a/b/c/..g, "
        "./../g -> http://a/b/g, ./g/. -> http://a/b/c/g/, g/./h -> http://a/b/c/g/h, "
        "g/../h -> http://a/b/c/h, g;x=1/./y -> http://a/b/c/g;x=1/y, g;x=1/../y -> http://a/b/c/y, "
        "g?y/./x -> http://a/b/c/g?y/./x, g#s/../x -> http://a/b/c/g#s/../x, http:g -> http:g, "
        "HTTPS://Host/A/../B -> https://Host/B, //host/x/../y?q#f -> http://host/y?q#f, "
        "日本語/ページ.html -> http://a/b/c/日本語/ページ.html, 1a:b -> http://a/b/c/1a:b");
    EXPECT_EQ(ResolveUri("http://a/b/c/d;p?q", ""), "http://a/b/c/d;p?q");
}

TEST(UriReferenceTest, ResolvesAgainstAFileAndBareHosts) {
    ExpectResolved(
        "file:///usr/share/doc/pkg/html/index.html",
        "/x -> file:///x, x -> file:///usr/share/doc/pkg/html/x, ../x -> file:///usr/share/doc/pkg/x, "
        "//host/x -> file://host/x, ?q -> file:///usr/share/doc/pkg/html/index.html?q, "
        "#f -> file:///usr/share/doc/pkg/html/index.html#f, ../../../../../../x -> file:///x");
    // A host without a path: a relative reference starts at the root.
    EXPECT_EQ(ResolveUri("http://h", "x"), "http://h/x");
    EXPECT_EQ(ResolveUri("http://h?q", "#f"), "http://h?q#f");
    // A base that is no absolute address resolves nothing.
    EXPECT_EQ(ResolveUri("dir/page.htm", "x"), "x");
    EXPECT_EQ(ResolveUri("", "x"), "x");
    // A path beginning "//" is kept apart from an authority, and reads back the same.
    EXPECT_EQ(ResolveUri("x:/b", "/.//a"), "x:/.//a");
    EXPECT_EQ(ResolveUri("y:", "x:/.//a"), "x:/.//a");
}

TEST(UriReferenceTest, SchemesAndFileAddresses) {
    EXPECT_EQ((std::vector<bool>{HasScheme("JavaScript:void(0)", "javascript"), HasScheme("data:,x", "data"),
                                 HasScheme("database.html", "data"), HasScheme("data", "data")}),
              (std::vector<bool>{true, true, false, false}));

    EXPECT_EQ(FileUrlFromPath("/home/u/a b/#1?%.htm"), "file:///home/u/a%20b/%231%3F%25.htm");
    EXPECT_EQ(FileUrlFromPath("/home/u/日本.htm"), "file:///home/u/日本.htm");
    // A path that could not be made absolute still gives a path, never a host.
    EXPECT_EQ(FileUrlFromPath("doc/a.htm"), "file:///doc/a.htm");
    // The encoded address still resolves to its neighbours.
    EXPECT_EQ(ResolveUri(FileUrlFromPath("/d/a b/p.htm"), "q.htm"), "file:///d/a%20b/q.htm");
}

} // namespace
