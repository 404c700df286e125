// Japanese pages that declare no character set, read on a system whose code page is UTF-8.

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

// About 130 characters of ordinary prose, the kind of text a page of links carries.
const std::u16string kProse =
    u"このページでは、日本語の文書を集めたリンク集を紹介します。利用者の皆さんが毎日使う資料や、"
    u"新しく公開された記事の一覧を、分野ごとに整理して掲載しています。各項目の名前をクリックすると、"
    u"その文書の最新版が表示されます。古い版は保管庫のページから探すことができます。";

// Three anchors, one with a non-ASCII address, around the prose; and the links read from it.
const std::u16string kPage = u"<html><head><title>リンク集</title></head>\r\n<body>\r\n<p>" + kProse +
                             u"</p>\r\n<ul>\r\n<li><a href=\"http://x/手引き.html\">日本語の手引き</a>\r\n"
                             u"<li><a href=\"http://x/news\">最新の記事一覧</a>\r\n"
                             u"<li><a href=\"http://x/archive\">保管庫</a>\r\n</ul></body></html>\r\n";
const std::vector<std::u16string> kLinks = {u"日本語の手引き http://x/手引き.html",
                                            u"最新の記事一覧 http://x/news", u"保管庫 http://x/archive"};

// Each link read as "name url".
std::vector<std::u16string> Convert(const std::string& bytes, const SystemCodec& codec) {
    ResetGlobals();
    ScratchDir dir;
    FakeHost host;
    host.target = dir.Write("page.htm", bytes);
    RunConversion(host.target, host, codec);
    std::vector<std::u16string> out;
    gLinks.ForEachLive([&](int, const LinkRecord& r) { out.push_back(r.name + u' ' + r.url); });
    ResetGlobals();
    return out;
}

} // namespace

TEST(CharsetDetection, UndeclaredJapanesePagesReadCorrectly) {
    const SystemCodec utf8System("UTF-8");
    for (const char* charset : {"Shift_JIS", "EUC-JP", "ISO-2022-JP"}) {
        const std::string bytes = SystemCodec(charset).EncodeSystem(kPage);
        EXPECT_EQ(utf8System.DetectCharset(bytes), charset);
        EXPECT_EQ(Convert(bytes, utf8System), kLinks) << charset;
    }
    // A UTF-8 page on a Shift_JIS system is not valid there: the detector finds UTF-8.
    EXPECT_EQ(Convert(ToUtf8(kPage), SystemCodec("CP932")), kLinks);
}

TEST(CharsetDetection, UnsureOrValidStaysWithTheSystemCodePage) {
    const SystemCodec utf8System("UTF-8");
    const SystemCodec sjis("Shift_JIS");
    // Two characters say too little: no answer.
    EXPECT_EQ(utf8System.DetectCharset("<a href=\"http://x/\">" + sjis.EncodeSystem(u"日本") + "</a>"), "");
    // Valid in the system's code page: no detection, even where a detector would guess otherwise.
    EXPECT_TRUE(utf8System.ValidInSystem(ToUtf8(kPage)));
    EXPECT_FALSE(utf8System.ValidInSystem("\xED\xA0\x80"));                    // an encoded surrogate
    EXPECT_FALSE(utf8System.ValidInSystem("\xE6\x97"));                        // cut short
    EXPECT_FALSE(utf8System.ValidInSystem("\xC0\xAF"));                        // overlong
    EXPECT_FALSE(utf8System.ValidInSystem("\xF0\x8F\xBF\xBF"));                // overlong, four bytes
    EXPECT_TRUE(utf8System.ValidInSystem("\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF")); // U+1F600, U+10FFFF
    EXPECT_TRUE(sjis.ValidInSystem(sjis.EncodeSystem(kPage)));
    EXPECT_FALSE(sjis.ValidInSystem("\x82\xA0\x82")); // a lead byte at the end
}
