// The system codec: named character sets and the system code page decoded and encoded exactly, the
// locale's character set as the system code page, and every set of iconv against hostile endings.

#include "core/FakeHost.h"
#include "platform/SystemCodec.h"
#include "support/IconvNames.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace orvane;
using namespace std::string_literals;
using orvane::platform::SystemCodec;
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

TEST(CodecTest, NamedCharacterSetsDecodeToExactlyTheirText) {
    const SystemCodec codec("UTF-8");
    // The table (Shift_JIS) and the general path: nothing before, nothing after.
    EXPECT_EQ(codec.Decode(kSjis, "Shift_JIS"), kName);
    EXPECT_EQ(codec.Decode(kEucJp, "EUC-JP"), kName);
    EXPECT_EQ(codec.Decode(kIso2022Jp, "ISO-2022-JP"), kName);
    EXPECT_EQ(codec.Decode("", "EUC-JP"), u"");
    // One replacement for a refused byte and for a sequence cut short at the end.
    EXPECT_EQ(codec.Decode("a\xFF\x62\xA5", "EUC-JP"), u"a\uFFFDb\uFFFD");
    // UTF-8 by the rules of the web: a sequence cut short is one replacement, whatever its length.
    for (const char* name : {"utf-8", "UTF8", "Utf-8"})
        EXPECT_EQ(codec.Decode("\xE6\x97\xA5\xE6\x97<", name), u"日\uFFFD<") << name;
    EXPECT_EQ(codec.Decode("x", "x-no-such-set"), std::nullopt);
}

TEST(CodecTest, SystemCodePageBothWays) {
    // ASCII (the C locale's set) counts as UTF-8.
    for (const char* name : {"UTF-8", "utf8", "ANSI_X3.4-1968", "US-ASCII", "ASCII"}) {
        const SystemCodec codec(name);
        EXPECT_EQ(codec.DecodeSystem("\xE6\x97\xA5\xE6\x97<"), u"日\uFFFD<") << name;
        EXPECT_EQ(codec.EncodeSystem(u"日"), "\xE6\x97\xA5") << name;
    }
    const SystemCodec eucJp("EUC-JP");
    EXPECT_EQ(eucJp.DecodeSystem(kEucJp), kName);
    EXPECT_EQ(eucJp.EncodeSystem(kName), kEucJp);
    EXPECT_EQ(eucJp.EncodeSystem(u""), "");
    // One "?" for each character the set lacks, and nothing else added.
    EXPECT_EQ(SystemCodec("CP932").EncodeSystem(u"a\u0E01日\u0E01"), "a?\x93\xFA?");
    // A set iconv does not know: UTF-8 both ways rather than nothing.
    const SystemCodec unknown("x-no-such-set");
    EXPECT_EQ(unknown.EncodeSystem(u"a日"), "a\xE6\x97\xA5");
    EXPECT_EQ(unknown.DecodeSystem("a\xE6\x97\xA5"), u"a日");
}

// The locale's character set is the one in force when the codec is made: a Japanese EUC-JP locale
// (made by localedef into a scratch directory), then "C". The process's locale is put back after.
TEST(CodecTest, TheSystemCodePageIsTheLocalesCharacterSet) {
    const ScratchDir dir;
    const std::string made = (dir.Path() / "ja_JP.eucJP").string();
    [[maybe_unused]] const int status =
        std::system(("localedef -i ja_JP -f EUC-JP '" + made + "' >/dev/null 2>&1").c_str());
    ASSERT_TRUE(std::filesystem::exists(made + "/LC_CTYPE"));
    const auto put = [](const char* name, const std::string& value) {
        value.empty() ? ::unsetenv(name) : ::setenv(name, value.c_str(), 1);
    };
    const std::string locpath = std::getenv("LOCPATH") ? std::getenv("LOCPATH") : "";
    const std::string all = std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "";
    put("LOCPATH", dir.Path().string());
    put("LC_ALL", "ja_JP.eucJP");
    const SystemCodec eucJp;
    put("LC_ALL", "C");
    const SystemCodec ascii;
    put("LOCPATH", locpath);
    put("LC_ALL", all);
    std::setlocale(LC_CTYPE, "");
    EXPECT_EQ(eucJp.SystemCharset(), "EUC-JP");
    EXPECT_EQ(eucJp.DecodeSystem(kEucJp), kName);
    EXPECT_EQ(ascii.SystemCharset(), "UTF-8");
}

TEST(CodecTest, NoCharacterSetReadsPastAShortHostileEnding) {
    // glibc's ISO-2022-CN-EXT took the last byte (a shift-out) and then reported it invalid; stepping
    // over it once more ran past the input. Every set gets the endings most likely to do that: shift
    // bytes, escapes and lead bytes cut short, each copied into a buffer of exactly its size.
    const std::vector<std::string> charsets = orvane::test::IconvNames();
    ASSERT_GT(charsets.size(), 100u);
    const std::vector<std::string> endings = {"\x0e"s,         "a\x0e"s,
                                              "\x1b"s,         "\x1b$"s,
                                              "\x1b$)"s,       "\x1b$)A\x0e"s,
                                              "\x0e\x0f\x0e"s, "\x81"s,
                                              "\xff\xfe\x00"s, "\xe3\x81"s,
                                              "\x8e"s,         "\x2b\x41"s,
                                              "\x00"s,         "<a href=\"http://x/\">\x0e\x1b"s};
    const SystemCodec codec("UTF-8");
    std::size_t decoded = 0;
    for (const std::string& charset : charsets) {
        for (const std::string& ending : endings) {
            const std::unique_ptr<char[]> exact(new char[ending.size()]);
            std::memcpy(exact.get(), ending.data(), ending.size());
            const auto text = codec.Decode(std::string_view(exact.get(), ending.size()), charset);
            if (!text)
                continue;
            ++decoded;
            // Never more characters than a byte can give (four, TSCII's most) plus a flush.
            EXPECT_LE(text->size(), ending.size() * 8 + 8) << charset;
        }
    }
    EXPECT_GT(decoded, charsets.size()); // most sets are known by the name they are listed under
    // A name carrying iconv's own syntax is no character set.
    EXPECT_EQ(codec.Decode("abc", "UTF-16//IGNORE"), std::nullopt);
    EXPECT_EQ(codec.Decode("abc", "ISO-8859-1//TRANSLIT"), std::nullopt);
    EXPECT_EQ(codec.Decode("abc", std::string("ISO-8859-1\0x", 12)), std::nullopt);
}
