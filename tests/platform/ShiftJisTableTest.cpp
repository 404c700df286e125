// Shift_JIS is decoded through a table made from iconv. It must give what iconv itself gives, invalid
// and truncated sequences included: iconv with one U+FFFD per refused byte is the reference here.

#include "platform/SystemCodec.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <string>
#include <vector>

using orvane::platform::SystemCodec;

namespace {

std::u16string IconvReference(std::string_view bytes) {
    static const iconv_t cd = iconv_open("UTF-16LE", "CP932");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::u16string out;
    std::vector<char16_t> buffer(bytes.size() * 2 + 8);
    char* src = const_cast<char*>(bytes.data());
    std::size_t left = bytes.size();
    while (left > 0) {
        char* dst = reinterpret_cast<char*>(buffer.data());
        std::size_t room = buffer.size() * sizeof(char16_t);
        const std::size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer.data(), buffer.size() - room / sizeof(char16_t));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out += u'\uFFFD';
            ++src;
            --left;
        }
    }
    return out;
}

} // namespace

// Every byte alone and every pair, each also followed by an ASCII letter (a lead byte before a
// byte that cannot follow it, and a lead byte at the very end).
TEST(ShiftJisTableTest, EveryByteAndPairAsIconvDecodesIt) {
    const auto decode = [](std::string_view bytes) {
        return SystemCodec::Instance().Decode(bytes, "Shift_JIS").value();
    };
    for (int a = 0; a < 256; ++a) {
        const std::string one(1, static_cast<char>(a));
        ASSERT_EQ(decode(one), IconvReference(one)) << "byte " << a;
        for (int b = 0; b < 256; ++b) {
            const std::string pair{static_cast<char>(a), static_cast<char>(b)};
            ASSERT_EQ(decode(pair), IconvReference(pair)) << "bytes " << a << ' ' << b;
            const std::string three = pair + 'A';
            ASSERT_EQ(decode(three), IconvReference(three)) << "bytes " << a << ' ' << b << " A";
        }
    }
}
