#include "core/FileNameRules.h"

#include <gtest/gtest.h>

using namespace orvane;

TEST(FileNameRules, ForbiddenTableHoldsTheExactCounterparts) {
    const std::u16string_view chars = u"\\/:,;*?<>|";
    const std::u16string_view counterparts = u"\uFFE5\uFF0F\uFF1A\u3001\uFF1B\uFF0A\uFF1F\uFF1C\uFF1E\uFF5C";
    ASSERT_EQ(kForbiddenChars.size(), chars.size());
    for (std::size_t i = 0; i < kForbiddenChars.size(); ++i) {
        EXPECT_EQ(kForbiddenChars[i].ch, chars[i]) << i;
        EXPECT_EQ(kForbiddenChars[i].fullWidth, counterparts[i]) << i;
        EXPECT_TRUE(HoldsForbiddenChar(std::u16string(u"x") + chars[i], i));
        EXPECT_FALSE(HoldsForbiddenChar(counterparts, i));
    }
}

TEST(FileNameRules, ConvertForbidden) {
    // The last two stay: the double quote is the keystroke filter's, not the table's.
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"a||b", u"a｜｜b"},
        {u"|>?<*;,:/\\", u"｜＞？＜＊；、：／￥"},
        {u"a／b", u"a／b"},
        {u"say \"hi\"", u"say \"hi\""},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(ConvertForbidden(in).converted, out);
        EXPECT_EQ(ConvertForbidden(in).changed, in != out);
    }
}

TEST(FileNameRules, ReservedDeviceNamesMatchWholeNamesInAnyCase) {
    for (std::u16string_view name : kReservedDeviceNames)
        EXPECT_TRUE(IsReservedDeviceName(name));
    for (std::u16string_view name : {u"Con", u"lPt3"})
        EXPECT_TRUE(IsReservedDeviceName(name));
    for (std::u16string_view name : {u"NUL.url", u"COM10", u"PRN ", u"CON1", u"COM5", u"LPT4", u"ＣＯＮ"})
        EXPECT_FALSE(IsReservedDeviceName(name));
}
