#include "core/Profile.h"

#include "core/AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using orvane::ProfileReadValue;
using orvane::ProfileReplaceSection;

namespace {

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "orvane-profile-XXXXXX").string();
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

std::string Replace(std::string_view text, std::string_view section, std::vector<std::string> lines) {
    return ProfileReplaceSection(text, section, lines);
}

} // namespace

TEST(ProfileRead, NamesIgnoreCaseAndBlanksValuesLoseOnePairOfQuotes) {
    const std::string text = "; a comment\r\n"
                             "k=outside any section\r\n"
                             "[Other]\r\n"
                             "Key=other section\r\n"
                             " \t[ orvane ] \r\n"
                             "  ; Key=commented out\r\n"
                             "\tkEY \t=  spaced value\t \r\n"
                             "key=second one loses\r\n"
                             "dq=\"  kept spaces  \"\r\n"
                             "sq='x'\r\n"
                             "mixed=\"x'\r\n"
                             "lone=\"\r\n"
                             "inner=a \"b\" c\r\n"
                             "empty=\r\n"
                             "emptyquotes=\"\"\r\n"
                             "noequals\r\n"
                             "[Next]\r\n"
                             "after=next section\r\n";
    EXPECT_EQ(ProfileReadValue(text, "ORVANE", "key"), "spaced value");
    EXPECT_EQ(ProfileReadValue(text, "Orvane", "DQ"), "  kept spaces  ");
    EXPECT_EQ(ProfileReadValue(text, "Orvane", "sq"), "x");
    EXPECT_EQ(ProfileReadValue(text, "Orvane", "mixed"), "\"x'");
    EXPECT_EQ(ProfileReadValue(text, "Orvane", "lone"), "\"");
    EXPECT_EQ(ProfileReadValue(text, "Orvane", "inner"), "a \"b\" c");
    EXPECT_EQ(ProfileReadValue(text, "Orvane", "empty"), "");
    EXPECT_EQ(ProfileReadValue(text, "Orvane", "emptyquotes"), "");
    EXPECT_EQ(ProfileReadValue(text, "Orvane", "noequals"), std::nullopt);
    EXPECT_EQ(ProfileReadValue(text, "Orvane", "k"), std::nullopt);     // before any section
    EXPECT_EQ(ProfileReadValue(text, "Orvane", "after"), std::nullopt); // in the next section
    EXPECT_EQ(ProfileReadValue(text, "Other", "key"), "other section");
    EXPECT_EQ(ProfileReadValue(text, "Missing", "key"), std::nullopt);
}

TEST(ProfileRead, EveryLineEndIsAccepted) {
    const std::string text = "[S]\ra=1\nb=2\r\nc=3\r\rd=4";
    EXPECT_EQ(ProfileReadValue(text, "S", "a"), "1");
    EXPECT_EQ(ProfileReadValue(text, "S", "b"), "2");
    EXPECT_EQ(ProfileReadValue(text, "S", "c"), "3");
    EXPECT_EQ(ProfileReadValue(text, "S", "d"), "4"); // last line without an end
}

TEST(ProfileRead, LongValuesAreCutAtACharacterBoundary) {
    // "a" then three-byte characters: byte 4095 falls inside a character, so the cut is at 4093.
    std::string value = "a";
    while (value.size() < 5000)
        value += "\xE3\x81\x82"; // U+3042
    const std::string text = "[S]\r\nv=" + value + "\r\n";
    const auto cut = ProfileReadValue(text, "S", "v");
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->size(), 4093u);
    EXPECT_EQ(*cut, value.substr(0, 4093));

    const std::string exact(orvane::kProfileValueMax, 'x');
    EXPECT_EQ(ProfileReadValue("[S]\nv=" + exact, "S", "v"), exact);

    // The caller's boundary rule is the one used.
    std::size_t askedMax = 0;
    const orvane::ProfileBoundary every4 = [&](std::string_view, std::size_t max) {
        askedMax = max;
        return max - max % 4;
    };
    EXPECT_EQ(ProfileReadValue(text, "S", "v", every4)->size(), 4092u);
    EXPECT_EQ(askedMax, orvane::kProfileValueMax);
}

