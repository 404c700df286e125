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

TEST(Shortcut, FileHoldsTheSectionAndTheUrlOnOneLine) {
    const test::ScratchDir dir;
    ASSERT_TRUE(WriteShortcutFile(dir.Path() / "Top.url", u"http://example.com/a?b=c", kCodec));
    EXPECT_EQ(Slurp(dir.Path() / "Top.url"), "[InternetShortcut]\r\nURL=http://example.com/a?b=c\r\n");
    ASSERT_TRUE(
        WriteShortcutFile(dir.Path() / "n.url", std::u16string(u"U\r\n[X]\nIconFile=e") + u'\0', kCodec));
    EXPECT_EQ(Slurp(dir.Path() / "n.url"), "[InternetShortcut]\r\nURL=U[X]IconFile=e\r\n");
}
