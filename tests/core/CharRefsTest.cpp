#include "core/CharRefs.h"
#include "core/Text.h"

#include <gtest/gtest.h>

using namespace orvane;

TEST(CharRefs, NumericAndNamedReferencesAtTheirEdges) {
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"&#60;&#x3C;&#X3c;&#0060;", u"<<<<"},
        {u"&#0;&#x0;", u"\uFFFD\uFFFD"},
        {u"&#xD800;&#xDFFF;&#55296;", u"\uFFFD\uFFFD\uFFFD"},
        {u"&#xD7FF;&#xE000;", u"\uD7FF\uE000"},
        {u"&#x10FFFF;&#x110000;&#99999999999999999999;", u"\U0010FFFF\uFFFD\uFFFD"},
        {u"&#x1F600;", u"\U0001F600"},
        // C1 values are read as windows-1252; the five it leaves undefined stay themselves.
        {u"&#128;&#x80;&#x9F;&#133;&#x81;&#x8D;", u"\u20AC\u20AC\u0178\u2026\u0081\u008D"},
        {u"&#x7F;&#xA0;&#x1;", u"\u007F\u00A0\u0001"},
        // Not references: no ";", no digit, a digit of the wrong base, a space inside.
        {u"&#60 &#x3C &#; &#x; &#xG; &#6a; &# 60;", u"&#60 &#x3C &#; &#x; &#xG; &#6a; &# 60;"},
        {u"&&#60;&#&#60;", u"&<&#<"},
        // Named references from the whole table.
        {u"a=1&amp;b=2", u"a=1&b=2"},
        {u"&lt;any&gt; &quot;q&quot; &apos;", u"<any> \"q\" '"},
        {u"&AMP;&nbsp;&copy;&hellip;&CounterClockwiseContourIntegral;", u"&\u00A0\u00A9\u2026\u2233"},
        {u"&NotEqualTilde;&fjlig;&Afr;", u"\u2242\u0338fj\U0001D504"},
        // Names are case-sensitive; unknown names, names without ";" and the legacy forms stay.
        {u"&Amp; &amp &copy &notin; &notit; &ampx; &;", u"&Amp; &amp &copy \u2209 &notit; &ampx; &;"},
        {u"&amp;amp; &amp;lt;", u"&amp; &lt;"}, // decoded once, not again
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(DecodeCharRefs(in), out) << ToUtf8(in);
}

TEST(CharRefs, EveryNameIsFound) {
    // Every entry is found through the search, first and last included (the table itself is checked
    // against the standard's by core.charRefTableIsGenerated).
    for (std::size_t i = 0; i < kNamedCharRefCount; ++i) {
        const std::u16string name = FromUtf8(kNamedCharRefs[i].name);
        ASSERT_EQ(FindNamedCharRef(name), &kNamedCharRefs[i]) << kNamedCharRefs[i].name;
        EXPECT_EQ(FindNamedCharRef(name + u"x"), nullptr);
    }
    EXPECT_EQ(FindNamedCharRef(u""), nullptr);
    EXPECT_EQ(FindNamedCharRef(std::u16string(200, u'a')), nullptr);
}

TEST(CharRefs, DecodedLineBreaksInNamesAndAddresses) {
    std::u16string name, url;
    AppendDecodedCharRefs(u"a&#10;b&#13;c&Tab;d&NewLine;e\tf", name, DecodedBreaks::Space);
    EXPECT_EQ(name, u"a b c\td e\tf");
    AppendDecodedCharRefs(u"http://x/&#10;a&#x0D;b&#9;c\td", url, DecodedBreaks::Drop);
    EXPECT_EQ(url, u"http://x/abc\td"); // a tab written as it is stays: only references are decoded
    EXPECT_EQ(DecodeCharRefs(u"&#10;&#13;"), u"\n\r");
}
