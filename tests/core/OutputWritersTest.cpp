#include "core/OutputWriters.h"

#include "FakeHost.h"

using namespace orvane;
using orvane::test::Slurp;

namespace {

// A code page that holds ASCII only, to see that text goes through the codec.
struct AsciiCodec final : test::Utf8Codec {
    std::string EncodeSystem(std::u16string_view text) const override {
        std::string out;
        for (char16_t c : text)
            out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return out;
    }
};

const test::Utf8Codec kCodec;

} // namespace

TEST(ListFile, BytesFollowTheTableAndTheListType) {
    LinkTable t;
    t.Add(u"U1", u"Top", 0);
    t.Add(u"U2", u"News", 1);
    t.Add(u"U3", u"(名称無し 1)", 2);
    t.At(1).deleted = true;
    EXPECT_EQ(BuildListFileBytes(t, 0, kCodec), "U1\r\nU3\r\n");
    EXPECT_EQ(BuildListFileBytes(t, 1, kCodec), "Top,U1\r\n(名称無し 1),U3\r\n");
    // Hand-edited values act as the second choice.
    EXPECT_EQ(BuildListFileBytes(t, 7, kCodec), BuildListFileBytes(t, 1, kCodec));

    t.At(1).deleted = false;
    t.At(1).name.clear(); // a record without a name ends the walk
    EXPECT_EQ(BuildListFileBytes(t, 0, kCodec), "U1\r\n");

    // Nothing is quoted, no value adds a line, and the text goes through the code page.
    LinkTable odd;
    odd.Add(std::u16string(u"http://x/\r\nevil") + u'\0' + u"!", u"a,\"b\"\n", 0);
    odd.Add(u"http://日本/", u"日本", 1);
    EXPECT_EQ(BuildListFileBytes(odd, 1, kCodec), "a,\"b\",http://x/evil!\r\n日本,http://日本/\r\n");
    EXPECT_EQ(BuildListFileBytes(odd, 1, AsciiCodec()), "a,\"b\",http://x/evil!\r\n??,http://?\?/\r\n");
}

TEST(Shortcut, EveryNameUpToTheFileSystemLimitIsWrittenBesideAShortTemporaryName) {
    const test::ScratchDir dir;
    // The temporary file once took the name with a prefix and a suffix and went over the limit.
    const std::string longest = std::string(251, 'a') + ".url";
    ASSERT_TRUE(WriteShortcutFile(dir.Path() / longest, u"http://y/", kCodec));
    ASSERT_TRUE(WriteShortcutFile(dir.Path() / longest, u"http://z/", kCodec)); // replaced in place
    EXPECT_EQ(Slurp(dir.Path() / longest), "[InternetShortcut]\r\nURL=http://z/\r\n");
    EXPECT_EQ(dir.Files(), test::Lines{longest}); // nothing else was left behind
}

TEST(Shortcut, ALinkIsNeverWrittenThroughAndOtherBytesStayAsTheyWere) {
    namespace fs = std::filesystem;
    const test::ScratchDir dir;
    // A page names the shortcut after a planted link to a shell start-up file.
    const std::string profile = "export PATH=/bin\nalias ls='ls -l'\n";
    dir.Write("profile", profile);
    fs::create_symlink(dir.Path() / "profile", dir.Path() / "Top.url");
    EXPECT_FALSE(WriteShortcutFile(dir.Path() / "Top.url", u"http://evil/", kCodec));
    EXPECT_EQ(Slurp(dir.Path() / "profile"), profile);
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "Top.url"));
    // A dangling link creates nothing where it points either: no "absent" appears.
    fs::create_symlink(dir.Path() / "absent", dir.Path() / "Gone.url");
    EXPECT_FALSE(WriteShortcutFile(dir.Path() / "Gone.url", u"http://evil/", kCodec));
    EXPECT_EQ(dir.Files(), (test::Lines{"Gone.url", "Top.url", "profile"}));

    // An existing shortcut: only its section changes; LF line ends, a comment and another program's
    // section keep every byte.
    dir.Write("Old.url", "; made by hand\n[InternetShortcut]\nURL=http://old/\nIconIndex=1\n\n"
                         "[{000214A0-0000-0000-C000-000000000046}]\nProp3=19,11\n");
    ASSERT_TRUE(WriteShortcutFile(dir.Path() / "Old.url", u"http://new/", kCodec));
    EXPECT_EQ(Slurp(dir.Path() / "Old.url"), "; made by hand\n[InternetShortcut]\r\nURL=http://new/\r\n\n"
                                             "[{000214A0-0000-0000-C000-000000000046}]\nProp3=19,11\n");
}

TEST(Shortcut, TheFailureListSaysWhenNothingWasCreated) {
    const std::u16string failed[] = {u"a.url", u"b.url"};
    const MessageText none = ShortcutCompletionMessage(u"/out", failed, 0);
    EXPECT_EQ(none.text, u"ﾊﾟｽ : [/out] に、\r\nｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄは1件も作成されませんでした。\r\n\r\n"
                         u"次のﾌｧｲﾙは作成できませんでした：\r\na.url\r\nb.url");
    EXPECT_EQ(none.title, u"作成失敗");
    const MessageText some = ShortcutCompletionMessage(u"/out", failed, 3);
    EXPECT_EQ(some.text.rfind(u"ﾊﾟｽ : [/out] に、\r\nｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄを作成しました。\r\n\r\n", 0), 0u);
    EXPECT_EQ(ShortcutCompletionMessage(u"/out", {}, 3).title, u"完了");
}
