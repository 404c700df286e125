#include "core/DocumentDecoding.h"

#include "FakeHost.h"

#include <algorithm>

using namespace orvane;
using orvane::test::Utf8Codec;

TEST(SniffCharset, MarksThenMetaDeclarationsInTheFirstKilobyte) {
    const std::string meta = "<meta charset=euc-jp>";
    const std::pair<std::string, std::string> cases[] = {
        {"\xEF\xBB\xBF<meta charset=euc-jp>", "UTF-8"},
        {std::string("\xFF\xFE<\0", 4), "UTF-16LE"},
        {"\xEF\xBB", ""},
        {"<META CHARSET = euc-jp>", "euc-jp"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">", "Shift_JIS"},
        {"<meta http-equiv=Content-Type content='text/html; charset=\"EUC-JP\"'>", "EUC-JP"},
        // Not declarations: content without http-equiv or with another one, a longer tag name, a comment.
        {"<meta name=\"description\" content=\"charset=euc-jp\"><meta charset=utf-8>", "utf-8"},
        {"<meta http-equiv=refresh content=\"5; url=/a?charset=euc-jp\"><meta charset=utf-8>", "utf-8"},
        {"<metadata charset=euc-jp>", ""},
        {"<!-- <meta charset=euc-jp> --><meta charset=Shift_JIS>", "Shift_JIS"},
        {"<!--><meta charset=euc-jp>", "euc-jp"}, // "<!-->" is a whole comment
        {"<!-- <meta charset=euc-jp>", ""},       // a comment that never ends hides the rest
        {"<!DOCTYPE html><?xml x?></p><meta charset=euc-jp>", "euc-jp"},
        // Spaces inside the quotes are no part of the name.
        {"<meta charset=\" euc-jp \">", "euc-jp"},
        {"<meta http-equiv=Content-Type content='text/html; charset=\"EUC-JP \"'>", "EUC-JP"},
        {std::string(kCharsetSniffBytes - 1, ' ') + meta, "euc-jp"},
        {std::string(kCharsetSniffBytes, ' ') + meta, ""},
    };
    for (const auto& [bytes, name] : cases)
        EXPECT_EQ(SniffCharset(bytes).name, name) << bytes.substr(0, 80);
    EXPECT_EQ(SniffCharset("\xEF\xBB\xBFx").bomLength, 3u);
}

TEST(DecodeDocument, Utf8AndUtf16HereOtherwiseTheDeclaredCharsetOrTheSystemCodePage) {
    const Utf8Codec codec;
    EXPECT_EQ(DecodeDocument(std::string("\xFE\xFF\x65\xE5\xD8\x3D\xDE\x00", 8), codec), u"日\U0001F600");
    // A declared UTF-8 never goes to the platform.
    EXPECT_EQ(DecodeDocument("<meta charset=UTF8>\xE6\x97\xA5", codec), u"<meta charset=UTF8>日");
    EXPECT_TRUE(codec.asked.empty());

    EXPECT_EQ(DecodeDocument("<meta charset=x-test-upper>ab", codec), u"<META CHARSET=X-TEST-UPPER>AB");
    EXPECT_EQ(codec.asked, (std::vector<std::string>{"x-test-upper"}));
    // Unknown to the platform: the system code page. UTF-16 named in a meta that was readable byte by
    // byte cannot be true.
    EXPECT_EQ(DecodeDocument("<meta charset=x-unknown>ab", codec), u"<meta charset=x-unknown>ab");
    EXPECT_EQ(DecodeDocument("<meta charset=utf-16>ab", codec), u"<meta charset=utf-16>ab");
}

TEST(DecodeDocument, InvalidBytesBecomeReplacementCharacters) {
    const Utf8Codec codec;
    // Octal escapes, so no letter is taken into a byte: a UTF-8 mark, "a", FF, "b", a cut character, "c".
    EXPECT_EQ(DecodeDocument("\357\273\277a\377b\346\227c", codec), u"a\uFFFDb\uFFFDc");
    // A lone surrogate and an odd last byte; a lone lead surrogate at the end.
    EXPECT_EQ(DecodeDocument(std::string("\377\376\000\334a\0b", 7), codec), u"\uFFFDa\uFFFD");
    EXPECT_EQ(DecodeDocument(std::string("\xFF\xFE\x00\xD8", 4), codec), u"\uFFFD");
}

namespace {

// The system's code page holds only ASCII here; the detector answers `answer` and keeps its sample.
struct DetectingCodec : Utf8Codec {
    std::string answer = "x-test-upper";
    mutable std::vector<std::string> samples;

    bool ValidInSystem(std::string_view bytes) const override {
        return std::all_of(bytes.begin(), bytes.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    }
    std::string DetectCharset(std::string_view bytes) const override {
        samples.emplace_back(bytes);
        return answer;
    }
};

} // namespace

TEST(DecodeDocument, DetectorOnlyForUndeclaredBytesOutsideTheSystemCodePage) {
    DetectingCodec codec;
    // Valid, declared or marked (the mark itself is not text): no detector.
    EXPECT_EQ(DecodeDocument("plain ascii", codec), u"plain ascii");
    EXPECT_EQ(DecodeDocument("<meta charset=utf-8>\xE6\x97\xA5", codec), u"<meta charset=utf-8>日");
    EXPECT_EQ(DecodeDocument("\xEF\xBB\xBF\xE6\x97\xA5", codec), u"日");
    EXPECT_TRUE(codec.samples.empty());

    // Not valid in the system's code page: the detector's choice.
    EXPECT_EQ(DecodeDocument("ab\xE6\x97\xA5", codec), u"AB日");
    // ISO-2022-JP is plain ASCII to the system's code page: its escapes into the double-byte set call
    // the detector too; a terminal's sequences, the escape back to ASCII included, do not.
    EXPECT_EQ(DecodeDocument("ab\x1B$Bxy\x1B(B", codec), u"AB\x1B$BXY\x1B(B");
    EXPECT_EQ(DecodeDocument("ab\x1B[0m\x1B(B", codec), u"ab\x1B[0m\x1B(B");
    // Unsure, or a name the platform does not know: the system's code page.
    codec.answer = "";
    EXPECT_EQ(DecodeDocument("ab\xFF", codec), u"ab\uFFFD");
    codec.answer = "x-unknown";
    EXPECT_EQ(DecodeDocument("ab\xFF", codec), u"ab\uFFFD");
    ASSERT_EQ(codec.samples.size(), 4u);

    // A long page: the detector reads a bounded part, from the first byte outside ASCII.
    const std::string head(3 * kDetectionSampleBytes, 'a');
    const std::string text(2 * kDetectionSampleBytes, '\xA4');
    DecodeDocument(head + text, codec);
    EXPECT_EQ(codec.samples.back(), text.substr(0, kDetectionSampleBytes));
    EXPECT_EQ(DetectionSample("\x1B$B" + head), ("\x1B$B" + head).substr(0, kDetectionSampleBytes));
    EXPECT_EQ(DetectionSample(head), head.substr(0, kDetectionSampleBytes));
}
