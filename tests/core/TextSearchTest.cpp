// The vector searches against a plain loop: every length up to a few blocks, every start and place.

#include "core/Text.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

std::size_t Plain(std::u16string_view hay, char16_t a, char16_t b, std::size_t from) {
    for (std::size_t i = from; i < hay.size(); ++i)
        if (hay[i] == a || hay[i] == b)
            return i;
    return npos;
}

} // namespace

TEST(TextSearchTest, FindCharAndFindEitherCharAgreeWithAPlainLoop) {
    for (std::size_t length = 0; length <= 80; ++length) {
        for (std::size_t match = 0; match <= length; ++match) {
            // One '\n' at `match` (none when match == length) and one '\r' after it.
            std::u16string text(length, u'x');
            if (match < length)
                text[match] = u'\n';
            if (match + 3 < length)
                text[match + 3] = u'\r';
            for (std::size_t from = 0; from <= length + 1; ++from) {
                ASSERT_EQ(FindChar(text, u'\n', from), Plain(text, u'\n', u'\n', from))
                    << length << ' ' << match << ' ' << from;
                ASSERT_EQ(FindEitherChar(text, u'\r', u'\n', from), Plain(text, u'\r', u'\n', from))
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
