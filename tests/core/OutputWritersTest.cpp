#include "core/OutputWriters.h"

#include "core/Text.h"

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(Shortcut, FileHoldsTheSectionAndTheUrlOnOneLine) {
    const ScratchDir dir;
    ASSERT_TRUE(WriteShortcutFile(dir.Path() / "Top.url", u"http://example.com/a?b=c", kCodec));
    EXPECT_EQ(Slurp(dir.Path() / "Top.url"), "[InternetShortcut]\r\nURL=http://example.com/a?b=c\r\n");
    ASSERT_TRUE(
        WriteShortcutFile(dir.Path() / "n.url", std::u16string(u"U\r\n[X]\nIconFile=e") + u'\0', kCodec));
    EXPECT_EQ(Slurp(dir.Path() / "n.url"), "[InternetShortcut]\r\nURL=U[X]IconFile=e\r\n");
}

TEST(Shortcut, CompletionMessageListsTenFailuresAndCountsTheRest) {
    const std::u16string done = u"ﾊﾟｽ : [/out/] に、\r\nｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄを作成しました。";
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
