#include "core/Settings.h"

#include "core/Globals.h"
#include "core/Text.h"

#include "core/AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace orvane;

namespace {

class Utf8Codec final : public TextCodec {
public:
    std::optional<std::u16string> Decode(std::string_view bytes, std::string_view) const override {
        return FromUtf8(bytes);
    }
    std::u16string DecodeSystem(std::string_view bytes) const override { return FromUtf8(bytes); }
    std::string EncodeSystem(std::u16string_view text) const override { return ToUtf8(text); }
};

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "orvane-settings-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string Slurp(const fs::path& p) {
    std::string bytes;
    EXPECT_TRUE(orvane::ReadWholeFile(p, bytes)) << p;
    return bytes;
}

const Utf8Codec kCodec;
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
};

} // namespace

TEST(SettingsWrite, FirstStartFileHoldsTheFourteenLinesInKeyOrder) {
    TempDir dir;
    const fs::path ini = dir.path() / "Orvane.ini";
    ASSERT_TRUE(WriteSettings(ini, FirstStartState(kAppDir, 7755, 6405), kCodec));
    EXPECT_EQ(Slurp(ini), "[Orvane]\r\n"
                          "DefaultInDir=/opt/orvane/\r\n"
                          "DefaultOutDir=/opt/orvane/\r\n"
                          "Top=100\r\n"
                          "Left=100\r\n"
                          "Width=7755\r\n"
                          "Height=6405\r\n"
                          "DEBUG_STS=True\r\n"
                          "LINK_AB=0\r\n"
                          "NAME_AB=0\r\n"
                          "LIST_MAKE=0\r\n"
                          "FILE_OVER_SAVE=True\r\n"
                          "LIST_CLK=0\r\n"
                          "ProxyServerUse=False\r\n"
                          "ProxyServerAddress=\r\n");
}

TEST_F(SettingsGlobals, ExitRewritesKeyOrderDropsHandAddedKeysAndKeepsOtherSections) {
    TempDir dir;
    const fs::path ini = dir.path() / "Orvane.ini";
    std::ofstream(ini, std::ios::binary) << "[Before]\r\nb=1\r\n"
                                            "[Orvane]\r\nLIST_CLK=1\r\nMyOwnKey=x\r\nTop=5\r\n"
                                            "[After]\r\na=2\r\n";
    gInputDir = u"/home/u/in/";
    gShowStatus = false;
    gLinkLevel = 1;
    gNameMode = 1;
    gListType = 1;
    gConfirmOverwrite = true;
    gDblClickAction = 1;
    gProxyUse = true;
    gProxyAddress = u" proxy:8080"; // written as held
    ASSERT_TRUE(WriteSettings(ini, CurrentSettingsState(u"/home/u/out/", -120, 30, 9000, 7000), kCodec));
    EXPECT_EQ(Slurp(ini), "[Before]\r\nb=1\r\n"
                          "[Orvane]\r\n"
                          "DefaultInDir=/home/u/in/\r\n"
                          "DefaultOutDir=/home/u/out/\r\n"
                          "Top=-120\r\n"
                          "Left=30\r\n"
                          "Width=9000\r\n"
                          "Height=7000\r\n"
                          "DEBUG_STS=False\r\n"
                          "LINK_AB=1\r\n"
                          "NAME_AB=1\r\n"
                          "LIST_MAKE=1\r\n"
                          "FILE_OVER_SAVE=True\r\n"
                          "LIST_CLK=1\r\n"
                          "ProxyServerUse=True\r\n"
                          "ProxyServerAddress= proxy:8080\r\n"
                          "[After]\r\na=2\r\n");
}

TEST_F(SettingsGlobals, WrittenStateReadsBackIncludingDoubleByteDirectories) {
    TempDir dir;
    const fs::path ini = dir.path() / "Orvane.ini";
    SettingsState s = FirstStartState(kAppDir, 8000, 6000);
    s.inputDir = u"/home/u/データ 入力/";
    s.outputDir = u"/home/u/出力/";
    s.top = 300;
    s.left = -45;
    s.showStatus = false;
    s.linkLevel = 1;
    s.proxyUse = true;
    s.proxyAddress = u"proxy.example:3128";
    ASSERT_TRUE(WriteSettings(ini, s, kCodec));

    const SettingsValues v = ReadSettingsFile(ini, kAppDir, kCodec, Folders({s.inputDir, s.outputDir}));
    EXPECT_EQ(v.inputDir.value, s.inputDir);
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
    const auto exact = Folders({FromUtf8(longPath)});
    EXPECT_EQ(Read("DefaultOutDir=" + longPath + "\r\n", exact).outputDir.value, kAppDir);
}

