#include "core/Conversion.h"
#include "core/Globals.h"

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace orvane;
using orvane::test::FakeHost;
using orvane::test::ScratchDir;
using orvane::test::Utf8Codec;
using Steps = std::vector<std::string>;

namespace {

const std::string kScanPhase = "phase コンバートされたデータを編集中...";
const std::string kAddPhase = "phase 編集されたデータをリストに追加中...";

class ConversionTest : public ::testing::Test {
protected:
    void SetUp() override { ResetGlobals(); }
    void TearDown() override { ResetGlobals(); }

    /// Writes the document and converts it with a fresh host, as the open command would.
    FakeHost& Convert(std::string_view bytes, const std::string& name = "page.htm") {
        const std::u16string path = dir_.Write(name, bytes);
        return ConvertPath(path);
    }
    FakeHost& ConvertPath(const std::u16string& path) {
        host_ = FakeHost{};
        host_.target = path;
        host_.cancelAtPump = cancelAtPump_;
        RunConversion(path, host_, codec_);
        return host_;
    }

    std::vector<std::u16string> Names() const {
        std::vector<std::u16string> out;
        gLinks.ForEachLive([&](int, const LinkRecord& r) { out.push_back(r.name); });
        return out;
    }

    ScratchDir dir_;
    Utf8Codec codec_;
    FakeHost host_;
    int cancelAtPump_ = 0;
};

std::string Anchors(int count, const std::string& prefix = "l") {
    std::string page;
    for (int i = 0; i < count; ++i)
        page += "<a href=\"http://x/" + prefix + std::to_string(i) + "\">" + prefix + std::to_string(i) +
                "</a>\r\n";
    return page;
}

} // namespace

TEST_F(ConversionTest, StepsAndStatusTextsInOrder) {
    // Two lines; the first holds two characters of three bytes each, the second a relative link.
    FakeHost& host = Convert("<a href=\"http://x/a\">日本</a>\r\n<a href=\"rel.htm\">R</a>");
    EXPECT_EQ(host.calls, (Steps{"busy",
                                 "disable",
                                 "progress shown",
                                 "phase 入力データをコンバート中...",
                                 "repaint",
                                 "status line hidden",
                                 "status: 処理状況：28/56 byte",
                                 "status: 処理状況：52/56 byte",
                                 kScanPhase,
                                 "repaint",
                                 "add",
                                 "pump",
                                 "status: 処理状況：データ 1 を編集中...",
                                 "pump",
                                 "status: 処理状況：データ 1 を編集中...",
                                 "arrow",
                                 kAddPhase,
                                 "repaint",
                                 "show 1",
                                 "enable",
                                 "progress hidden",
                                 "phase ",
                                 "status line shown",
                                 "status: ",
                                 "arrow"}));
    EXPECT_TRUE(host.messages.empty());
    ASSERT_EQ(gLinks.Size(), 1);
    EXPECT_EQ(gLinks.At(0).url, u"http://x/a");
    EXPECT_EQ(gLinks.At(0).name, u"日本");
    EXPECT_EQ(gLinkCount, 1);

    // With the status line on it is never hidden.
    gShowStatus = true;
    const Steps steps = Convert("<a href=\"http://x/b\">B</a>").Steps();
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "status line hidden"), 0);
}

