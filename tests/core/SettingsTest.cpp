#include "core/Settings.h"

#include "FakeHost.h"
#include "core/FsPath.h"

using namespace orvane;
using orvane::test::Slurp;

namespace {

const orvane::test::Utf8Codec kCodec;
const std::u16string kAppDir = u"/opt/orvane/";

const auto FakeFolderExists = [](const std::u16string& path) {
    return path.rfind(u"/exists/", 0) == 0;
};

SettingsValues Read(const std::string& section) {
    return ReadSettings("[Orvane]\r\n" + section, kAppDir, kCodec, FakeFolderExists);
}

// The section's lines as written, joined with CR LF, in UTF-8.
std::string Written(const SettingsState& state) {
    std::string text;
    for (const std::u16string& line : BuildSettingsLines(state))
        text += ToUtf8(line) + "\r\n";
    return text;
}

// Every key the file holds, as it was read: the value as it would be written, and how it was read
// when that was not plainly (the fallback then stands in). Missing keys are left out; "placed" ends
// it when the four coordinates place the window.
std::string Shown(const SettingsValues& v) {
    const std::vector<std::u16string> lines = BuildSettingsLines(v.values);
    std::string out;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        if (v.states[i] == ValueState::Missing)
            continue;
        out += ToUtf8(lines[i]);
        out += v.states[i] == ValueState::Empty     ? " (empty)"
               : v.states[i] == ValueState::Invalid ? " (invalid)"
                                                    : "";
        out += "\n";
    }
    return v.PlacementValid() ? out + "placed\n" : out;
}

class SettingsGlobals : public orvane::test::GlobalsFixture {
protected:
    const std::filesystem::path ini_ = dir_.Path() / "Orvane.ini";
};

} // namespace

TEST_F(SettingsGlobals, FirstStartWritesAndSetsTheSameValues) {
    ASSERT_TRUE(WriteSettings(ini_, FirstStartState(kAppDir, 7755, 6405), kCodec));
    EXPECT_EQ(Slurp(ini_), "[Orvane]\r\nDefaultInDir=/opt/orvane/\r\nDefaultOutDir=/opt/orvane/\r\n"
                           "Top=100\r\nLeft=100\r\nWidth=7755\r\nHeight=6405\r\nDEBUG_STS=True\r\n"
                           "LINK_AB=0\r\nNAME_AB=0\r\nLIST_MAKE=0\r\nFILE_OVER_SAVE=True\r\nLIST_CLK=0\r\n"
                           "ProxyServerUse=False\r\nProxyServerAddress=\r\n");
    gAppDir = kAppDir;
    ApplyFirstStartSettings();
    EXPECT_EQ(CurrentSettingsState(kAppDir, 100, 100, 7755, 6405), FirstStartState(kAppDir, 7755, 6405));
}

// Each kind by its rule: hand-edited values are read without the locale, halves go to the even
// neighbour, and what cannot be read falls back (a Boolean or number to its first-start value, a
// directory to the program directory, a coordinate to the first start's placement).
TEST(SettingsRead, EachKindReadsOrFallsBack) {
    const std::pair<std::string, std::string> cases[] = {
        // Booleans: words in any case, numbers, nothing else.
        {"DEBUG_STS=tr\r\nFILE_OVER_SAVE= fAlSe \r\nProxyServerUse=tr\r\n",
         "DEBUG_STS=True (invalid)\nFILE_OVER_SAVE=False\nProxyServerUse=False (invalid)\n"},
        {"DEBUG_STS=-1\r\nFILE_OVER_SAVE=1abc\r\nProxyServerUse=\r\n",
         "DEBUG_STS=True\nFILE_OVER_SAVE=True (invalid)\nProxyServerUse=False (empty)\n"},
        // Whole numbers, at their bounds too.
        {"LINK_AB= 1 \r\nNAME_AB=2.5\r\nLIST_MAKE=40000\r\nLIST_CLK=abc\r\n",
         "LINK_AB=1\nNAME_AB=2\nLIST_MAKE=0 (invalid)\nLIST_CLK=0\n"},
        {"LINK_AB=3.5\r\nNAME_AB=12abc\r\nLIST_MAKE=32767.5\r\nLIST_CLK=-32768\r\n",
         "LINK_AB=4\nNAME_AB=12\nLIST_MAKE=0 (invalid)\nLIST_CLK=-32768\n"},
        // A sign, a point or an exponent alone is no number.
        {"Top=-\r\nLeft=.\r\nWidth=E5\r\nHeight=+\r\n",
         "Top=0 (invalid)\nLeft=0 (invalid)\nWidth=0 (invalid)\nHeight=0 (invalid)\n"},
        // Coordinates: all four readable, or one not a number, empty or beyond int.
        {"Top=-150\r\nLeft=1.5E3\r\nWidth=9000\r\nHeight=6404.5\r\n",
         "Top=-150\nLeft=1500\nWidth=9000\nHeight=6404\nplaced\n"},
        {"Top=0\r\nLeft=0\r\nWidth=9000x\r\nHeight=1\r\n", "Top=0\nLeft=0\nWidth=0 (invalid)\nHeight=1\n"},
        {"Top=\r\nLeft=0\r\nWidth=1e10\r\nHeight=1e400\r\n",
         "Top=0 (empty)\nLeft=0\nWidth=0 (invalid)\nHeight=0 (invalid)\n"},
        // Beyond every range: a Boolean still true, a number unreadable; an empty directory is ours.
        {"DEBUG_STS=1e400\r\nLIST_MAKE=1e400\r\nDefaultInDir=\r\n",
         "DefaultInDir=/opt/orvane/ (empty)\nDEBUG_STS=True\nLIST_MAKE=0 (invalid)\n"},
        {"DefaultInDir=/exists/日本語/\r\nDefaultOutDir=/gone/\r\n",
         "DefaultInDir=/exists/日本語/\nDefaultOutDir=/opt/orvane/ (invalid)\n"},
        {"ProxyServerAddress=\"  proxy:8080 \"\r\n", "ProxyServerAddress=proxy:8080\n"},
        // A later section of our name is not ours.
        {"LINK_AB=1\r\n[Tail]\r\nNAME_AB=1\r\n[orvane]\r\nLIST_CLK=1\r\n", "LINK_AB=1\n"},
    };
    for (const auto& [file, shown] : cases)
        EXPECT_EQ(Shown(Read(file)), shown) << file;
}

