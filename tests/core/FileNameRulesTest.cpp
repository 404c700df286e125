#include "core/FileNameRules.h"

#include <gtest/gtest.h>

using namespace orvane;

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
