#include "core/FileNameRules.h"
#include "core/Text.h"

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
    // The check asks also for a name with nothing usable left, and suggests the safe conversion.
    std::u16string converted;
    EXPECT_FALSE(CheckFileName(u"a／b", converted));
    EXPECT_TRUE(CheckFileName(u"\u0001", converted));
    EXPECT_EQ(converted, u"");
    EXPECT_TRUE(CheckFileName(u".a\u202E|b", converted));
    EXPECT_EQ(converted, u"．a｜b");
}

TEST(FileNameRules, ReservedDeviceNamesMatchWholeNamesInAnyCase) {
    for (std::u16string_view name : kReservedDeviceNames)
        EXPECT_TRUE(IsReservedDeviceName(name));
    for (std::u16string_view name : {u"Con", u"lPt3"})
        EXPECT_TRUE(IsReservedDeviceName(name));
    for (std::u16string_view name : {u"NUL.url", u"COM10", u"PRN ", u"CON1", u"COM5", u"LPT4", u"ＣＯＮ"})
        EXPECT_FALSE(IsReservedDeviceName(name));
}

TEST(FileNameRules, UnsafeCharactersGoAndALeadingDotNoLongerHidesTheFile) {
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"a\u0001b\tc\u007F", u"abc"},
        {u"evil\u202Egnp.exe", u"evilgnp.exe"}, // a right-to-left override would disguise it
        {u"\u2066x\u2069\u202A\u202B\u202C\u202D", u"x"},
        {u".", u"．"}, // once "..url", a hidden file
        {u"..profile", u"．.profile"},
        {u"\u0001.bashrc", u"．bashrc"}, // the dot leads once the control is gone
        {u"a.b", u"a.b"},
        {u"\u200F\u061C名前", u"\u200F\u061C名前"}, // marks, not controls of the list, stay
        {u"\r\n\u0000\u202E", u""},                 // nothing left: the user is asked
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(RemoveUnsafeNameChars(std::u16string(in)), out);
    EXPECT_EQ(RemoveUnsafeNameChars(std::u16string(u"a\0b", 3)), u"ab");

    // In the rename window an empty conversion cannot be taken as it stands, nor can a typed name of
    // controls only.
    std::u16string name = u"kept";
    MessageText refusal;
    EXPECT_FALSE(AcceptRenamedName(false, u"", u"", name, refusal));
    EXPECT_EQ(refusal, BlankFileNameMessage());
    EXPECT_FALSE(AcceptRenamedName(true, u"\u202E\u0007", u"", name, refusal));
    EXPECT_EQ(name, u"kept");
    EXPECT_TRUE(AcceptRenamedName(true, u"typed", u"", name, refusal));
    EXPECT_EQ(name, u"typed");
}

TEST(FileNameRules, LongNamesAreShortenedAtACharacterBoundaryToFitWithTheirSuffix) {
    const auto utf8 = [](std::u16string_view n) {
        return ToUtf8(n).size();
    };
    // 83 kanji (249 bytes) + ".url" = 253: fits as it is.
    const std::u16string fits(83, u'漢');
    EXPECT_EQ(FitFileName(fits, u".url", 255, utf8), fits);
    // 100 kanji: 83 fit with ".url"; the cut never splits a character.
    EXPECT_EQ(FitFileName(std::u16string(100, u'漢'), u".url", 255, utf8), fits);
    // 2 + 63 pairs (4 bytes each) = 254 bytes; with ".url" only 62 pairs fit, and the cut is between
    // pairs, never inside one.
    std::u16string pairs = u"ab";
    for (int i = 0; i < 63; ++i)
        pairs += u"\U0001F600";
    const std::u16string cut = FitFileName(pairs, u".url", 255, utf8);
    EXPECT_EQ(cut, pairs.substr(0, 2 + 62 * 2));
    EXPECT_LE(utf8(cut + u".url"), 255u);
    EXPECT_EQ(FitFileName(u"short", u".url", 255, utf8), u"short");
}