TEST_F(ConversionTest, RefusedInputLeavesTheListAsItWas) {
    Convert(Anchors(2));
    ASSERT_EQ(gLinkCount, 2);

    FakeHost& over = Convert(std::string(128001, 'x'));
    EXPECT_EQ(over.calls, (Steps{"busy", "arrow", "message ﾌｧｲﾙｻｲｽﾞｵｰﾊﾞｰ"}));
    EXPECT_EQ(over.messages[0].text, u"入力ファイルサイズ：128001 byte\r\n"
                                     u"ファイルサイズが128Kバイトを越えるファイルは処理できません。\r\n"
                                     u"処理を中止します。");
    EXPECT_EQ(over.messages[0].icon, MessageIcon::Critical);

    FakeHost& empty = Convert("");
    EXPECT_EQ(empty.calls, (Steps{"busy", "arrow", "message ﾌｧｲﾙｻｲｽﾞｴﾗｰ"}));
    EXPECT_EQ(empty.messages[0].text, u"入力ファイルサイズ：0 byte\r\n"
                                      u"ファイルサイズが0バイトのファイルは処理できません。\r\n"
                                      u"処理を中止します。");
    EXPECT_EQ(empty.messages[0].icon, MessageIcon::Critical);

    // A folder and a vanished file cannot be opened.
    const std::u16string folder = FromUtf8(dir_.Path().string());
    const std::u16string missing = folder + u"/gone.htm";
    for (const std::u16string& path : {folder, missing}) {
        FakeHost& host = ConvertPath(path);
        EXPECT_EQ(host.calls, (Steps{"busy", "arrow", "message ﾌｧｲﾙｵｰﾌﾟﾝ失敗"}));
        EXPECT_EQ(host.messages[0].text, u"入力ﾌｧｲﾙ「" + path + u"」を開けません。");
        EXPECT_EQ(host.messages[0].icon, MessageIcon::Critical);
    }

    EXPECT_EQ(gLinks.Size(), 2);
    EXPECT_EQ(gLinkCount, 2);
}

TEST_F(ConversionTest, ExactlyTheSizeLimitIsConverted) {
    std::string page = "<a href=\"http://x/\">Edge</a>";
    page += std::string(kMaxInputBytes - page.size(), ' ');
    FakeHost& host = Convert(page);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.statusTexts.front(), u"処理状況：29/128000 byte"); // the trailing spaces are trimmed
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Edge"}));
}

TEST_F(ConversionTest, GuardIgnoresAnEmptyOrResetTarget) {
    const std::u16string path = dir_.Write("page.htm", Anchors(1));
    for (const std::u16string target : {u"", u"   ", u" ﾀｰｹﾞｯﾄﾌｧｲﾙ ： "}) {
        FakeHost host;
        host.target = target;
        RunConversion(path, host, codec_);
        EXPECT_TRUE(host.calls.empty());
    }
    EXPECT_EQ(gLinks.Size(), 0);
}

TEST_F(ConversionTest, LineEnds) {
    // CR LF and a lone CR join the lines with one space, so "a" and "href" meet.
    Convert("<a\r\nhref=\"http://x/1\">One</a>");
    Convert("<a\rhref=\"http://x/2\">Two</a>");
    // Trimmed lines: the spaces at their ends are gone, the joint is one space.
    Convert("<a href=\"http://x/3\">Three   \r\n   Four</a>");
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"One", u"Two", u"Three Four"}));

    // LF alone does not end a line: the file is one line and its LFs vanish without a space.
    FakeHost& lf = Convert("<a href=\"http://x/5\">Five\nSix</a>\n<a\nhref=\"http://x/7\">Seven</a>\n");
    // One line: every byte stays in it, and the joint space makes one character more.
    EXPECT_EQ(lf.statusTexts[0], u"処理状況：66/65 byte");
    EXPECT_EQ(lf.statusTexts[1], u"処理状況：データ 1 を編集中...");
    EXPECT_EQ(gLinks.At(3).name, u"FiveSix");
    EXPECT_EQ(gLinks.Size(), 4);
}

