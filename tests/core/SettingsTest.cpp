#include "core/Settings.h"

#include "core/Globals.h"
#include "core/Text.h"

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace orvane;
using orvane::test::ScratchDir;
using orvane::test::Slurp;

namespace {

const orvane::test::Utf8Codec kCodec;
const std::u16string kAppDir = u"/opt/orvane/";

// Folders that "exist" for a test, without touching the disk.
FolderExistsFn Folders(std::set<std::u16string> existing) {
    return [existing = std::move(existing)](const std::u16string& p) {
        return existing.count(p) != 0;
    };
}

SettingsValues Read(const std::string& section, const FolderExistsFn& folders = Folders({})) {
    return ReadSettings("[Orvane]\r\n" + section, kAppDir, kCodec, folders);
}

class SettingsGlobals : public ::testing::Test {
protected:
    void SetUp() override { ResetGlobals(); }
    void TearDown() override { ResetGlobals(); }
    ScratchDir dir_;
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

TEST(SettingsRead, NumbersAndBooleans) {
    const std::pair<std::u16string_view, std::optional<bool>> booleans[] = {
        {u"true", true}, {u"-1", true}, {u"0.0", false}, {u" 2.5 ", true}, {u"1abc", {}}, {u"Truex", {}},
    };
    for (const auto& [text, value] : booleans)
        EXPECT_EQ(ParseSettingBoolean(text), value) << ToUtf8(text);

    // Leading digits count, halves go to the even neighbour, the result must fit 16 bits ({}: unusable).
    const std::pair<std::u16string_view, std::optional<int>> numbers[] = {
        {u"abc", 0}, {u"12abc", 12},        {u"2.5", 2},      {u"3.5", 4},    {u".5e1", 5},
        {u"1e", 1},  {u"-32768.5", -32768}, {u"32767.5", {}}, {u"1e999", {}},
    };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(ParseSettingWholeNumber(text), value) << ToUtf8(text);

    // Out of range or unreadable: the first-start value, which differs by key.
    const SettingsValues v = Read("LIST_MAKE=40000\r\nDEBUG_STS=yes\r\nProxyServerUse=on\r\n");
    EXPECT_EQ(v.listType.state, ValueState::Invalid);
    EXPECT_TRUE(v.showStatus.value);
    EXPECT_FALSE(v.proxyUse.value);
}

TEST_F(SettingsGlobals, MissingOrEmptyBooleansLeaveTheVariableAsItWas) {
    // A file without DEBUG_STS starts with the status line off, although a new file turns it on.
    ApplySettings(Read("LINK_AB=1\r\nFILE_OVER_SAVE=\r\n"));
    EXPECT_FALSE(gShowStatus);
    EXPECT_FALSE(gConfirmOverwrite);
    EXPECT_EQ(gLinkLevel, 1);
}
