#include "core/OutputWriters.h"

#include "core/Text.h"

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace orvane;
using orvane::test::ScratchDir;
using orvane::test::Slurp;

namespace {

// A code page that holds ASCII only, to see that text goes through the codec.
class AsciiCodec final : public test::Utf8Codec {
public:
    std::string EncodeSystem(std::u16string_view text) const override {
        std::string out;
        for (char16_t c : text)
            out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return out;
    }
};

const test::Utf8Codec kCodec;

std::ptrdiff_t Entries(const fs::path& dir) {
    return std::distance(fs::directory_iterator(dir), fs::directory_iterator());
}

LinkTable ThreeRecords() {
    LinkTable t;
    t.Add(u"U1", u"Top", 0);
    t.Add(u"U2", u"News", 1);
    t.Add(u"U3", u"(名称無し 1)", 2);
    return t;
}

} // namespace

TEST(ListFile, BytesFollowTheTableAndTheListType) {
    LinkTable t = ThreeRecords();
    t.At(1).deleted = true;
    EXPECT_EQ(BuildListFileBytes(t, 0, kCodec), "U1\r\nU3\r\n");
    EXPECT_EQ(BuildListFileBytes(t, 1, kCodec), "Top,U1\r\n(名称無し 1),U3\r\n");
    // Hand-edited values act as the second choice.
    EXPECT_EQ(BuildListFileBytes(t, 7, kCodec), BuildListFileBytes(t, 1, kCodec));
    EXPECT_EQ(BuildListFileBytes(t, -1, kCodec), BuildListFileBytes(t, 1, kCodec));

    t.At(1).deleted = false;
    t.At(1).name.clear(); // a record without a name ends the walk
    EXPECT_EQ(BuildListFileBytes(t, 0, kCodec), "U1\r\n");
    EXPECT_EQ(BuildListFileBytes(LinkTable(), 1, kCodec), "");

    // Nothing is quoted, no value adds a line, and the text goes through the code page.
    LinkTable odd;
    odd.Add(std::u16string(u"http://x/\r\nevil") + u'\0' + u"!", u"a,\"b\"\n", 0);
    odd.Add(u"http://日本/", u"日本", 1);
    EXPECT_EQ(BuildListFileBytes(odd, 1, kCodec), "a,\"b\",http://x/evil!\r\n日本,http://日本/\r\n");
    EXPECT_EQ(BuildListFileBytes(odd, 1, AsciiCodec()), "a,\"b\",http://x/evil!\r\n??,http://?\?/\r\n");
}

TEST(ListFile, WriteReplacesTheFileOrLeavesTheOldOneWhole) {
    const ScratchDir dir;
    const fs::path lst = dir.Path() / "links"; // the chosen name is used as it is
    const LinkTable t = ThreeRecords();
    std::ofstream(lst, std::ios::binary) << "old content that is longer than the new one\r\n";
    ASSERT_TRUE(WriteListFile(lst, t, 0, kCodec));
    EXPECT_EQ(Slurp(lst), "U1\r\nU2\r\nU3\r\n");
    EXPECT_EQ(Entries(dir.Path()), 1);
    EXPECT_FALSE(WriteListFile(dir.Path() / "no such dir" / "a.lst", t, 0, kCodec));

    // A directory that takes no new file leaves the old one whole (the atomic write's other refusals
    // are checked with the profile writer). Permission checks do not hold for root.
    if (::geteuid() != 0) {
        fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
        ASSERT_NE(::access(dir.Path().c_str(), W_OK), 0);
        EXPECT_FALSE(WriteListFile(lst, t, 1, kCodec));
        fs::permissions(dir.Path(), fs::perms::owner_all);
        EXPECT_EQ(Slurp(lst), "U1\r\nU2\r\nU3\r\n");
        EXPECT_EQ(Entries(dir.Path()), 1);
    }
}

TEST(Shortcut, FileHoldsTheSectionAndTheUrlAndKeepsOtherSections) {
    const ScratchDir dir;
    ASSERT_TRUE(WriteShortcutFile(dir.Path() / "Top.url", u"http://example.com/a?b=c", kCodec));
    EXPECT_EQ(Slurp(dir.Path() / "Top.url"), "[InternetShortcut]\r\nURL=http://example.com/a?b=c\r\n");
    ASSERT_TRUE(
        WriteShortcutFile(dir.Path() / "n.url", std::u16string(u"U\r\n[X]\nIconFile=e") + u'\0', kCodec));
    EXPECT_EQ(Slurp(dir.Path() / "n.url"), "[InternetShortcut]\r\nURL=U[X]IconFile=e\r\n");
    EXPECT_FALSE(WriteShortcutFile(dir.Path() / "missing" / "a.url", u"U", kCodec));

    // Overwriting drops the other keys of its own section only.
    const fs::path url = dir.Path() / "Top.url";
    const std::string other = "[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,2\r\n";
    std::ofstream(url, std::ios::binary) << "[InternetShortcut]\r\nURL=old\r\nIconIndex=1\r\n" << other;
    ASSERT_TRUE(WriteShortcutFile(url, u"U2", kCodec));
    EXPECT_EQ(Slurp(url), "[InternetShortcut]\r\nURL=U2\r\n" + other);
}

TEST(Shortcut, CompletionMessageListsTenFailuresAndCountsTheRest) {
    const std::u16string done = u"ﾊﾟｽ : [/out/] に、\r\nｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄを作成しました。";
    EXPECT_EQ(ShortcutCompletionMessage(u"/out/", {}),
              (MessageText{done, u"完了", MessageIcon::Information}));

    std::vector<std::u16string> names;
    std::u16string listed = done + u"\r\n\r\n次のﾌｧｲﾙは作成できませんでした：";
    for (int i = 1; i <= 12; ++i) {
        names.push_back(u"f\"" + ToU16Number(i) + u".url");
        if (i <= 10)
            listed += u"\r\n" + names.back();
    }
    EXPECT_EQ(ShortcutCompletionMessage(u"/out/", std::span(names).first(10)),
              (MessageText{listed, u"作成失敗", MessageIcon::Exclamation}));
    EXPECT_EQ(ShortcutCompletionMessage(u"/out/", names).text, listed + u"\r\nほか2件");
}