TEST(JoinLines, TrimsEveryLineAndJoinsWithOneSpace) {
    std::vector<std::size_t> lengths;
    const auto record = [&](std::size_t n) {
        lengths.push_back(n);
    };
    EXPECT_EQ(JoinLines(u"  ab  \r\n\r   \r c\nd \re", record), u"ab   c\nd e ");
    EXPECT_EQ(lengths, (std::vector<std::size_t>{3, 4, 5, 9, 11}));
    lengths.clear();
    EXPECT_EQ(JoinLines(u"", record), u" ");
    EXPECT_EQ(JoinLines(u"x\r\n", record), u"x ");
    EXPECT_EQ(JoinLines(u"\r\r\n", record), u"  ");
    EXPECT_EQ(lengths, (std::vector<std::size_t>{1, 2, 1, 2}));
    std::u16string work = u"a\nb\n\rc";
    RemoveLineBreaks(work);
    EXPECT_EQ(work, u"abc");
}

TEST_F(ConversionTest, UnexpectedEndKeepsTheLinksFound) {
    FakeHost& host = Convert("<a href=\"http://x/1\">One</a>\r\n<a href=\"http://x/2\">Two");
    const Steps steps = host.Steps();
    const Steps tail(steps.end() - 10, steps.end());
    EXPECT_EQ(tail, (Steps{"arrow", "message 入力ﾌｧｲﾙ異常", kAddPhase, "repaint", "show 1", "enable",
                           "progress hidden", "phase ", "status line shown", "arrow"}));
    EXPECT_EQ(host.messages[0].text, u"入力ﾌｧｲﾙ「" + host.target +
                                         u"」に、\r\n"
                                         u"予期しないEOFが検出されました。\r\n"
                                         u"全てのリンクを抽出できなかった可能性があります。");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"One"}));

    // Nothing complete before the missing "</a>": the no-links message follows.
    FakeHost& none = Convert("<a href=\"http://x/3\">Three");
    ASSERT_EQ(none.messages.size(), 2u);
    EXPECT_EQ(none.messages[0].title, u"入力ﾌｧｲﾙ異常");
    EXPECT_EQ(none.messages[1].title, u"データなし");
}

TEST_F(ConversionTest, NoLinksMessageUsesTheTrimmedTarget) {
    const std::u16string path = dir_.Write("plain.htm", "<p>nothing here</p>");
    FakeHost host;
    host.target = u"  http://example.com/page  ";
    RunConversion(path, host, codec_);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              u"「http://example.com/page」に、\r\nﾘﾝｸﾃﾞｰﾀが存在しません。\r\nﾘｽﾄを作成できません。");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Information);
    const Steps steps = host.Steps();
    EXPECT_EQ(std::find(steps.begin(), steps.end(), "message データなし") + 1,
              std::find(steps.begin(), steps.end(), "show 0"));
}

TEST_F(ConversionTest, SecondFileAppendsAndNumbersPlaceholdersFromTheCount) {
    Convert(Anchors(5, "a"));
    gLinks.At(1).deleted = true; // a deleted record keeps its place
    gLinkCount = 4;
    Convert("<a href=\"http://x/n\"></a><a href=\"http://x/m\"><img src=\"m.gif\"></a>");
    ASSERT_EQ(gLinks.Size(), 7);
    EXPECT_EQ(gLinks.At(5).name, u"(名称無し 4)");
    EXPECT_EQ(gLinks.At(5).seq, 0);
    EXPECT_EQ(gLinks.At(6).name, u"(名称無し 5)");
    EXPECT_EQ(gLinks.At(6).seq, 1);
    EXPECT_EQ(gLinkCount, 6);
}

TEST_F(ConversionTest, CancelDuringTheScanDropsOnlyThisFilesRecords) {
    Convert(Anchors(2, "first"));
    cancelAtPump_ = 2; // the button is pressed while the second key of the next file is handled
    FakeHost& host = Convert(Anchors(5, "second"));
    EXPECT_EQ(host.pumps, 2);
    const Steps steps = host.Steps();
    const Steps tail(std::find(steps.begin(), steps.end(), kScanPhase), steps.end());
    EXPECT_EQ(tail, (Steps{kScanPhase, "repaint", "enable", "progress hidden", "phase ", "status line shown",
                           "arrow", "message 処理の中断"}));
    EXPECT_EQ(host.calls[host.calls.size() - 4], "status: ");
    EXPECT_EQ(host.messages[0].text, u"ｷｬﾝｾﾙされました。");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Information);
    EXPECT_FALSE(gCancelRequested);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"first0", u"first1"}));
    EXPECT_EQ(gLinkCount, 2);

    // The next conversion starts normally behind the earlier records.
    cancelAtPump_ = 0;
    Convert(Anchors(1, "third"));
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"first0", u"first1", u"third0"}));
}

