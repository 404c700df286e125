// Japanese pages that declare no character set, read on a system whose code page is UTF-8.

#include "core/Conversion.h"
#include "core/DocumentDecoding.h"
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

// About 350 characters of ordinary prose, the kind of text a page of links carries.
const std::u16string kProse =
    u"このページでは、日本語の文書を集めたリンク集を紹介します。利用者の皆さんが毎日使う資料や、"
    u"新しく公開された記事の一覧を、分野ごとに整理して掲載しています。各項目の名前をクリックすると、"
    u"その文書の最新版が表示されます。古い版は保管庫のページから探すことができます。"
    u"掲載している情報は、できるだけ正確なものになるよう努めていますが、内容に誤りを見つけた場合は、"
    u"お手数ですが管理者までお知らせください。また、リンク先のサーバーが停止している場合もありますので、"
    u"表示されないときは時間をおいてから再度アクセスしてください。"
    u"ここに紹介する文書の多くは、ボランティアの翻訳者によって英語から日本語に翻訳されたものです。"
    u"翻訳に参加したい方は、メーリングリストに登録して、作業の進め方についての説明を読んでください。"
    u"初めての方でも分かりやすいように、用語集と手引きを用意しています。";

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
    // Two characters say too little: the system's code page, with its replacement characters.
    const std::string shortPage = "<a href=\"http://x/\">" + sjis.EncodeSystem(u"日本") + "</a>";
    EXPECT_EQ(utf8System.DetectCharset(shortPage), "");
    EXPECT_EQ(Convert(shortPage, utf8System), std::vector<std::u16string>{u"\uFFFD\uFFFD\uFFFD{ http://x/"});
    // Valid in the system's code page: no detection, even where a detector would guess otherwise.
    EXPECT_TRUE(utf8System.ValidInSystem(ToUtf8(kPage)));
    EXPECT_FALSE(utf8System.ValidInSystem("\xED\xA0\x80"));                    // an encoded surrogate
    EXPECT_FALSE(utf8System.ValidInSystem("\xE6\x97"));                        // cut short
    EXPECT_FALSE(utf8System.ValidInSystem("\xC0\xAF"));                        // overlong
    EXPECT_FALSE(utf8System.ValidInSystem("\xF0\x8F\xBF\xBF"));                // overlong, four bytes
    EXPECT_TRUE(utf8System.ValidInSystem("\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF")); // U+1F600, U+10FFFF
    EXPECT_TRUE(sjis.ValidInSystem(sjis.EncodeSystem(kPage)));
    EXPECT_FALSE(sjis.ValidInSystem("\x82\xA0\x82")); // a lead byte at the end
    // A declaration wins over any detection.
    const std::string declared = "<meta charset=\"x-unknown-charset\">" + sjis.EncodeSystem(kProse);
    EXPECT_EQ(DecodeDocument(declared, utf8System), utf8System.DecodeSystem(declared));
}
