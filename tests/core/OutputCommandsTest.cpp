// The two output commands against a fake host: what they ask, in which order, what they write and
// what the table holds afterwards.

#include "core/OutputCommands.h"

#include "FakeHost.h"

#include <deque>

using namespace orvane;
using orvane::test::Slurp;

namespace {

const test::Utf8Codec kCodec;

// Answers from queues and writes down every question and message as one line.
struct FakeOutputHost final : OutputHost {
    std::vector<std::u16string> log;
    std::deque<std::optional<std::u16string>> names; // AskFileName answers; nullopt: the conversion
    std::deque<std::optional<std::u16string>> paths; // AskOutputFileName answers; none: cancel

    void ShowMessage(const MessageText& message) override { log.push_back(u"msg " + message.title); }
    static std::optional<std::u16string> Next(std::deque<std::optional<std::u16string>>& answers) {
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::u16string AskFileName(std::u16string_view name, std::u16string_view converted) override {
        log.push_back(u"rename " + std::u16string(name) + u" > " + std::u16string(converted));
        return Next(names).value_or(std::u16string(converted));
    }
    std::optional<std::u16string> AskOutputFileName(OutputKind kind, std::u16string_view dir,
                                                    std::u16string_view suggested) override {
        log.push_back((kind == OutputKind::ListFile ? u"lst " : u"url ") + std::u16string(dir) + u" | " +
                      std::u16string(suggested));
        return Next(paths);
    }
};

std::string Shortcut(const std::string& url) {
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

// A table, a host and a scratch directory `d` to write into.
struct OutputCommand : ::testing::Test {
    const test::ScratchDir dir;
    const std::u16string d = FromUtf8(dir.Path().string());
    LinkTable t;
    FakeOutputHost host;
};
using ListFileCommand = OutputCommand;
using ShortcutCommand = OutputCommand;

} // namespace

TEST_F(ListFileCommand, AsksWritesAndReportsOrLeavesEverythingAsItWas) {
    t.Add(u"U1", u"Top", 0);
    EXPECT_EQ(MakeListFile(t, 1, d, kCodec, host), std::nullopt); // cancelled
    host.paths.push_back(d + u"/links");                          // no extension added
    EXPECT_EQ(MakeListFile(t, 1, d, kCodec, host), d + u"/links");
    EXPECT_EQ(Slurp(dir.Path() / "links"), "Top,U1\r\n");

    // A path below a regular file: reported with its path, nothing written.
    host.paths.push_back(dir.Write("plain", "x") + u"/links.lst");
    EXPECT_EQ(MakeListFile(t, 0, d, kCodec, host), std::nullopt);
    EXPECT_EQ(host.log, (std::vector<std::u16string>{u"lst " + d + u" | ", u"lst " + d + u" | ", u"msg 完了",
                                                     u"lst " + d + u" | ", u"msg 作成失敗"}));
    EXPECT_EQ(ListFileFailedMessage(u"/x/a.lst").text, u"ﾘｽﾄﾌｧｲﾙを出力できませんでした。\r\n/x/a.lst");
}

TEST_F(ShortcutCommand, NamesAreSettledInTheTableAskingWhereTheRulesSay) {
    t.Add(u"U1", u"a/b", 0);             // converted: the suggestion taken
    t.Add(u"U2", u"x:y", 1);             // typed name brings a "|" back: asked once more
    t.Add(u"U3", u"con", 2);             // reserved: noticed, full width
    t.Add(u"U4", u"\u0001.rc\u202E", 3); // unsafe characters gone, no longer hidden
    t.Add(u"U5", u"\u202E\u0007", 4);    // nothing left: asked; the answer taken
    t.Add(u"U6", u"\u0007", 5);          // nothing left and an answer of controls only: failed
    t.Add(u"U7", u"gone", 6);
    t.At(6).deleted = true;
    t.Add(u"U8", std::u16string(100, u'漢'), 7); // 304 bytes with ".url": shortened to fit
    t.Add(u"U9", u"Evil", 8);                    // a link planted under its name: refused, listed
    std::filesystem::create_symlink(dir.Path() / "absent", dir.Path() / "Evil.url");
    host.names = {std::nullopt, u"p|q", std::nullopt, u"ty\u0007ped", u"\u0001"}; // pasted controls go
    const ShortcutOutcome out = MakeShortcutFiles(t, {d, false, 255}, kCodec, host);

    EXPECT_EQ(host.log,
              (std::vector<std::u16string>{u"rename a/b > a／b", u"rename x:y > x：y", u"rename p|q > p｜q",
                                           u"msg ﾌｧｲﾙ名変更確認", u"rename \u202E\u0007 > ",
                                           u"rename \u0007 > ", u"msg 作成失敗"}));
    EXPECT_EQ(test::LiveNames(t), (test::Names{u"a／b", u"p｜q", u"ｃｏｎ", u"．rc", u"typed", u"\u0007",
                                               std::u16string(100, u'漢'), u"Evil"}));
    EXPECT_EQ(out.written, 6u);
    EXPECT_EQ(out.failed, (std::vector<std::u16string>{u"\u0007", u"Evil.url"}));
    EXPECT_EQ(dir.Files(),
              (test::Lines{"Evil.url", "a／b.url", "p｜q.url", "typed.url", test::Repeat("漢", 83) + ".url",
                           "．rc.url", "ｃｏｎ.url"})); // in byte order
    EXPECT_EQ(Slurp(dir.Path() / "typed.url"), Shortcut("U5"));
}

TEST_F(ShortcutCommand, ExistingFilesAreAskedForKeptOrRewritten) {
    t.Add(u"U1", u"Top", 0);
    t.Add(u"U2", u"Top", 1);
    t.Add(u"U3", u"Top", 2);
    host.paths = {d + u"/Top_.url", std::nullopt}; // the suggestion accepted, then cancelled
    const ShortcutOutcome out = MakeShortcutFiles(t, {d, true, 255}, kCodec, host);
    EXPECT_EQ(host.log, (std::vector<std::u16string>{u"url " + d + u" | " + d + u"/Top_.url",
                                                     u"url " + d + u" | " + d + u"/Top_.url", u"msg 完了"}));
    EXPECT_EQ(dir.Files(), (test::Lines{"Top.url", "Top_.url"}));
    EXPECT_EQ(Slurp(dir.Path() / "Top_.url"), Shortcut("U2"));
    EXPECT_EQ((std::pair{out.written, out.skipped}), (std::pair<std::size_t, std::size_t>{2, 1}));

    // Without confirmation the file is rewritten.
    LinkTable again;
    again.Add(u"U4", u"Top", 0);
    MakeShortcutFiles(again, {d, false, 255}, kCodec, host);
    EXPECT_EQ(Slurp(dir.Path() / "Top.url"), Shortcut("U4"));
}
