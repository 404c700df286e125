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

TEST_F(SettingsGlobals, TheFileIsReadOnceWhateverItsSizeAndExitKeepsEveryOtherByte) {
    // Other programs' sections with LF line ends, a huge run of empty lines inside the section, a key
    // repeated (the first counts) and a second section of the same name (ignored).
    std::string text = "; notes\n[Other]\nkeep=1\n\n[orvane]\nLINK_AB=1\n";
    text.append(200000, '\n');
    text += "link_ab=0\nProxyServerAddress = proxy:8080 \n[Tail]\nz=\"1\"\n[Orvane]\nNAME_AB=1\n";
    {
        std::FILE* f = std::fopen(ini_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    const std::optional<SettingsValues> v =
        ReadSettingsFile(ini_, kAppDir, kCodec, [](const std::u16string&) { return false; });
    ASSERT_TRUE(v);
    EXPECT_EQ(v->linkLevel.value, 1);
    EXPECT_EQ(v->nameMode.value, 0);
    EXPECT_EQ(v->proxyAddress.value, u"proxy:8080");
    EXPECT_EQ(v->inputDir.value, kAppDir);

    ASSERT_TRUE(WriteSettings(ini_, FirstStartState(kAppDir, 1, 2), kCodec));
    EXPECT_EQ(Slurp(ini_), "; notes\n[Other]\nkeep=1\n\n[Orvane]\r\n" +
                               ToUtf8(BuildSettingsSectionText(FirstStartState(kAppDir, 1, 2))) +
                               "[Tail]\nz=\"1\"\n[Orvane]\nNAME_AB=1\n");
}

TEST_F(SettingsGlobals, AFileThatCannotBeReadIsToldApartFromAMissingOne) {
    std::filesystem::create_directory(ini_); // a folder in the file's place
    EXPECT_FALSE(ReadSettingsFile(ini_, kAppDir, kCodec));
    EXPECT_FALSE(WriteSettings(ini_, FirstStartState(kAppDir, 1, 2), kCodec));
    EXPECT_TRUE(std::filesystem::is_directory(ini_));
    const MessageText read = SettingsReadFailedMessage(u"/x/Orvane.ini");
    EXPECT_EQ(read.title, u"設定ﾌｧｲﾙｴﾗｰ");
    EXPECT_EQ(read.text.rfind(u"設定ﾌｧｲﾙ「/x/Orvane.ini」を読み込めませんでした。\r\n", 0), 0u);
    EXPECT_EQ(read.icon, MessageIcon::Critical);
    EXPECT_NE(
        SettingsWriteFailedMessage(u"/x/Orvane.ini").text.find(u"「/x/Orvane.ini」に書き込めませんでした。"),
        std::u16string::npos);
}
