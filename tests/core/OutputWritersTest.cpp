#include "core/OutputWriters.h"

#include "core/Text.h"

#include "core/AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

// A code page that holds ASCII only, to see that text goes through the codec.
class AsciiCodec final : public TextCodec {
public:
    std::optional<std::u16string> Decode(std::string_view bytes, std::string_view) const override {
        return DecodeSystem(bytes);
    }
    std::u16string DecodeSystem(std::string_view bytes) const override {
        return {bytes.begin(), bytes.end()};
    }
    std::string EncodeSystem(std::u16string_view text) const override {
        std::string out;
        for (char16_t c : text)
            out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return out;
    }
};

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "orvane-output-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
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

void Put(const fs::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

std::size_t Entries(const fs::path& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++n;
    return n;
}

const Utf8Codec kCodec;

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
}

TEST(ListFile, NothingIsQuotedNoValueAddsALineAndTextGoesThroughTheCodePage) {
    LinkTable t;
    t.Add(std::u16string(u"http://x/\r\nevil") + u'\0' + u"!", u"a,\"b\"\n", 0);
    t.Add(u"http://日本/", u"日本", 1);
    EXPECT_EQ(BuildListFileBytes(t, 1, kCodec), "a,\"b\",http://x/evil!\r\n日本,http://日本/\r\n");
    EXPECT_EQ(BuildListFileBytes(t, 1, AsciiCodec()), "a,\"b\",http://x/evil!\r\n??,http://?"
                                                      "?/\r\n");
}

TEST(ListFile, WriteReplacesTheFileOrLeavesTheOldOneWhole) {
    TempDir dir;
    const fs::path lst = dir.path() / "links"; // the chosen name is used as it is
    const LinkTable t = ThreeRecords();
    ASSERT_TRUE(WriteListFile(lst, t, 0, kCodec));
    EXPECT_EQ(Slurp(lst), "U1\r\nU2\r\nU3\r\n");
    Put(lst, "old content that is longer than the new one\r\n");
    ASSERT_TRUE(WriteListFile(lst, t, 0, kCodec));
    EXPECT_EQ(Slurp(lst), "U1\r\nU2\r\nU3\r\n");
    EXPECT_EQ(Entries(dir.path()), 1u);

    EXPECT_FALSE(WriteListFile(dir.path() / "no such dir" / "a.lst", t, 0, kCodec));

    fs::permissions(lst, fs::perms::owner_read);
    EXPECT_FALSE(WriteListFile(lst, t, 1, kCodec));
    EXPECT_EQ(Slurp(lst), "U1\r\nU2\r\nU3\r\n");
    fs::permissions(lst, fs::perms::owner_read | fs::perms::owner_write);

    // Permission checks do not hold for root, so this case means nothing there.
    if (::geteuid() != 0) {
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        ASSERT_NE(::access(dir.path().c_str(), W_OK), 0);
        EXPECT_FALSE(WriteListFile(lst, t, 1, kCodec));
        fs::permissions(dir.path(), fs::perms::owner_all);
        EXPECT_EQ(Slurp(lst), "U1\r\nU2\r\nU3\r\n");
        EXPECT_EQ(Entries(dir.path()), 1u);
    }
}

TEST(Shortcut, NewFileHoldsExactlyTheSectionAndTheUrl) {
    TempDir dir;
    ASSERT_TRUE(WriteShortcutFile(dir.path() / "Top.url", u"http://example.com/a?b=c", kCodec));
    EXPECT_EQ(Slurp(dir.path() / "Top.url"), "[InternetShortcut]\r\nURL=http://example.com/a?b=c\r\n");

    ASSERT_TRUE(
        WriteShortcutFile(dir.path() / "n.url", std::u16string(u"U\r\n[X]\nIconFile=e") + u'\0', kCodec));
    EXPECT_EQ(Slurp(dir.path() / "n.url"), "[InternetShortcut]\r\nURL=U[X]IconFile=e\r\n");

    EXPECT_FALSE(WriteShortcutFile(dir.path() / "missing" / "a.url", u"U", kCodec));
}

TEST(Shortcut, OverwritingKeepsOtherSectionsAndDropsOtherKeysOfItsOwn) {
    TempDir dir;
    const fs::path url = dir.path() / "Top.url";
    Put(url, "[InternetShortcut]\r\nURL=old\r\nIconIndex=1\r\n[{000214A0-0000-0000-C000-000000000046}]"
             "\r\nProp3=19,2\r\n");
    ASSERT_TRUE(WriteShortcutFile(url, u"U2", kCodec));
    EXPECT_EQ(Slurp(url),
              "[InternetShortcut]\r\nURL=U2\r\n[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,2\r\n");
}

TEST(Shortcut, CompletionMessageListsEveryFailure) {
    const std::u16string done = u"ﾊﾟｽ : [/out/] に、\r\nｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄを作成しました。";
    EXPECT_EQ(ShortcutCompletionMessage(u"/out/", {}),
              (MessageText{done, u"完了", MessageIcon::Information}));

    const std::vector<std::u16string> one{u"a\".url"};
    EXPECT_EQ(ShortcutCompletionMessage(u"/out/", one),
              (MessageText{done + u"\r\n\r\n次のﾌｧｲﾙは作成できませんでした：\r\na\".url", u"作成失敗",
                           MessageIcon::Exclamation}));

    std::vector<std::u16string> names;
    std::u16string listed;
    for (int i = 1; i <= 12; ++i) {
        std::u16string name = u"f";
        name += ToU16Number(i);
        name += u".url";
        if (i <= 10) {
            listed += u"\r\n";
            listed += name;
        }
        names.push_back(std::move(name));
    }
    const std::u16string head = done + u"\r\n\r\n次のﾌｧｲﾙは作成できませんでした：";
    EXPECT_EQ(ShortcutCompletionMessage(u"/out/", std::span(names).first(10)).text, head + listed);
    const MessageText twelve = ShortcutCompletionMessage(u"/out/", names);
    EXPECT_EQ(twelve.text, head + listed + u"\r\nほか2件");
    EXPECT_EQ(twelve.title, u"作成失敗");
}
