#include "core/Text.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvane {

std::u16string_view TrimView(std::u16string_view s) {
    const auto first = s.find_first_not_of(u' ');
    if (first == npos)
        return {};
    const auto last = s.find_last_not_of(u' ');
    return s.substr(first, last - first + 1);
}

std::u16string Trim(std::u16string_view s) {
    return std::u16string(TrimView(s));
}

namespace {

// Position of the first unit at or after `from` that equals `a` or `b`, or npos. Runs eight units
// per step where SSE2 is there: the scan spends most of its time here.
std::size_t FindEither(std::u16string_view hay, char16_t a, char16_t b, std::size_t from) {
    const char16_t* data = hay.data();
    const std::size_t n = hay.size();
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi16(static_cast<short>(a));
    const __m128i vb = _mm_set1_epi16(static_cast<short>(b));
    for (; i + 8 <= n; i += 8) {
        __m128i chunk;
        std::memcpy(&chunk, data + i, sizeof chunk);
        const __m128i hit = _mm_or_si128(_mm_cmpeq_epi16(chunk, va), _mm_cmpeq_epi16(chunk, vb));
        const int mask = _mm_movemask_epi8(hit);
        if (mask != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2;
    }
#endif
    for (; i < n; ++i)
        if (data[i] == a || data[i] == b)
            return i;
    return npos;
}

} // namespace

std::size_t FindChar(std::u16string_view hay, char16_t c, std::size_t from) {
    if (from >= hay.size())
        return npos;
    return FindEither(hay, c, c, from);
}

std::size_t FindNoCase(std::u16string_view hay, std::u16string_view needle, std::size_t from) {
    if (needle.empty())
        return from <= hay.size() ? from : npos;
    if (from >= hay.size() || needle.size() > hay.size() - from)
        return npos;
    const char16_t lower = needle[0];
    const char16_t upper = (lower >= u'a' && lower <= u'z') ? char16_t(lower - 32) : lower;
    const std::size_t last = hay.size() - needle.size();
    std::size_t i = from;
    while (i <= last) {
        i = FindEither(hay, lower, upper, i);
        if (i == npos || i > last)
            return npos;
        std::size_t k = 1;
        while (k < needle.size() && FoldAscii(hay[i + k]) == needle[k])
            ++k;
        if (k == needle.size())
            return i;
        ++i;
    }
    return npos;
}

std::u16string ToU16Number(long long value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string FromUtf8(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        int len = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if ((b0 & 0xE0) == 0xC0) {
            len = 2, cp = b0 & 0x1F, min = 0x80;
        } else if ((b0 & 0xF0) == 0xE0) {
            len = 3, cp = b0 & 0x0F, min = 0x800;
        } else if ((b0 & 0xF8) == 0xF0) {
            len = 4, cp = b0 & 0x07, min = 0x10000;
        } else {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        int k = 1;
        for (; k < len && i + k < n; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if ((b & 0xC0) != 0x80)
                break;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(u'\uFFFD');
            i += static_cast<std::size_t>(std::max(k, 1));
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += static_cast<std::size_t>(len);
    }
    return out;
}

std::string ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size() * 3);
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace orvane
