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
const std::u16string kName = u"リンク一覧ソ表";

} // namespace

TEST(CodecTest, DeclaredOrElseTheSystemCharacterSetIsDecoded) {
    ResetGlobals();
    ScratchDir dir;
    // Two anchors on two lines around the Japanese name.
    const auto convert = [&](const std::string& head, const std::string& name, const SystemCodec& codec) {
        FakeHost host;
        host.target = dir.Write(
            "page.htm", "<html><head>" + head + "</head><body>\r\n<a href=\"http://x/1\">" + name +
                            "</a>\r\n<a href=\"http://x/2\">2 " + name + "</a>\r\n</body></html>\r\n");
        RunConversion(host.target, host, codec);
    };
    const SystemCodec utf8System("UTF-8");
    convert("<meta charset=\"EUC-JP\">", kEucJp, utf8System);
    convert("<META CHARSET=iso-2022-jp>", kIso2022Jp, utf8System);
    // Undeclared: the system code page.
    convert("", kSjis, SystemCodec("CP932"));
    std::vector<std::u16string> expected, names;
    for (int page = 0; page < 3; ++page)
        expected.insert(expected.end(), {kName, u"2 " + kName});
    gLinks.ForEachLive([&](int, const LinkRecord& r) { names.push_back(r.name); });
    EXPECT_EQ(names, expected);
    ResetGlobals();
}
