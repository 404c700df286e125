#include "core/DocumentDecoding.h"

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvane;
using orvane::test::Utf8Codec;

namespace {

std::string Sniff(std::string_view bytes) {
    return SniffCharset(bytes).name;
}

} // namespace

TEST(SniffCharset, ByteOrderMarksComeFirst) {
    const DeclaredCharset utf8 = SniffCharset("\xEF\xBB\xBF<meta charset=euc-jp>");
    EXPECT_EQ(utf8.name, "UTF-8");
    EXPECT_EQ(utf8.bomLength, 3u);
    EXPECT_EQ(Sniff("\xFF\xFE<\0"), "UTF-16LE");
    EXPECT_EQ(Sniff("\xFE\xFF\0<"), "UTF-16BE");
    EXPECT_EQ(Sniff("\xEF\xBB"), "");
}

TEST(SniffCharset, MetaDeclarations) {
    EXPECT_EQ(Sniff("<html><head><meta charset=\"Shift_JIS\"></head>"), "Shift_JIS");
    EXPECT_EQ(Sniff("<META CHARSET = euc-jp>"), "euc-jp");
    EXPECT_EQ(Sniff("<meta charset='x-sjis'/>"), "x-sjis");
    EXPECT_EQ(Sniff("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"),
              "Shift_JIS");
    EXPECT_EQ(Sniff("<META CONTENT=\"text/html;CHARSET=ISO-2022-JP\" HTTP-EQUIV=\"content-type\">"),
              "ISO-2022-JP");
    EXPECT_EQ(Sniff("<meta http-equiv=Content-Type content='text/html; charset=\"EUC-JP\"'>"), "EUC-JP");
    // A content value without the http-equiv does not declare anything; nor does a meta without a charset.
    EXPECT_EQ(Sniff("<meta name=\"description\" content=\"charset=euc-jp\"><meta charset=utf-8>"), "utf-8");
    // A tag that merely begins with "meta", a comment and a quoted value are not declarations.
    EXPECT_EQ(Sniff("<metadata charset=euc-jp>"), "");
    EXPECT_EQ(Sniff("<!-- <meta charset=euc-jp> --><meta charset=Shift_JIS>"), "Shift_JIS");
    EXPECT_EQ(Sniff("<img alt=\"<meta charset=euc-jp>\"><meta charset=Shift_JIS>"), "Shift_JIS");
}

TEST(SniffCharset, OnlyTheFirstKilobyteIsSearched) {
    const std::string meta = "<meta charset=euc-jp>";
    EXPECT_EQ(Sniff(std::string(kCharsetSniffBytes - 1, ' ') + meta), "euc-jp");
    EXPECT_EQ(Sniff(std::string(kCharsetSniffBytes, ' ') + meta), "");
}

TEST(DecodeDocument, Utf8AndUtf16AreDecodedHere) {
    const Utf8Codec codec;
    // "日本" after a UTF-8 mark; the mark itself is not text.
    EXPECT_EQ(DecodeDocument("\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC", codec), u"日本");
    EXPECT_EQ(DecodeDocument(std::string("\xFF\xFEh\0i\0\r\0\n\0", 10), codec), u"hi\r\n");
    EXPECT_EQ(DecodeDocument(std::string("\xFE\xFF\x65\xE5\xD8\x3D\xDE\x00", 8), codec), u"日\U0001F600");
    // A declared UTF-8 never goes to the platform.
    EXPECT_EQ(DecodeDocument("<meta charset=UTF8>\xE6\x97\xA5", codec), u"<meta charset=UTF8>日");
    EXPECT_TRUE(codec.asked.empty());
}

TEST(DecodeDocument, InvalidBytesBecomeReplacementCharacters) {
    const Utf8Codec codec;
    EXPECT_EQ(DecodeDocument("\xEF\xBB\xBF"
                             "a\xFF"
                             "b\xE6\x97"
                             "c",
                             codec),
              u"a\uFFFDb\uFFFDc");
    // A lone surrogate and an odd last byte.
    EXPECT_EQ(DecodeDocument(std::string("\xFF\xFE\x00\xDC"
                                         "a\0"
                                         "b",
                                         7),
                             codec),
              u"\uFFFDa\uFFFD");
    EXPECT_EQ(DecodeDocument(std::string("\xFF\xFE\x00\xD8", 4), codec), u"\uFFFD");
}

TEST(FromUtf8, BrokenSequencesGiveOneReplacementEach) {
    // Long ASCII runs around the multi-byte characters, so the sixteen-byte path meets them too.
    const std::string ascii(37, 'a');
    EXPECT_EQ(FromUtf8(ascii + "\xe6\x97\xa5" + ascii + "\xf0\x9f\x98\x80" + ascii),
              FromUtf8(ascii) + u"日" + FromUtf8(ascii) + u"\U0001F600" + FromUtf8(ascii));
    EXPECT_EQ(FromUtf8("\xc0\xaf"), u"\uFFFD\uFFFD");                     // overlong
    EXPECT_EQ(FromUtf8("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");           // a surrogate
    EXPECT_EQ(FromUtf8("\xf4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD"); // past U+10FFFF
    EXPECT_EQ(FromUtf8("\xe6\x97<"), u"\uFFFD<");                         // cut short: the "<" survives
    EXPECT_EQ(FromUtf8("\xf0\x9f\x98"), u"\uFFFD");
    EXPECT_EQ(FromUtf8("\x80\xbf\xfe"), u"\uFFFD\uFFFD\uFFFD");
}

TEST(DecodeDocument, DeclaredCharsetOrSystemCodePage) {
    const Utf8Codec codec;
    EXPECT_EQ(DecodeDocument("<meta charset=x-test-upper>ab", codec), u"<META CHARSET=X-TEST-UPPER>AB");
    EXPECT_EQ(codec.asked, (std::vector<std::string>{"x-test-upper"}));
    // Unknown to the platform, or not declared at all: the system code page.
    EXPECT_EQ(DecodeDocument("<meta charset=x-unknown>ab", codec), u"<meta charset=x-unknown>ab");
    EXPECT_EQ(DecodeDocument("plain ab", codec), u"plain ab");
    // UTF-16 named in a meta that was readable byte by byte cannot be true.
    EXPECT_EQ(DecodeDocument("<meta charset=utf-16>ab", codec), u"<meta charset=utf-16>ab");
}
