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
        const ConvertedName one = ConvertForbidden(std::u16string(1, chars[i]));
        EXPECT_TRUE(one.changed);
        EXPECT_EQ(one.converted, std::u16string(1, counterparts[i]));
        EXPECT_TRUE(HoldsForbiddenChar(std::u16string(u"x") + chars[i], i));
        EXPECT_FALSE(HoldsForbiddenChar(counterparts, i));
    }
}

TEST(FileNameRules, ConvertForbidden) {
    struct Case {
        std::u16string_view in, out;
        bool changed;
    };
    const Case cases[] = {
        {u"a/b:c", u"a／b：c", true},
        {u"x,y", u"x、y", true},
        {u"HTML", u"HTML", false},
        {u"<a href>", u"＜a href＞", true},
        {u"C:\\temp", u"C：￥temp", true},
        {u"a||b", u"a｜｜b", true},
        {u"|>?<*;,:/\\", u"｜＞？＜＊；、：／￥", true},
        {u"a／b", u"a／b", false},
        {u"say \"hi\"", u"say \"hi\"", false}, // the double quote is the filter's, not the table's
        {u"", u"", false},
    };
    for (const Case& c : cases) {
        const ConvertedName r = ConvertForbidden(c.in);
        EXPECT_EQ(r.converted, c.out);
        EXPECT_EQ(r.changed, c.changed);
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

TEST(FileNameRules, ToFullWidthCoversPrintableAsciiOnly) {
    EXPECT_EQ(ToFullWidth(u"CON"), u"ＣＯＮ");
    EXPECT_EQ(ToFullWidth(u"com1"), u"ｃｏｍ１");
    EXPECT_EQ(ToFullWidth(u"nul"), u"ｎｕｌ");
    EXPECT_EQ(ToFullWidth(u"!~"), u"\uFF01\uFF5E");
    EXPECT_EQ(ToFullWidth(u"a b\u007F\u3042"), u"ａ ｂ\u007F\u3042");
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
    EXPECT_EQ(DirectoryNameRefusalMessage(),
              (MessageText{u"ディレクトリ名には次の文字は使えません。\r\n\\ / : , ; * ? < > | \"",
                           u"ディレクトリ名禁則文字情報", MessageIcon::Exclamation}));
}

TEST(FileNameRules, KeystrokeFilterRefusesTheTenAndTheDoubleQuote) {
    int refused = 0;
    for (char16_t c = 0; c < 0x80; ++c)
        refused += IsRefusedKeystroke(c) ? 1 : 0;
    EXPECT_EQ(refused, 11);
    EXPECT_TRUE(IsRefusedKeystroke(u'"'));
    EXPECT_TRUE(IsRefusedKeystroke(u'|'));
    EXPECT_FALSE(IsRefusedKeystroke(u'\''));
    EXPECT_FALSE(IsRefusedKeystroke(u'／'));
}

TEST(FileNameRules, RenameOkChecksTheTypedNameOnly) {
    std::u16string name;
    MessageText refusal;
    EXPECT_TRUE(AcceptRenamedName(false, u"typed?", u"a／b \"q\"", name, refusal));
    EXPECT_EQ(name, u"a／b \"q\"");

    EXPECT_TRUE(AcceptRenamedName(true, u"  my name  ", u"conv", name, refusal));
    EXPECT_EQ(name, u"  my name  ");

    name = u"unchanged";
    EXPECT_FALSE(AcceptRenamedName(true, u"   ", u"conv", name, refusal));
    EXPECT_EQ(refusal, BlankFileNameMessage());
    EXPECT_FALSE(AcceptRenamedName(true, u"pasted\"name", u"conv", name, refusal));
    EXPECT_EQ(refusal, FileNameRefusalMessage());
    EXPECT_FALSE(AcceptRenamedName(true, u"a/b", u"conv", name, refusal));
    EXPECT_EQ(name, u"unchanged");
}
