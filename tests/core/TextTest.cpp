// The vector paths of the text helpers against the standard library's searches: every length up to a
// few blocks.

#include "core/Text.h"

#include <gtest/gtest.h>

using namespace orvane;

TEST(TextSearchTest, FindCharAndFindEitherCharAgreeWithTheStandardSearches) {
    for (std::size_t length = 0; length <= 80; ++length) {
        for (std::size_t match = 0; match <= length; ++match) {
            // One '\n' at `match` (none when match == length) and one '\r' after it.
            std::u16string text(length, u'x');
            if (match < length)
                text[match] = u'\n';
            if (match + 3 < length)
                text[match + 3] = u'\r';
            for (std::size_t from = 0; from <= length + 1; ++from) {
                ASSERT_EQ(FindChar(text, u'\n', from), text.find(u'\n', from))
                    << length << ' ' << match << ' ' << from;
                ASSERT_EQ(FindEitherChar(text, u'\r', u'\n', from), text.find_first_of(u"\r\n", from))
                    << length << ' ' << match << ' ' << from;
            }
        }
    }
}

// A unit that differs from the one sought only in its high byte is no match.
TEST(TextSearchTest, WholeUnitsAreCompared) {
    std::u16string text(100, u'\u0a0a');
    text[77] = u'\n';
    EXPECT_EQ(FindChar(text, u'\n'), 77u);
    EXPECT_EQ(FindEitherChar(text, u'\r', u'\n', 78), npos);
}

// ASCII is widened sixteen bytes at a time: runs ending on, before and after a block's end.
TEST(Utf8Test, AsciiRunsOfEveryLengthAroundMultibyteCharacters) {
    for (std::size_t length = 0; length <= 50; ++length) {
        const std::string ascii(length, 'a');
        const std::u16string wide(length, u'a');
        ASSERT_EQ(FromUtf8(ascii), wide) << length;
        ASSERT_EQ(FromUtf8(ascii + "\xE6\x97\xA5" + ascii + "\xF0\x9F\x98\x80"),
                  wide + u"日" + wide + u"\U0001F600")
            << length;
        ASSERT_EQ(ToUtf8(wide + u"日" + wide), ascii + "\xE6\x97\xA5" + ascii) << length;
    }
}

// Each broken sequence gives one replacement for its start; the byte that broke it is read afresh.
TEST(Utf8Test, BrokenSequences) {
    const std::pair<std::string_view, std::u16string_view> broken[] = {
        {"\xc0\xaf", u"\uFFFD\uFFFD"},                     // overlong
        {"\xed\xa0\x80", u"\uFFFD\uFFFD\uFFFD"},           // a surrogate
        {"\xf4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // past U+10FFFF
        {"\xe6\x97<", u"\uFFFD<"},                         // cut short: the "<" survives
        {"\x80\xbf\xfe", u"\uFFFD\uFFFD\uFFFD"},
        {"\xc2\xbf\xdf\xbf\xef\xbf\xbf", u"\u00BF\u07FF\uFFFF"}, // not broken: the highest second bytes
    };
    for (const auto& [bytes, text] : broken)
        EXPECT_EQ(FromUtf8(bytes), text);
}

// A surrogate without its partner is no character: it is written as U+FFFD's bytes.
TEST(Utf8Test, LoneSurrogatesAreWrittenAsTheReplacementCharacter) {
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00, u'c', 0xDC00, 0xD800, 0xDBFF};
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(ToUtf8(std::u16string_view(lone, std::size(lone))),
              "a" + fffd + "b" + fffd + "c" + fffd + fffd + fffd);
    EXPECT_EQ(ToUtf8(u"\U0001F600\u00E9\u07FF\u0800"), "\xF0\x9F\x98\x80\xC3\xA9\xDF\xBF\xE0\xA0\x80");
}
