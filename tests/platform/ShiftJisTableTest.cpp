// Shift_JIS is decoded through a table made from iconv. It must give what iconv itself gives, invalid
// and truncated sequences included: the reference is the codec's general iconv path (one U+FFFD per
// refused byte), reached through SJIS-WIN, iconv's other name for CP932, which the table never takes.

#include "platform/SystemCodec.h"

#include <gtest/gtest.h>

#include <string>

using orvane::platform::SystemCodec;

// Every byte alone and every pair, each also followed by an ASCII letter (a lead byte before a
// byte that cannot follow it, and a lead byte at the very end).
TEST(ShiftJisTableTest, EveryByteAndPairAsIconvDecodesIt) {
    const auto same = [](const std::string& bytes) {
        const SystemCodec& codec = SystemCodec::Instance();
        return codec.Decode(bytes, "Shift_JIS") == codec.Decode(bytes, "SJIS-WIN");
    };
    for (int a = 0; a < 256; ++a) {
        const std::string one(1, static_cast<char>(a));
        ASSERT_TRUE(same(one)) << "byte " << a;
        for (int b = 0; b < 256; ++b) {
            const std::string pair{static_cast<char>(a), static_cast<char>(b)};
            ASSERT_TRUE(same(pair)) << "bytes " << a << ' ' << b;
            ASSERT_TRUE(same(pair + 'A')) << "bytes " << a << ' ' << b << " A";
        }
    }
}
