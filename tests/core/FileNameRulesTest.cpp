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
    // The last four stay: the double quote is the keystroke filter's, not the table's.
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"a/b:c", u"a／b：c"},
        {u"<a href>", u"＜a href＞"},
        {u"a||b", u"a｜｜b"},
        {u"|>?<*;,:/\\", u"｜＞？＜＊；、：／￥"},
        {u"HTML", u"HTML"},
        {u"a／b", u"a／b"},
        {u"say \"hi\"", u"say \"hi\""},
        {u"", u""},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(ConvertForbidden(in).converted, out);
        EXPECT_EQ(ConvertForbidden(in).changed, in != out);
    }
}

TEST(FileNameRules, ReservedDeviceNamesMatchWholeNamesInAnyCase) {
    for (std::u16string_view name : kReservedDeviceNames)
        EXPECT_TRUE(IsReservedDeviceName(name));
    for (std::u16string_view name : {u"con", u"Con", u"nul", u"lPt3", u"com4"})
        EXPECT_TRUE(IsReservedDeviceName(name));
    for (std::u16string_view name :
         {u"NUL.url", u"COM10", u"PRN ", u" PRN", u"CON.txt", u"CON1", u"COM5", u"LPT4", u"ＣＯＮ", u""})
        EXPECT_FALSE(IsReservedDeviceName(name));
}

TEST(FileNameRules, Messages) {
    EXPECT_EQ(
        ReservedNameMessage(u"con"),
        (MessageText{
            u"出力ﾌｧｲﾙ名[con]は、予約ﾃﾞﾊﾞｲｽ名です。\r\nこのﾌｧｲﾙ名は全角文字（２ﾊﾞｲﾄ文字）に変換されます。",
            u"ﾌｧｲﾙ名変更確認", MessageIcon::Information}));
    EXPECT_EQ(FileNameRefusalMessage(),
              (MessageText{u"ファイル名には次の文字は使えません。\r\n\\ / : , ; * ? < > | \"",
                           u"ﾌｧｲﾙ名禁則文字情報", MessageIcon::Exclamation}));
    EXPECT_EQ(BlankFileNameMessage(),
              (MessageText{u"ﾌｧｲﾙ名を正しく入力して下さい。", u"ﾌｧｲﾙ名入力確認", MessageIcon::Exclamation}));
    EXPECT_EQ(DirectoryNameRefusalMessage(),
              (MessageText{u"ディレクトリ名には次の文字は使えません。\r\n\\ / : , ; * ? < > | \"",
                           u"ディレクトリ名禁則文字情報", MessageIcon::Exclamation}));
}

TEST(FileNameRules, KeystrokeFilterRefusesTheTenAndTheDoubleQuote) {
    std::u16string refused;
    for (char16_t c = 0; c < 0x3000; ++c)
        if (IsRefusedKeystroke(c))
            refused += c;
    EXPECT_EQ(refused, u"\"*,/:;<>?\\|");
}