TEST_F(ConversionTest, CancelBeforeTheScanIsTakenAfterReading) {
    gCancelRequested = true;
    FakeHost& host = Convert(Anchors(3));
    EXPECT_EQ(host.Steps(), (Steps{"busy", "disable", "progress shown", "phase 入力データをコンバート中...",
                                   "repaint", "status line hidden", "enable", "progress hidden", "phase ",
                                   "status line shown", "arrow", "message 処理の中断"}));
    EXPECT_EQ(host.pumps, 0);
    EXPECT_FALSE(gCancelRequested);
    EXPECT_EQ(gLinks.Size(), 0);
}

TEST_F(ConversionTest, FullTableStopsTakingLinks) {
    for (int i = 0; i < LinkTable::kMaxRecords - 2; ++i)
        gLinks.Add(u"http://x/", u"old", 0);
    gLinkCount = LinkTable::kMaxRecords - 2;

    FakeHost& host = Convert(Anchors(4));
    EXPECT_EQ(gLinks.Size(), LinkTable::kMaxRecords);
    EXPECT_EQ(gLinks.At(LinkTable::kMaxRecords - 1).name, u"l1");
    EXPECT_EQ(gLinkCount, LinkTable::kMaxRecords);
    const Steps steps = host.Steps();
    const Steps tail(steps.end() - 3, steps.end());
    EXPECT_EQ(tail, (Steps{"status line shown", "arrow", "message ﾃﾞｰﾀ件数ｵｰﾊﾞｰ"}));
    EXPECT_NE(std::find(steps.begin(), steps.end(), "show 2"), steps.end());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              u"ﾘｽﾄに登録できるﾃﾞｰﾀは最大32767件です。\r\n以降のﾘﾝｸは追加されませんでした。");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Exclamation);

    // Already full: the file has links, so only the limit is reported.
    FakeHost& again = Convert(Anchors(1));
    ASSERT_EQ(again.messages.size(), 1u);
    EXPECT_EQ(again.messages[0].title, u"ﾃﾞｰﾀ件数ｵｰﾊﾞｰ");
    EXPECT_EQ(gLinks.Size(), LinkTable::kMaxRecords);
}

TEST_F(ConversionTest, OptionValuesOtherThanZero) {
    const std::string page = "<img src=\"https://x/i.gif\" alt=\"Alt\"> Caption</a>";
    Convert(page);
    EXPECT_EQ(gLinks.Size(), 0);
    gLinkLevel = 7; // acts as the "http" level
    gNameMode = -1; // takes the alt text
    Convert(page);
    ASSERT_EQ(gLinks.Size(), 1);
    EXPECT_EQ(gLinks.At(0).url, u"https://x/i.gif");
    EXPECT_EQ(gLinks.At(0).name, u"Caption"); // the alt text lies before the name
    gNameMode = 1;
    Convert("<a href=\"http://x/\"><img src=\"i.gif\" alt=\"Alt\"></a>");
    EXPECT_EQ(gLinks.At(1).name, u"Alt");
}

TEST_F(ConversionTest, Utf16DocumentCountsCharactersAndSplitsDecodedLines) {
    const std::u16string text = u"<a href=\"http://x/\">名前</a>\r\nnext";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    FakeHost& host = Convert(bytes);
    EXPECT_EQ(host.statusTexts[0], u"処理状況：27/66 byte");
    EXPECT_EQ(host.statusTexts[1], u"処理状況：32/66 byte");
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"名前"}));
}
