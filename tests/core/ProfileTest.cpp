#include "core/Profile.h"

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using orvane::ProfileReadValue;
using orvane::test::Slurp;

namespace {

std::string Replace(std::string_view text, std::string_view section, std::vector<std::string> lines) {
    return orvane::ProfileReplaceSection(text, section, lines);
}

void Put(const fs::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

} // namespace

TEST(ProfileRead, NamesIgnoreCaseAndBlanksValuesLoseOnePairOfQuotes) {
    const std::string text = "; a comment\r\nk=outside any section\r\n[Other]\r\nKey=other section\r\n"
                             " \t[ orvane ] \r\n  ; Key=commented out\r\n\tkEY \t=  spaced value\t \r\n"
                             "key=second one loses\r\ndq=\"  kept spaces  \"\r\nsq='x'\r\nmixed=\"x'\r\n"
                             "lone=\"\r\nnoequals\r\n"
                             "[Next]\r\nafter=next section\r\n";
    const std::pair<const char*, const char*> values[] = {
        {"key", "spaced value"}, {"DQ", "  kept spaces  "}, {"sq", "x"}, {"mixed", "\"x'"}, {"lone", "\""},
    };
    for (const auto& [key, value] : values)
        EXPECT_EQ(ProfileReadValue(text, "ORVANE", key), value) << key;
    // "k" lies before any section, "after" in the next one.
    for (const char* key : {"noequals", "k", "after"})
        EXPECT_EQ(ProfileReadValue(text, "Orvane", key), std::nullopt) << key;
    EXPECT_EQ(ProfileReadValue(text, "Other", "key"), "other section");
}

TEST(ProfileRead, LongValuesAreCutAtACharacterBoundary) {
    // "a" then three-byte characters: byte 4095 falls inside a character, so the cut is at 4093.
    std::string value = "a";
    while (value.size() < 5000)
        value += "\xE3\x81\x82"; // U+3042
    EXPECT_EQ(ProfileReadValue("[S]\r\nv=" + value + "\r\n", "S", "v"), value.substr(0, 4093));

    // A four-byte character is never split either.
    const std::string four = "\xF0\x9F\x98\x80"; // U+1F600
    EXPECT_EQ(orvane::Utf8Boundary(four + four, 7), 4u);
}

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

    Put(ini, "[T]\r\nt=1\r\n[S]\r\nk=old\r\n");
    ASSERT_TRUE(orvane::ProfileWriteSection(ini, "S", lines));
    EXPECT_EQ(Slurp(ini), "[T]\r\nt=1\r\n[S]\r\nk=v\r\n");

    // A read-only file stays as it is.
    fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(orvane::ProfileWriteSection(ini, "S", {std::vector<std::string>{"k=new"}}));
    EXPECT_EQ(Slurp(ini), "[T]\r\nt=1\r\n[S]\r\nk=v\r\n");
    // Nothing is left behind beside the files.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);

    // Through a symbolic link the file it names is replaced; the link stays.
    Put(dir.Path() / "real.url", "[Other]\r\nz=1\r\n");
    fs::create_symlink(dir.Path() / "real.url", dir.Path() / "link.url");
    ASSERT_TRUE(orvane::ProfileWriteSection(dir.Path() / "link.url", "S", lines));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.url"));
    EXPECT_EQ(Slurp(dir.Path() / "real.url"), "[Other]\r\nz=1\r\n[S]\r\nk=v\r\n");
}
