// Japanese pages in their real character sets, converted end to end through the system codec.

#include "core/Conversion.h"
#include "core/FakeHost.h"
#include "core/Globals.h"
#include "platform/SystemCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orvane;
using orvane::platform::SystemCodec;
using orvane::test::FakeHost;
using orvane::test::ScratchDir;

namespace {

// "リンク一覧ソ表" in each character set. In Shift_JIS both of the last two characters end with the
// byte of a backslash.
const std::string kSjis = "\x83\x8a\x83\x93\x83\x4e\x88\xea\x97\x97\x83\x5c\x95\x5c";
const std::string kEucJp = "\xa5\xea\xa5\xf3\xa5\xaf\xb0\xec\xcd\xf7\xa5\xbd\xc9\xbd";
const std::string kIso2022Jp =
    "\x1b\x24\x42\x25\x6a\x25\x73\x25\x2f\x30\x6c\x4d\x77\x25\x3d\x49\x3d\x1b\x28\x42";
const std::string kUtf8 =
    "\xe3\x83\xaa\xe3\x83\xb3\xe3\x82\xaf\xe4\xb8\x80\xe8\xa6\xa7\xe3\x82\xbd\xe8\xa1\xa8";
const std::u16string kName = u"リンク一覧ソ表";

class CodecTest : public ::testing::Test {
protected:
    void SetUp() override { ResetGlobals(); }
    void TearDown() override { ResetGlobals(); }

    FakeHost Convert(const std::string& bytes, const SystemCodec& codec) {
        FakeHost host;
        host.target = dir_.Write("page" + std::to_string(files_++) + ".htm", bytes);
        RunConversion(host.target, host, codec);
        return host;
    }

    std::vector<std::u16string> Names() const {
        std::vector<std::u16string> out;
        gLinks.ForEachLive([&](int, const LinkRecord& r) { out.push_back(r.name); });
        return out;
    }

    // Two anchors on two lines around the Japanese name.
    static std::string Page(const std::string& head, const std::string& name) {
        return "<html><head>" + head + "</head><body>\r\n<a href=\"http://x/1\">" + name +
               "</a>\r\n<a href=\"http://x/2\">2 " + name + "</a>\r\n</body></html>\r\n";
    }

    ScratchDir dir_;
    int files_ = 0;
};

} // namespace

TEST_F(CodecTest, DeclaredOrElseTheSystemCharacterSetIsDecoded) {
    const SystemCodec utf8System("UTF-8");
    Convert(Page("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">", kSjis),
            utf8System);
    Convert(Page("<meta charset=\"EUC-JP\">", kEucJp), utf8System);
    Convert(Page("<META CHARSET=iso-2022-jp>", kIso2022Jp), utf8System);
    Convert(Page("<meta charset=\"utf-8\">", kUtf8), utf8System);
    // Undeclared or unknown: the system code page.
    const SystemCodec sjisSystem("CP932");
    Convert(Page("", kSjis), sjisSystem);
    Convert(Page("<meta charset=x-no-such-charset>", kSjis), sjisSystem);
    std::vector<std::u16string> expected;
    for (int page = 0; page < 6; ++page)
        expected.insert(expected.end(), {kName, u"2 " + kName});
    EXPECT_EQ(Names(), expected);

    // The status line counts characters against bytes: 20 + 7 + 4 characters and the joint space,
    // from 20 + 14 + 4 bytes.
    const FakeHost host = Convert("<a href=\"http://x/\">" + kSjis + "</a>", sjisSystem);
    EXPECT_EQ(host.statusTexts.front(), u"処理状況：32/38 byte");
}

TEST_F(CodecTest, InvalidBytesBecomeReplacementCharacters) {
    const SystemCodec sjisSystem("CP932");
    // A byte that is no character, and a lead byte followed by "<": the "</a>" must survive.
    Convert("<a href=\"http://x/1\">\x83\x8a\xff\x83\x93</a><a href=\"http://x/2\">\x83\x8a\x81</a>",
            sjisSystem);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"リ\uFFFDン", u"リ\uFFFD"}));
}
