#include "core/Profile.h"

#include "FakeHost.h"

namespace fs = std::filesystem;
using orvane::test::Slurp;

namespace {

std::string Replace(std::string_view text, std::string_view section, std::vector<std::string> lines) {
    return orvane::ProfileReplaceSection(text, section, lines);
}

} // namespace

TEST(ProfileReplace, OnlyTheSectionChangesAndEveryOtherByteStays) {
    // Line ends outside the section stay as they were: LF, CR, none at the end.
    const std::string text = ";head\n[First]\nx=1\n\n[orvane]\nold=1\n; old comment\n\n[Last]\ry=2";
    EXPECT_EQ(Replace(text, "Orvane", {"a=1", "b="}),
              ";head\n[First]\nx=1\n\n[Orvane]\r\na=1\r\nb=\r\n\n[Last]\ry=2");
    EXPECT_EQ(Replace("[S]\nold\n[T]\n", "S", {"k=v"}), "[S]\r\nk=v\r\n[T]\n");
    // An absent section is appended, after a line end only when the text lacks one.
    EXPECT_EQ(Replace("[A]\r\nk=v", "B", {"x=1"}), "[A]\r\nk=v\r\n[B]\r\nx=1\r\n");
    EXPECT_EQ(Replace("[A]\nk=v\n", "B", {"x=1"}), "[A]\nk=v\n[B]\r\nx=1\r\n");
    // No line can become two.
    const std::string injected = std::string("URL=a\r\n[Evil]\nk=v") + '\0' + "x";
    EXPECT_EQ(Replace("", "S", {injected}), "[S]\r\nURL=a[Evil]k=vx\r\n");
}

// A value past the limit is cut before the character that would be split; a character ending on the
// limit stays whole, and bytes that start no character are cut at the limit itself.
TEST(ProfileRead, LongValuesAreCutAtACharacterBoundary) {
    const std::size_t max = orvane::kProfileValueMax;
    const std::string a(max, 'a'), ji = "\xE6\x97\xA5", emoji = "\xF0\x9F\x98\x80";
    const std::pair<std::string, std::string> cases[] = {
        {a.substr(0, max - 1) + ji, a.substr(0, max - 1)},
        {a.substr(0, max - 2) + ji, a.substr(0, max - 2)},
        {a.substr(0, max - 3) + ji + "z", a.substr(0, max - 3) + ji},
        {a.substr(0, max - 1) + emoji, a.substr(0, max - 1)},
        {a.substr(0, max - 3) + emoji, a.substr(0, max - 3)},
        {a + "b", a},
        {std::string(max + 5, '\x80'), std::string(max, '\x80')},
    };
    for (const auto& [value, read] : cases) {
        EXPECT_EQ(orvane::ProfileReadValue("[S]\r\nk=" + value + "\r\n", "S", "k"), read) << value.size();
    }
}

TEST(ProfileFile, WriteCreatesReplacesAndRefusesWithoutHarm) {
    const orvane::test::ScratchDir dir;
    const fs::path ini = dir.Path() / "a.ini";
    const std::vector<std::string> lines{"k=v"};
    ASSERT_TRUE(orvane::ProfileWriteSection(ini, "S", lines));
    EXPECT_EQ(Slurp(ini), "[S]\r\nk=v\r\n");
    EXPECT_EQ(orvane::ProfileReadFileValue(ini, "s", "K"), "v");
    EXPECT_EQ(orvane::ProfileReadFileValue(dir.Path() / "none.ini", "S", "k"), std::nullopt);

    dir.Write("a.ini", "[T]\r\nt=1\r\n[S]\r\nk=old\r\n");
    ASSERT_TRUE(orvane::ProfileWriteSection(ini, "S", lines));
    EXPECT_EQ(Slurp(ini), "[T]\r\nt=1\r\n[S]\r\nk=v\r\n");

    // A read-only file stays as it is.
    fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(orvane::ProfileWriteSection(ini, "S", {std::vector<std::string>{"k=new"}}));
    EXPECT_EQ(Slurp(ini), "[T]\r\nt=1\r\n[S]\r\nk=v\r\n");
    EXPECT_EQ(dir.Files(), orvane::test::Lines{"a.ini"}); // nothing is left behind

    // Through a symbolic link the file it names is replaced; the link stays.
    dir.Write("real.url", "[Other]\r\nz=1\r\n");
    fs::create_symlink(dir.Path() / "real.url", dir.Path() / "link.url");
    ASSERT_TRUE(orvane::ProfileWriteSection(dir.Path() / "link.url", "S", lines));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.url"));
    EXPECT_EQ(Slurp(dir.Path() / "real.url"), "[Other]\r\nz=1\r\n[S]\r\nk=v\r\n");
}

TEST(ProfileFile, ALineAcrossTwoPiecesKeepsTheBlanksInsideIt) {
    // The file is read in pieces of 64 KiB: "[Ma" ends the first and "  ny]" begins the second.
    const orvane::test::ScratchDir dir;
    dir.Write("p.ini", std::string(65532, ';') + "\n[Ma  ny]\r\nk=wrong\r\n[Many]\r\nk=right\r\n");
    EXPECT_EQ(orvane::ProfileReadFileValue(dir.Path() / "p.ini", "Many", "k"), "right");
}

TEST(ProfileFile, TheFileIsWrittenAsTheTextRuleSaysWithoutHoldingItWhole) {
    // The file is copied piece by piece around the section: the same bytes as the in-memory rule,
    // with pieces ending inside a CR LF and lines longer than a piece.
    const orvane::test::ScratchDir dir;
    const fs::path ini = dir.Path() / "big.ini";
    std::string text = "[Before]\n" + std::string(70000, 'x') + "\r";
    for (int i = 0; i < 20000; ++i)
        text += "\r\n";
    text += "[S]\nk=old\n" + std::string(100000, ' ') + "\n\r\n[After]\ny=" + std::string(65535, 'y') + "\r";
    // Six-byte lines: somewhere a piece ends between the CR and the LF of one.
    text += "[Many]\r\n";
    for (int i = 0; i < 30000; ++i)
        text += "kk=v\r\n";
    dir.Write("big.ini", text);
    const std::vector<std::string> lines{"k=new"};
    ASSERT_TRUE(orvane::ProfileWriteSection(ini, "S", lines));
    EXPECT_EQ(Slurp(ini), orvane::ProfileReplaceSection(text, "S", lines));
    EXPECT_EQ(orvane::ProfileReadFileValue(ini, "S", "k"), "new");
    EXPECT_EQ(orvane::ProfileReadFileValue(ini, "After", "y"), std::string(orvane::kProfileValueMax, 'y'));
    int many = 0;
    ASSERT_TRUE(orvane::ProfileForEachSectionLine(ini, "many", [&](std::string_view line) {
        EXPECT_EQ(line, "kk=v");
        ++many;
    }));
    EXPECT_EQ(many, 30000);
}