TEST_F(SettingsGlobals, ApplyingKeepsWhatTheFileDoesNotSayAndExitWritesWhatIsHeld) {
    // A missing or empty Boolean and an address of spaces leave their variables as they were; an
    // address is written back as held, and no value can add a line.
    gShowStatus = true;
    gConfirmOverwrite = true;
    gLinkLevel = 2;
    gProxyAddress = u" held as typed ";
    ApplySettings(Read("DEBUG_STS=\r\nProxyServerAddress=\"   "
                       "\"\r\nProxyServerUse=1\r\nDefaultInDir=/exists/in/\r\nNAME_AB=1\r\n"));
    EXPECT_EQ(Written(CurrentSettingsState(u"/out\r\nTop=1", -1, 2, 3, 4)),
              "DefaultInDir=/exists/in/\r\nDefaultOutDir=/outTop=1\r\nTop=-1\r\nLeft=2\r\nWidth=3\r\n"
              "Height=4\r\nDEBUG_STS=True\r\nLINK_AB=0\r\nNAME_AB=1\r\nLIST_MAKE=0\r\nFILE_OVER_SAVE=True\r\n"
              "LIST_CLK=0\r\nProxyServerUse=True\r\nProxyServerAddress= held as typed \r\n");
}

TEST_F(SettingsGlobals, TheFolderCheckTakesOnlyAFolderThatIsThere) {
    std::filesystem::create_directory(dir_.Path() / "日本語");
    const std::u16string root = FromFsPath(dir_.Path()) + u"/";
    dir_.Write("file", "x");
    EXPECT_TRUE(FolderExists(root + u"日本語"));
    EXPECT_TRUE(FolderExists(root + u"日本語/"));
    for (const std::u16string& path : {root + u"file", root + u"gone", std::u16string(),
                                       root + u"日本語" + std::u16string(1, u'\0') + u"x"})
        EXPECT_FALSE(FolderExists(path)) << ToUtf8(path);
}

TEST_F(SettingsGlobals, TheFileIsReadOnceWhateverItsSizeAndExitKeepsEveryOtherByte) {
    // Other programs' sections with LF line ends, a huge run of empty lines inside the section, a key
    // repeated (the first counts) and a second section of the same name (ignored).
    std::string text = "; notes\n[Other]\nkeep=1\n\n[orvane]\nLINK_AB=1\n";
    text.append(200000, '\n');
    text += "link_ab=0\nProxyServerAddress = proxy:8080 \n[Tail]\nz=\"1\"\n[Orvane]\nNAME_AB=1\n";
    dir_.Write("Orvane.ini", text);
    const std::optional<SettingsValues> v = ReadSettingsFile(ini_, kAppDir, kCodec, FakeFolderExists);
    ASSERT_TRUE(v);
    EXPECT_EQ(Shown(*v), "LINK_AB=1\nProxyServerAddress=proxy:8080\n");

    ASSERT_TRUE(WriteSettings(ini_, FirstStartState(kAppDir, 1, 2), kCodec));
    EXPECT_EQ(Slurp(ini_), "; notes\n[Other]\nkeep=1\n\n[Orvane]\r\n" +
                               Written(FirstStartState(kAppDir, 1, 2)) +
                               "[Tail]\nz=\"1\"\n[Orvane]\nNAME_AB=1\n");
}

TEST_F(SettingsGlobals, AFileThatCannotBeReadIsToldApartFromAMissingOne) {
    std::filesystem::create_directory(ini_); // a folder in the file's place
    EXPECT_FALSE(ReadSettingsFile(ini_, kAppDir, kCodec));
    EXPECT_FALSE(WriteSettings(ini_, FirstStartState(kAppDir, 1, 2), kCodec));
    EXPECT_TRUE(std::filesystem::is_directory(ini_));
    EXPECT_EQ(SettingsReadFailedMessage(u"/x/Orvane.ini"),
              (MessageText{u"設定ﾌｧｲﾙ「/x/Orvane.ini」を読み込めませんでした。\r\n"
                           u"初期設定で起動します。このﾌｧｲﾙは変更されず、設定は保存されません。",
                           u"設定ﾌｧｲﾙｴﾗｰ", MessageIcon::Critical}));
    EXPECT_EQ(SettingsWriteFailedMessage(u"/x/Orvane.ini").text,
              u"設定ﾌｧｲﾙ「/x/Orvane.ini」に書き込めませんでした。\r\n今回の設定は保存されません。");
}
