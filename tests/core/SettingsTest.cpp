#include "core/Settings.h"

#include "FakeHost.h"

using namespace orvane;
using orvane::test::Slurp;

namespace {

const orvane::test::Utf8Codec kCodec;
const std::u16string kAppDir = u"/opt/orvane/";

SettingsValues Read(const std::string& section) {
    return ReadSettings("[Orvane]\r\n" + section, kAppDir, kCodec,
                        [](const std::u16string&) { return false; });
}

class SettingsGlobals : public ::testing::Test {
protected:
    void SetUp() override { ResetGlobals(); }
    void TearDown() override { ResetGlobals(); }
    orvane::test::ScratchDir dir_;
    const std::filesystem::path ini_ = dir_.Path() / "Orvane.ini";
};

} // namespace

TEST_F(SettingsGlobals, FirstStartFileHoldsTheFourteenLinesInKeyOrder) {
    ASSERT_TRUE(WriteSettings(ini_, FirstStartState(kAppDir, 7755, 6405), kCodec));
    EXPECT_EQ(Slurp(ini_), "[Orvane]\r\nDefaultInDir=/opt/orvane/\r\nDefaultOutDir=/opt/orvane/\r\n"
                           "Top=100\r\nLeft=100\r\nWidth=7755\r\nHeight=6405\r\nDEBUG_STS=True\r\n"
                           "LINK_AB=0\r\nNAME_AB=0\r\nLIST_MAKE=0\r\nFILE_OVER_SAVE=True\r\nLIST_CLK=0\r\n"
                           "ProxyServerUse=False\r\nProxyServerAddress=\r\n");
}

TEST_F(SettingsGlobals, MissingOrEmptyBooleansLeaveTheVariableAsItWas) {
    // A file without DEBUG_STS starts with the status line off, although a new file turns it on.
    ApplySettings(Read("LINK_AB=1\r\nFILE_OVER_SAVE=\r\n"));
    EXPECT_FALSE(gShowStatus);
    EXPECT_FALSE(gConfirmOverwrite);
    EXPECT_EQ(gLinkLevel, 1);
}

// Hand-edited values: numbers are read without the locale, halves go to the even neighbour, and
// whatever is out of range or unreadable falls back to that key's first-start value.
TEST(SettingsRead, HandEditedValuesParseOrFallBack) {
    EXPECT_EQ(ParseSettingBoolean(u"-1"), true);
    EXPECT_EQ(ParseSettingBoolean(u"1abc"), std::nullopt);
    EXPECT_EQ(ParseSettingWholeNumber(u"12abc"), 12);
    EXPECT_EQ(ParseSettingWholeNumber(u"2.5"), 2);
    EXPECT_EQ(ParseSettingWholeNumber(u"3.5"), 4);
    EXPECT_EQ(ParseSettingWholeNumber(u"32767.5"), std::nullopt);

    const SettingsValues v = Read("LIST_MAKE=40000\r\nDEBUG_STS=yes\r\nProxyServerUse=on\r\n");
    EXPECT_EQ(v.listType.state, ValueState::Invalid);
    EXPECT_TRUE(v.showStatus.value);
    EXPECT_FALSE(v.proxyUse.value);
}