TEST(SettingsRead, BooleanKeys) {
    EXPECT_EQ(ParseSettingBoolean(u"true"), true);
    EXPECT_EQ(ParseSettingBoolean(u"-1"), true);
    EXPECT_EQ(ParseSettingBoolean(u"0"), false);
    EXPECT_EQ(ParseSettingBoolean(u"0.0"), false);
    EXPECT_EQ(ParseSettingBoolean(u" 2.5 "), true);
    EXPECT_EQ(ParseSettingBoolean(u"1e999"), true);
    EXPECT_EQ(ParseSettingBoolean(u"yes"), std::nullopt);
    EXPECT_EQ(ParseSettingBoolean(u"1abc"), std::nullopt);
    EXPECT_EQ(ParseSettingBoolean(u"Truex"), std::nullopt);

    // Unreadable text falls back to the first-start value, which differs by key.
    const SettingsValues bad = Read("DEBUG_STS=yes\r\nFILE_OVER_SAVE=?\r\nProxyServerUse=on\r\n");
    EXPECT_EQ(bad.showStatus.state, ValueState::Invalid);
    EXPECT_TRUE(bad.showStatus.value);
    EXPECT_TRUE(bad.confirmOverwrite.value);
    EXPECT_FALSE(bad.proxyUse.value);
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

TEST(SettingsRead, WholeNumbers) {
    EXPECT_EQ(ParseSettingWholeNumber(u" 1 "), 1);
    EXPECT_EQ(ParseSettingWholeNumber(u"abc"), 0);
    EXPECT_EQ(ParseSettingWholeNumber(u"12abc"), 12);
    EXPECT_EQ(ParseSettingWholeNumber(u"2.5"), 2);
    EXPECT_EQ(ParseSettingWholeNumber(u"3.5"), 4);
    EXPECT_EQ(ParseSettingWholeNumber(u"-2.5"), -2);
    EXPECT_EQ(ParseSettingWholeNumber(u"0.5"), 0);
    EXPECT_EQ(ParseSettingWholeNumber(u"2.51"), 3);
    EXPECT_EQ(ParseSettingWholeNumber(u".5e1"), 5);
    EXPECT_EQ(ParseSettingWholeNumber(u"1e"), 1);
    EXPECT_EQ(ParseSettingWholeNumber(u"1e-999"), 0);
    EXPECT_EQ(ParseSettingWholeNumber(u"32767"), 32767);
    EXPECT_EQ(ParseSettingWholeNumber(u"-32768.5"), -32768);
    EXPECT_EQ(ParseSettingWholeNumber(u"32767.5"), std::nullopt);
    EXPECT_EQ(ParseSettingWholeNumber(u"40000"), std::nullopt);
    EXPECT_EQ(ParseSettingWholeNumber(u"1e999"), std::nullopt);

    const SettingsValues v = Read("LINK_AB= 1 \r\nNAME_AB=letters\r\nLIST_MAKE=40000\r\nLIST_CLK=2\r\n");
    EXPECT_EQ(v.linkLevel.value, 1);
    EXPECT_EQ(v.nameMode.value, 0);
    EXPECT_EQ(v.nameMode.state, ValueState::Valid);
    EXPECT_EQ(v.listType.value, 0); // the first-start value
    EXPECT_EQ(v.listType.state, ValueState::Invalid);
    EXPECT_EQ(v.dblClickAction.value, 2);
}

TEST(SettingsRead, PlacementIsUsableOnlyWhenAllFourAreNumbers) {
    EXPECT_EQ(ParseSettingCoordinate(u" -150 "), -150);
    EXPECT_EQ(ParseSettingCoordinate(u"100.5"), 100);
    EXPECT_EQ(ParseSettingCoordinate(u"12abc"), std::nullopt);
    EXPECT_EQ(ParseSettingCoordinate(u""), std::nullopt);
    EXPECT_EQ(ParseSettingCoordinate(u"1e20"), std::nullopt);

    const std::string four = "Top=1\r\nLeft=2\r\nWidth=3\r\nHeight=4\r\n";
    EXPECT_TRUE(Read(four).PlacementValid());
    EXPECT_FALSE(Read("Top=1\r\nLeft=2\r\nWidth=3\r\n").PlacementValid());
    EXPECT_FALSE(Read("Top=1\r\nLeft=2\r\nWidth=\r\nHeight=4\r\n").PlacementValid());
    EXPECT_FALSE(Read("Top=1\r\nLeft=x\r\nWidth=3\r\nHeight=4\r\n").PlacementValid());
}

TEST_F(SettingsGlobals, ProxyAddressIsTrimmedAndBlankStaysEmpty) {
    EXPECT_EQ(Read("ProxyServerAddress=\"  host:8080  \"\r\n").proxyAddress.value, u"host:8080");
    ApplySettings(Read("ProxyServerAddress=\"   \"\r\n"));
    EXPECT_EQ(gProxyAddress, u"");
}
