#include "core/Conversion.h"

#include "FakeHost.h"

#include <algorithm>
#include <tuple>

using namespace orvane;
using namespace orvane::test;
using namespace std::string_view_literals;

namespace {

using ConversionTest = ConversionFixture;

std::string Anchors(int count, const std::string& p = "l") {
    std::string page;
    for (int i = 0; i < count; ++i)
        page += "<a href=\"http://x/" + p + std::to_string(i) + "\">" + p + std::to_string(i) + "</a>\r\n";
    return page;
}

} // namespace

TEST_F(ConversionTest, StepsAndStatusTextsAtEachLevel) {
    // Two lines, each ended; the first holds two characters of three bytes each, the second a
    // relative link.
    FakeHost& host = Convert("<a href=\"http://x/a\">日本</a>\r\n<a href=\"rel.htm\">R</a>\r\n");
    EXPECT_EQ(Join(host.calls),
              "busy|disable|progress shown|phase 入力データをコンバート中...|repaint|"
              "status line hidden|status: 処理状況：28/58 byte|status: 処理状況：52/58 byte|"
              "phase コンバートされたデータを編集中...|repaint|add|pump|"
              "status: 処理状況：データ 1 を編集中...|pump|status: 処理状況：データ 1 を編集中...|"
              "arrow|phase 編集されたデータをリストに追加中...|repaint|show 1|enable|"
              "progress hidden|phase |status line shown|status: |arrow");
    EXPECT_EQ(host.Result(), (Lines{"0|日本|http://x/a", "count 1"}));
    // The tag scan takes the document whole.
    gLinkLevel = 2;
    EXPECT_EQ(
        Join(Convert("<a href=x>日本</a>").calls),
        "busy|disable|progress shown|phase 入力データをコンバート中...|repaint|status line hidden|"
        "status: 処理状況：16/20 byte|phase コンバートされたデータを編集中...|repaint|add|pump|"
        "status: 処理状況：データ 1 を編集中...|arrow|phase 編集されたデータをリストに追加中...|repaint|"
        "show 1|enable|progress hidden|phase |status line shown|status: |arrow");
    // Any value other than 0, 1 and 2 acts as 1: the "http:" scan, with its size limit.
    gLinkLevel = 7;
    EXPECT_EQ(Convert("<a class=c href=\"http://x/\">H</a>").Result().back(), "count 3");
    EXPECT_EQ(Convert(std::string(kMaxInputBytes + 1, ' ')).messages[0].title, u"ﾌｧｲﾙｻｲｽﾞｵｰﾊﾞｰ");
}

// The tag scan resolves addresses against the file's own, or against the address a fetched page
// (written to the temporary file as one quoted value) finally came from.
TEST_F(ConversionTest, FileAndFetchedPageAddresses) {
    gLinkLevel = 2;
    FakeHost& host = Convert("<a href=\"sub/x.htm\">X</a>\n<a href=\"#f\">F</a><a href=\"\">Self</a>");
    const std::string x = "0|X|" + FileUrl("sub/x.htm"), self = "1|Self|" + FileUrl("page one.htm");
    EXPECT_EQ(host.Result(), (Lines{x, self, "count 2"}));
    EXPECT_EQ(
        Convert("\"<a href=\"../up.html\">Up</a>\"\r\n", u"https://example.org/a/b/final.html").Result(),
        (Lines{x, self, "0|Up|https://example.org/a/up.html", "count 3"}));
}

TEST_F(ConversionTest, TooDeepANestingIsRefused) {
    gLinkLevel = 2;
    Convert("<a href=kept>kept</a>");
    FakeHost& host = Convert("<a href=x>x</a>" + Repeat("<div>", 513));
    EXPECT_EQ(host.Result(), (Lines{"入力ﾌｧｲﾙ異常|Critical|入力ﾌｧｲﾙ「" + ToUtf8(host.target) +
                                        "」は、\r\nﾀｸﾞの入れ子が512段を越えるため処理できません。\r\n"
                                        "処理を中止します。",
                                    "0|kept|" + FileUrl("kept"), "count 1"}));
    EXPECT_EQ(host.outcome, ConversionOutcome::Refused);
}