TEST(ProfileRead, Utf8BoundaryNeverSplitsASequence) {
    const std::string four = "\xF0\x9F\x98\x80"; // U+1F600
    const std::string s = four + four;
    EXPECT_EQ(orvane::Utf8Boundary(s, 4), 4u);
    EXPECT_EQ(orvane::Utf8Boundary(s, 5), 4u);
    EXPECT_EQ(orvane::Utf8Boundary(s, 7), 4u);
    EXPECT_EQ(orvane::Utf8Boundary(s, 3), 0u);
    EXPECT_EQ(orvane::Utf8Boundary("abc", 2), 2u);
    EXPECT_EQ(orvane::Utf8Boundary("abc", 5), 3u);
}

TEST(ProfileReplace, OnlyTheSectionChangesAndEveryOtherLineKeepsItsPlace) {
    const std::string text = ";head\n"
                             "[First]\n"
                             "x=1\n"
                             "\n"
                             "[orvane]\n"
                             "old=1\n"
                             "; old comment\n"
                             "\n"
                             "[Last]\r"
                             "y=2";
    EXPECT_EQ(Replace(text, "Orvane", {"a=1", "b="}), ";head\r\n"
                                                      "[First]\r\n"
                                                      "x=1\r\n"
                                                      "\r\n"
                                                      "[Orvane]\r\n"
                                                      "a=1\r\n"
                                                      "b=\r\n"
                                                      "\r\n"
                                                      "[Last]\r\n"
                                                      "y=2\r\n");
}

TEST(ProfileReplace, AbsentSectionIsAppendedAndEmptyTextCreatesIt) {
    EXPECT_EQ(Replace("", "InternetShortcut", {"URL=u"}), "[InternetShortcut]\r\nURL=u\r\n");
    EXPECT_EQ(Replace("[A]\r\nk=v", "B", {"x=1"}), "[A]\r\nk=v\r\n[B]\r\nx=1\r\n");
    EXPECT_EQ(Replace("[B]\r\n[C]\r\n", "B", {}), "[B]\r\n[C]\r\n");
}

TEST(ProfileReplace, NoLineCanBecomeTwo) {
    const std::string injected = std::string("URL=a\r\n[Evil]\nk=v") + '\0' + "x";
    EXPECT_EQ(Replace("", "S", {injected}), "[S]\r\nURL=a[Evil]k=vx\r\n");
}

TEST(ProfileFile, WriteCreatesReplacesAndRefusesWithoutHarm) {
    TempDir dir;
    const fs::path ini = dir.path() / "a.ini";
    const std::vector<std::string> lines{"k=v"};
    ASSERT_TRUE(orvane::ProfileWriteSection(ini, "S", lines));
    EXPECT_EQ(Slurp(ini), "[S]\r\nk=v\r\n");
    EXPECT_EQ(orvane::ProfileReadFileValue(ini, "s", "K"), "v");
    EXPECT_EQ(orvane::ProfileReadFileValue(dir.path() / "none.ini", "S", "k"), std::nullopt);

    Put(ini, "[T]\r\nt=1\r\n[S]\r\nk=old\r\n");
    ASSERT_TRUE(orvane::ProfileWriteSection(ini, "S", lines));
    EXPECT_EQ(Slurp(ini), "[T]\r\nt=1\r\n[S]\r\nk=v\r\n");

    // A read-only file stays as it is.
    fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(orvane::ProfileWriteSection(ini, "S", {std::vector<std::string>{"k=new"}}));
    EXPECT_EQ(Slurp(ini), "[T]\r\nt=1\r\n[S]\r\nk=v\r\n");

    // A folder in the file's place is neither read nor replaced.
    fs::create_directory(dir.path() / "folder.ini");
    EXPECT_FALSE(orvane::ProfileWriteSection(dir.path() / "folder.ini", "S", lines));
    EXPECT_TRUE(fs::is_directory(dir.path() / "folder.ini"));

    // Nothing is left behind beside the files.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 2);
}

TEST(ProfileFile, WritingThroughALinkReplacesTheFileItNames) {
    TempDir dir;
    const fs::path real = dir.path() / "real.url";
    const fs::path link = dir.path() / "link.url";
    Put(real, "[Other]\r\nz=1\r\n");
    fs::create_symlink(real, link);
    ASSERT_TRUE(orvane::ProfileWriteSection(link, "S", {std::vector<std::string>{"k=v"}}));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Slurp(real), "[Other]\r\nz=1\r\n[S]\r\nk=v\r\n");
}
