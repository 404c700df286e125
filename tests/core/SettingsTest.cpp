#include "core/Settings.h"

#include "core/Globals.h"
#include "core/Text.h"

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <fstream>
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

TEST_F(SettingsGlobals, ExitRewritesKeyOrderDropsHandAddedKeysAndKeepsOtherSections) {
    std::ofstream(ini_, std::ios::binary) << "[Before]\r\nb=1\r\n"
                                             "[Orvane]\r\nLIST_CLK=1\r\nMyOwnKey=x\r\nTop=5\r\n"
                                             "[After]\r\na=2\r\n";
    gInputDir = u"/home/u/in/";
    gShowStatus = false;
    gLinkLevel = gNameMode = gListType = gDblClickAction = 1;
    gConfirmOverwrite = gProxyUse = true;
    gProxyAddress = u" proxy:8080"; // written as held
    ASSERT_TRUE(WriteSettings(ini_, CurrentSettingsState(u"/home/u/out/", -120, 30, 9000, 7000), kCodec));
    EXPECT_EQ(Slurp(ini_), "[Before]\r\nb=1\r\n"
                           "[Orvane]\r\nDefaultInDir=/home/u/in/\r\nDefaultOutDir=/home/u/out/\r\n"
                           "Top=-120\r\nLeft=30\r\nWidth=9000\r\nHeight=7000\r\nDEBUG_STS=False\r\n"
                           "LINK_AB=1\r\nNAME_AB=1\r\nLIST_MAKE=1\r\nFILE_OVER_SAVE=True\r\nLIST_CLK=1\r\n"
                           "ProxyServerUse=True\r\nProxyServerAddress= proxy:8080\r\n"
                           "[After]\r\na=2\r\n");
}

TEST_F(SettingsGlobals, WrittenStateReadsBackIncludingDoubleByteDirectories) {
    SettingsState s = FirstStartState(kAppDir, 8000, 6000);
    s.inputDir = u"/home/u/データ 入力/";
    s.outputDir = u"/home/u/出力/";
    s.top = 300;
    s.left = -45;
    s.showStatus = false;
    s.linkLevel = 1;
    s.proxyUse = true;
    s.proxyAddress = u"proxy.example:3128";
    ASSERT_TRUE(WriteSettings(ini_, s, kCodec));

    const SettingsValues v = ReadSettingsFile(ini_, kAppDir, kCodec, Folders({s.inputDir, s.outputDir}));
    EXPECT_EQ(v.outputDir.value, s.outputDir);
    EXPECT_TRUE(v.PlacementValid());
    EXPECT_EQ((std::array{v.top.value, v.left.value, v.width.value, v.height.value}),
              (std::array{300, -45, 8000, 6000}));
    ApplySettings(v);
    EXPECT_EQ(gInputDir, s.inputDir);
    EXPECT_FALSE(gShowStatus);
    EXPECT_EQ(gLinkLevel, 1);
    EXPECT_TRUE(gConfirmOverwrite);
    EXPECT_TRUE(gProxyUse);
    EXPECT_EQ(gProxyAddress, s.proxyAddress);
}

TEST(SettingsWrite, APathOrAddressCannotAddALine) {
    SettingsState s = FirstStartState(u"/tmp/a\r\nLINK_AB=1\n/", 1, 1);
    s.proxyAddress = std::u16string(u"p") + u'\0' + u"\rq";
    const std::u16string text = BuildSettingsSectionText(s);
    EXPECT_EQ(std::count(text.begin(), text.end(), u'\n'), 14);
    const SettingsValues v = Read(ToUtf8(text));
    EXPECT_EQ(v.linkLevel.value, 0);
    EXPECT_EQ(v.proxyAddress.value, u"pq");
}

TEST(SettingsRead, Directories) {
    const auto folders = Folders({u"/data/in/"});
    EXPECT_EQ(Read("DefaultInDir=/data/in/\r\n", folders).inputDir.value, u"/data/in/");
    const SettingsValues gone = Read("DefaultInDir=/deleted/\r\nDefaultOutDir=\r\n", folders);
    EXPECT_EQ(gone.inputDir.value, kAppDir);
    EXPECT_EQ(gone.inputDir.state, ValueState::Invalid);
    EXPECT_EQ(gone.outputDir.value, kAppDir);
    EXPECT_EQ(gone.outputDir.state, ValueState::Empty);

    // A path cut by the length limit names another folder, so the program directory is used.
    const std::string longPath = "/" + std::string(5000, 'd');
    EXPECT_EQ(Read("DefaultOutDir=" + longPath + "\r\n", Folders({FromUtf8(longPath)})).outputDir.value,
              kAppDir);
}