TEST_F(ConversionTest, UnexpectedEndKeepsTheLinksFound) {
    FakeHost& host = Convert("<a href=\"http://x/1\">One</a>\r\n<a href=\"http://x/2\">Two");
    // The warning comes before the links found are added.
    EXPECT_LT(std::find(host.calls.begin(), host.calls.end(), "message 入力ﾌｧｲﾙ異常"),
              std::find(host.calls.begin(), host.calls.end(), "show 1"));
    EXPECT_EQ(host.Result(), (Lines{"入力ﾌｧｲﾙ異常|Critical|入力ﾌｧｲﾙ「" + ToUtf8(host.target) +
                                        "」に、\r\n予期しないEOFが検出されました。\r\n"
                                        "全てのリンクを抽出できなかった可能性があります。",
                                    "0|One|http://x/1", "count 1"}));

    // Without a whole link before it, the no-links message follows; a page of 128,000 "<" has none.
    for (const std::string& page :
         {std::string("<a href=\"http://x/2\">Two"), std::string(kMaxInputBytes, '<')}) {
        FakeHost& none = Convert(page);
        EXPECT_EQ(none.Result().back(), "count 1");
        EXPECT_EQ(none.Result().at(none.messages.size() - 1),
                  "データなし|Information|「" + ToUtf8(none.target) +
                      "」に、\r\nﾘﾝｸﾃﾞｰﾀが存在しません。\r\nﾘｽﾄを作成できません。");
    }
}

TEST_F(ConversionTest, SecondFileAppendsAndNumbersPlaceholdersFromTheCount) {
    Convert(Anchors(5, "a"));
    gLinks.At(1).deleted = true; // a deleted record keeps its place
    // A NUL would cut the name as a file name.
    Convert("<a href=\"http://x/n\"></a><a href=\"http://x/m\"><img src=\"m.gif\"></a>"
            "<a href=\"http://x/nul\">readme\0.txt</a>"sv);
    EXPECT_EQ(host_.Result(),
              (Lines{"0|a0|http://x/a0", "1|a1|http://x/a1|deleted", "2|a2|http://x/a2", "3|a3|http://x/a3",
                     "4|a4|http://x/a4", "0|(名称無し 4)|http://x/n", "1|(名称無し 5)|http://x/m",
                     "2|readme\uFFFD.txt|http://x/nul", "count 7"}));
    gLinkLevel = 2; // the tag scan numbers from the count too
    EXPECT_EQ(Convert("<a href=\"http://x/t\"></a>").Result().at(8), "0|(名称無し 7)|http://x/t");
}

// At both levels: the line scan's and the tag scan's own checks of the button.
TEST_F(ConversionTest, CancelDropsOnlyThisFilesRecords) {
    for (const int level : {0, 2}) {
        ResetGlobals();
        gLinkLevel = level;
        Convert(Anchors(2, "first"));
        // The button is pressed while the second key of the next file is handled.
        FakeHost& host = Convert(Anchors(5, "second"), {}, 2);
        EXPECT_EQ(host.pumps, 2);
        EXPECT_EQ(host.outcome, ConversionOutcome::Cancelled);
        // The windows are put back, the status text emptied, before the message.
        EXPECT_EQ(Join(host.calls, 9), "pump|status: 処理状況：データ 2 を編集中...|enable|progress hidden|"
                                       "phase |status line shown|status: |arrow|message 処理の中断");
        EXPECT_EQ(host.Result(), (Lines{"処理の中断|Information|ｷｬﾝｾﾙされました。",
                                        "0|first0|http://x/first0", "1|first1|http://x/first1", "count 2"}));
        EXPECT_FALSE(gCancelRequested); // the next conversion starts normally
    }
}

