#include "core/Profile.h"

#include "FakeHost.h"

namespace fs = std::filesystem;
using orvane::test::Slurp;

namespace {

std::string Replace(std::string_view text, std::string_view section, std::vector<std::string> lines) {
    return orvane::ProfileReplaceSection(text, section, lines);
}

} // namespace

TEST(ProfileReplace, OnlyTheSectionChangesAndEveryOtherLineKeepsItsPlace) {
    const std::string text = ";head\n[First]\nx=1\n\n[orvane]\nold=1\n; old comment\n\n[Last]\ry=2";
    EXPECT_EQ(Replace(text, "Orvane", {"a=1", "b="}),
              ";head\r\n[First]\r\nx=1\r\n\r\n[Orvane]\r\na=1\r\nb=\r\n\r\n[Last]\r\ny=2\r\n");
    // An absent section is appended.
    EXPECT_EQ(Replace("[A]\r\nk=v", "B", {"x=1"}), "[A]\r\nk=v\r\n[B]\r\nx=1\r\n");
    // No line can become two.
    const std::string injected = std::string("URL=a\r\n[Evil]\nk=v") + '\0' + "x";
    EXPECT_EQ(Replace("", "S", {injected}), "[S]\r\nURL=a[Evil]k=vx\r\n");
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
    // Nothing is left behind beside the files.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);

    // Through a symbolic link the file it names is replaced; the link stays.
    dir.Write("real.url", "[Other]\r\nz=1\r\n");
    fs::create_symlink(dir.Path() / "real.url", dir.Path() / "link.url");
    ASSERT_TRUE(orvane::ProfileWriteSection(dir.Path() / "link.url", "S", lines));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.url"));
    EXPECT_EQ(Slurp(dir.Path() / "real.url"), "[Other]\r\nz=1\r\n[S]\r\nk=v\r\n");
}