TEST(SettingsRead, NumbersAndBooleans) {
    const std::pair<std::u16string_view, std::optional<bool>> booleans[] = {
        {u"true", true},  {u"-1", true}, {u"0", false}, {u"0.0", false}, {u" 2.5 ", true},
        {u"1e999", true}, {u"yes", {}},  {u"1abc", {}}, {u"Truex", {}},
    };
    for (const auto& [text, value] : booleans)
        EXPECT_EQ(ParseSettingBoolean(text), value) << ToUtf8(text);

    // Leading digits count, halves go to the even neighbour, the result must fit 16 bits ({}: unusable).
    const std::pair<std::u16string_view, std::optional<int>> numbers[] = {
        {u" 1 ", 1},           {u"abc", 0},      {u"12abc", 12}, {u"2.5", 2},
        {u"3.5", 4},           {u"-2.5", -2},    {u"0.5", 0},    {u"2.51", 3},
        {u".5e1", 5},          {u"1e", 1},       {u"1e-999", 0}, {u"32767", 32767},
        {u"-32768.5", -32768}, {u"32767.5", {}}, {u"40000", {}}, {u"1e999", {}},
    };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(ParseSettingWholeNumber(text), value) << ToUtf8(text);

    const SettingsValues v = Read("LINK_AB= 1 \r\nNAME_AB=letters\r\nLIST_MAKE=40000\r\nLIST_CLK=2\r\n"
                                  "DEBUG_STS=yes\r\nFILE_OVER_SAVE=?\r\nProxyServerUse=on\r\n");
    EXPECT_EQ(v.linkLevel.value, 1);
    EXPECT_EQ(v.nameMode.value, 0);
    EXPECT_EQ(v.nameMode.state, ValueState::Valid);
    EXPECT_EQ(v.listType.value, 0); // out of range: the first-start value
    EXPECT_EQ(v.listType.state, ValueState::Invalid);
    EXPECT_EQ(v.dblClickAction.value, 2);
    // Unreadable Booleans fall back to the first-start value, which differs by key.
    EXPECT_EQ(v.showStatus.state, ValueState::Invalid);
    EXPECT_TRUE(v.showStatus.value);
    EXPECT_TRUE(v.confirmOverwrite.value);
    EXPECT_FALSE(v.proxyUse.value);
}

TEST_F(SettingsGlobals, MissingOrEmptyBooleansLeaveTheVariableAsItWas) {
    // A file without DEBUG_STS starts with the status line off, although a new file turns it on.
    ApplySettings(Read("LINK_AB=1\r\nFILE_OVER_SAVE=\r\n"));
    EXPECT_FALSE(gShowStatus);
    EXPECT_FALSE(gConfirmOverwrite);
    EXPECT_EQ(gLinkLevel, 1);

    gShowStatus = true;
    ApplySettings(Read(""));
    EXPECT_TRUE(gShowStatus);

    ApplySettings(Read("DEBUG_STS=True\r\nProxyServerUse=-1\r\n"));
    EXPECT_TRUE(gShowStatus);
    EXPECT_TRUE(gProxyUse);
}

TEST(SettingsRead, PlacementIsUsableOnlyWhenAllFourAreNumbers) {
    EXPECT_EQ(ParseSettingCoordinate(u" -150 "), -150);
    EXPECT_EQ(ParseSettingCoordinate(u"100.5"), 100);
    for (std::u16string_view bad : {u"12abc", u"", u"1e20"})
        EXPECT_EQ(ParseSettingCoordinate(bad), std::nullopt);
    EXPECT_TRUE(Read("Top=1\r\nLeft=2\r\nWidth=3\r\nHeight=4\r\n").PlacementValid());
    for (const char* broken : {"Top=1\r\nLeft=2\r\nWidth=3\r\n", "Top=1\r\nLeft=2\r\nWidth=\r\nHeight=4\r\n",
                               "Top=1\r\nLeft=x\r\nWidth=3\r\nHeight=4\r\n"})
        EXPECT_FALSE(Read(broken).PlacementValid()) << broken;
}

TEST_F(SettingsGlobals, ProxyAddressIsTrimmedAndBlankStaysEmpty) {
    EXPECT_EQ(Read("ProxyServerAddress=\"  host:8080  \"\r\n").proxyAddress.value, u"host:8080");
    ApplySettings(Read("ProxyServerAddress=\"   \"\r\n"));
    EXPECT_EQ(gProxyAddress, u"");
}
