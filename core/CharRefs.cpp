#include "core/CharRefs.h"

#include "core/Text.h"

#include <algorithm>
#include <cstring>

namespace orvane {

namespace {

constexpr std::uint32_t kPastMax = 0x110000; // numeric values saturate here: all past U+10FFFF alike

// 0x80 to 0x9F as windows-1252 reads them; 0 where it has no character (the value stays).
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

constexpr int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

constexpr bool IsAsciiAlnum(char16_t c) {
    return IsDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Negative when the ASCII `name` sorts before `key`.
int Compare(const char* name, std::u16string_view key) {
    std::size_t i = 0;
    for (; i < key.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c == 0)
            return -1; // name is a prefix of key
        if (c != key[i])
            return c < key[i] ? -1 : 1;
    }
    return name[i] == 0 ? 0 : 1;
}

// The references nearly every page uses, without the search of the whole table; 0 for any other.
char16_t CommonCharRef(std::u16string_view name) {
    switch (name.size()) {
    case 2:
        if (name[1] == u't' && (name[0] == u'l' || name[0] == u'g'))
            return name[0] == u'l' ? u'<' : u'>';
        break;
    case 3:
        if (name == u"amp")
            return u'&';
        break;
    case 4:
        if (name == u"quot")
            return u'"';
        if (name == u"nbsp")
            return u'\u00A0';
        if (name == u"apos")
            return u'\'';
        break;
    default:
        break;
    }
    return 0;
}

void AppendCodePoint(std::u16string& out, char32_t c, DecodedBreaks breaks) {
    if (c == U'\r' || c == U'\n' || (c == U'\t' && breaks == DecodedBreaks::Drop)) {
        if (breaks == DecodedBreaks::Drop)
            return;
        if (breaks == DecodedBreaks::Space)
            c = U' ';
    }
    if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(c));
    }
}

} // namespace

const NamedCharRef* FindNamedCharRef(std::u16string_view name) {
    if (name.empty() || name.size() > kLongestCharRefName)
        return nullptr;
    const NamedCharRef* begin = kNamedCharRefs;
    const NamedCharRef* end = kNamedCharRefs + kNamedCharRefCount;
    const NamedCharRef* it =
        std::lower_bound(begin, end, name, [](const NamedCharRef& e, std::u16string_view key) {
            return Compare(e.name, key) < 0;
        });
    return it != end && Compare(it->name, name) == 0 ? it : nullptr;
}

char32_t NumericCharRefValue(std::uint32_t value) {
    if (value == 0 || value >= kPastMax || (value >= 0xD800 && value <= 0xDFFF))
        return U'\uFFFD';
    if (value >= 0x80 && value <= 0x9F && kWindows1252[value - 0x80] != 0)
        return kWindows1252[value - 0x80];
    return value;
}

void AppendDecodedCharRefs(std::u16string_view text, std::u16string& out, DecodedBreaks breaks) {
    const std::size_t n = text.size();
    std::size_t copied = 0; // text before this is in `out`
    std::size_t i = FindChar(text, u'&');
    while (i != npos) {
        const std::size_t amp = i;
        std::size_t j = amp + 1;
        char32_t first = 0;
        char32_t second = 0;
        bool decoded = false;
        if (j < n && text[j] == u'#') {
            ++j;
            const bool hex = j < n && (text[j] == u'x' || text[j] == u'X');
            if (hex)
                ++j;
            const std::size_t digits = j;
            std::uint32_t value = 0;
            for (; j < n; ++j) {
                const int d = hex ? HexValue(text[j]) : (IsDigit(text[j]) ? text[j] - u'0' : -1);
                if (d < 0)
                    break;
                value = std::min<std::uint32_t>(value * (hex ? 16 : 10) + static_cast<std::uint32_t>(d),
                                                kPastMax);
            }
            if (j > digits && j < n && text[j] == u';') {
                first = NumericCharRefValue(value);
                decoded = true;
            }
        } else {
            while (j < n && IsAsciiAlnum(text[j]))
                ++j;
            if (j < n && text[j] == u';') {
                const std::u16string_view name = text.substr(amp + 1, j - amp - 1);
                if (const char16_t common = CommonCharRef(name)) {
                    first = common;
                    decoded = true;
                } else if (const NamedCharRef* ref = FindNamedCharRef(name)) {
                    first = ref->first;
                    second = ref->second;
                    decoded = true;
                }
            }
        }
        if (decoded) {
            out.append(text.substr(copied, amp - copied));
            AppendCodePoint(out, first, breaks);
            if (second != 0)
                AppendCodePoint(out, second, breaks);
            copied = j + 1;
            i = FindChar(text, u'&', copied);
        } else {
            // Whatever was read is no reference; nothing in it can start one but a later "&".
            i = FindChar(text, u'&', std::max(j, amp + 1));
        }
    }
    out.append(text.substr(copied));
}

std::u16string DecodeCharRefs(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    AppendDecodedCharRefs(text, out);
    return out;
}

} // namespace orvane
