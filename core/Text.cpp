#include "core/Text.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>

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

template <typename Char> bool EqualsFolded(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    using Unit = std::make_unsigned_t<Char>;
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](Char x, Char y) {
               return FoldAscii(static_cast<Unit>(x)) == FoldAscii(static_cast<Unit>(y));
           });
}

template <typename Char>
void AppendUnbroken(std::basic_string<Char>& out, std::basic_string_view<Char> text) {
    for (Char c : text)
        if (c != Char('\r') && c != Char('\n') && c != Char('\0'))
            out.push_back(c);
}

} // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return EqualsFolded(a, b);
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    return EqualsFolded(a, b);
}

void AppendWithoutLineBreaks(std::string& out, std::string_view text) {
    AppendUnbroken(out, text);
}

void AppendWithoutLineBreaks(std::u16string& out, std::u16string_view text) {
    AppendUnbroken(out, text);
}

std::u16string StripLineBreaks(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    AppendUnbroken(out, text);
    return out;
}

// Position of the first unit at or after `from` that equals `a` or `b`, or npos. Runs eight units
// per step where SSE2 is there (32 over long stretches): the scan spends most of its time here.
std::size_t FindEitherChar(std::u16string_view hay, char16_t a, char16_t b, std::size_t from) {
    if (from >= hay.size())
        return npos;
    const char16_t* data = hay.data();
    const std::size_t n = hay.size();
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi16(static_cast<short>(a));
    const __m128i vb = _mm_set1_epi16(static_cast<short>(b));
    const auto hits = [&](std::size_t at) {
        __m128i chunk;
        std::memcpy(&chunk, data + at, sizeof chunk);
        return _mm_or_si128(_mm_cmpeq_epi16(chunk, va), _mm_cmpeq_epi16(chunk, vb));
    };
    // Most searches end within a few units (the ">" of a tag): the first block on its own.
    if (i + 8 <= n) {
        const int mask = _mm_movemask_epi8(hits(i));
        if (mask != 0)
            return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask))) / 2;
        i += 8;
    }
    // Long stretches without a match (a whole page without a line feed) go 32 units per step,
    // with one test for all four blocks; the block that matched is found below.
    for (; i + 32 <= n; i += 32) {
        const __m128i any =
            _mm_or_si128(_mm_or_si128(hits(i), hits(i + 8)), _mm_or_si128(hits(i + 16), hits(i + 24)));
        if (_mm_movemask_epi8(any) != 0)
            break;
    }
    for (; i + 8 <= n; i += 8) {
        const int mask = _mm_movemask_epi8(hits(i));
        if (mask != 0)
            return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask))) / 2;
    }
#endif
    for (; i < n; ++i)
        if (data[i] == a || data[i] == b)
            return i;
    return npos;
}

std::size_t FindChar(std::u16string_view hay, char16_t c, std::size_t from) {
    return FindEitherChar(hay, c, c, from);
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
        i = FindEitherChar(hay, lower, upper, i);
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

std::size_t WidenAscii(const unsigned char* p, std::size_t n, char16_t* out) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        __m128i chunk;
        std::memcpy(&chunk, p + i, sizeof chunk);
        if (_mm_movemask_epi8(chunk) != 0)
            break;
        const __m128i low = _mm_unpacklo_epi8(chunk, zero);
        const __m128i high = _mm_unpackhi_epi8(chunk, zero);
        std::memcpy(out + i, &low, sizeof low);
        std::memcpy(out + i + 8, &high, sizeof high);
    }
#else
    (void)p;
    (void)n;
    (void)out;
#endif
    return i;
}

std::u16string FromUtf8(std::string_view bytes) {
    // No byte gives more than one unit: a four-byte sequence gives two.
    std::u16string out(bytes.size(), u'\0');
    char16_t* o = out.data();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* const end = p + bytes.size();
    while (p < end) {
        // Markup is mostly ASCII: widen it in blocks.
        const std::size_t widened = WidenAscii(p, static_cast<std::size_t>(end - p), o);
        p += widened;
        o += widened;
        if (p == end)
            break;
        const unsigned b0 = *p++;
        if (b0 < 0x80) {
            *o++ = static_cast<char16_t>(b0);
            continue;
        }
        // The second byte's range excludes overlong forms, surrogates and values past U+10FFFF.
        int need = 0;
        char32_t cp = 0;
        unsigned lo = 0x80;
        unsigned hi = 0xBF;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            need = 1, cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            need = 2, cp = b0 & 0x0F;
            lo = b0 == 0xE0 ? 0xA0 : 0x80;
            hi = b0 == 0xED ? 0x9F : 0xBF;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            need = 3, cp = b0 & 0x07;
            lo = b0 == 0xF0 ? 0x90 : 0x80;
            hi = b0 == 0xF4 ? 0x8F : 0xBF;
        } else {
            *o++ = u'\uFFFD';
            continue;
        }
        bool complete = true;
        for (int k = 0; k < need; ++k) {
            if (p == end || *p < lo || *p > hi) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (*p++ & 0x3F);
            lo = 0x80;
            hi = 0xBF;
        }
        if (!complete) {
            // One replacement for the broken start; the byte that broke it is read afresh.
            *o++ = u'\uFFFD';
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            *o++ = static_cast<char16_t>(cp);
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
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