// NAME_AB reaches the scan at both levels: the "alt=" value, or the text without its tags.
TEST_F(ConversionTest, NameModeChoosesAltTextOrTextAtEitherLevel) {
    for (const auto& [level, mode] : {std::pair{0, 0}, std::pair{0, 1}, std::pair{2, 1}, std::pair{2, 0}}) {
        gLinkLevel = level;
        gNameMode = mode;
        Convert("<a href=\"http://x/i\"><img src=\"i.gif\" alt=\"Pic\"> <b>b</b></a>");
    }
    EXPECT_EQ(LiveNames(), (Names{u"b", u"Pic", u"Pic", u"b"}));
}

TEST_F(ConversionTest, FullTableStopsTakingLinksAtEitherLevel) {
    for (const int level : {0, 2}) {
        ResetGlobals();
        gLinkLevel = level;
        while (gLinks.Size() < LinkTable::kMaxRecords - 2)
            gLinks.Add(u"http://x/", u"old", 0);
        FakeHost& host = Convert(Anchors(4));
        EXPECT_EQ(Join(host.calls, 4), "status line shown|status: |arrow|message ﾃﾞｰﾀ件数ｵｰﾊﾞｰ");
        // The message, the first record, the last two lines; nothing else but records between.
        const Lines result = host.Result();
        ASSERT_EQ(result.size(), LinkTable::kMaxRecords + 2u);
        EXPECT_EQ((Lines{result[0], result[1], result[result.size() - 2], result.back()}),
                  (Lines{"ﾃﾞｰﾀ件数ｵｰﾊﾞｰ|Exclamation|ﾘｽﾄに登録できるﾃﾞｰﾀは最大32767件です。\r\n"
                         "以降のﾘﾝｸは追加されませんでした。",
                         "0|old|http://x/", "1|l1|http://x/l1", "count 32767"}));
    }
}

// The size limits of each level: one byte over and an empty file are refused and leave the list alone;
// exactly the limit is converted.
TEST_F(ConversionTest, SizeLimitsRefuseWithoutTouchingTheList) {
    Convert(Anchors(2));
    const std::tuple<int, std::uintmax_t, std::u16string> limits[] = {
        {0, kMaxInputBytes,
         u"入力ファイルサイズ：128001 byte\r\n"
         u"ファイルサイズが128Kバイトを越えるファイルは処理できません。\r\n処理を中止します。"},
        {2, kMaxTagInputBytes,
         u"入力ファイルサイズ：8388609 byte\r\n"
         u"ファイルサイズが8Mバイトを越えるファイルは処理できません。\r\n処理を中止します。"},
    };
    for (const auto& [level, limit, text] : limits) {
        gLinkLevel = level;
        FakeHost& over = Convert(std::string(limit + 1, 'x'));
        EXPECT_EQ(over.calls, (Lines{"busy", "arrow", "message ﾌｧｲﾙｻｲｽﾞｵｰﾊﾞｰ"}));
        EXPECT_EQ(over.messages[0].text, text);
        EXPECT_EQ(over.outcome, ConversionOutcome::Unreadable);
        const std::string page = "<a href=\"http://x/\">Edge</a>";
        EXPECT_TRUE(Convert(page + std::string(limit - page.size(), ' ')).messages.empty());
    }
    FakeHost& empty = Convert("");
    EXPECT_EQ(empty.calls, (Lines{"busy", "arrow", "message ﾌｧｲﾙｻｲｽﾞｴﾗｰ"}));
    EXPECT_EQ(empty.outcome, ConversionOutcome::Unreadable);
    EXPECT_EQ(
        empty.Result(),
        (Lines{"ﾌｧｲﾙｻｲｽﾞｴﾗｰ|Critical|入力ファイルサイズ：0 byte\r\n"
               "ファイルサイズが0バイトのファイルは処理できません。\r\n処理を中止します。",
               "0|l0|http://x/l0", "1|l1|http://x/l1", "0|Edge|http://x/", "0|Edge|http://x/", "count 4"}));
}
