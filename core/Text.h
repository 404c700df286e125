#pragma once
// Text helpers over UTF-16 strings. Positions are 0-based here unless a name says otherwise;
// npos means "not found".

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

inline constexpr std::size_t npos = std::u16string_view::npos;

/// Removes U+0020 at both ends (only that character: tabs and U+3000 stay).
std::u16string_view TrimView(std::u16string_view s);
std::u16string Trim(std::u16string_view s);

/// ASCII letters fold to lower case; every other unit is returned unchanged.
constexpr char16_t FoldAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

/// Whether two texts are equal when ASCII letters are folded to lower case (bytes of a code page or
/// UTF-16 units; no other letter is folded).
bool EqualsNoCase(std::string_view a, std::string_view b);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);

/// The text without CR, LF and NUL, appended to `out`: no value may add a line to a file.
void AppendWithoutLineBreaks(std::string& out, std::string_view text);
void AppendWithoutLineBreaks(std::u16string& out, std::u16string_view text);
std::u16string StripLineBreaks(std::u16string_view text);

/// Finds `needle` in `hay` at or after `from`, ignoring the case of ASCII letters only.
/// `needle` must already be in lower case.
std::size_t FindNoCase(std::u16string_view hay, std::u16string_view needle, std::size_t from = 0);

/// Finds one unit exactly, at or after `from`.
std::size_t FindChar(std::u16string_view hay, char16_t c, std::size_t from = 0);

/// Finds the first unit that is `a` or `b`, at or after `from`.
std::size_t FindEitherChar(std::u16string_view hay, char16_t a, char16_t b, std::size_t from = 0);

/// Decimal digits of a number, as UTF-16.
std::u16string ToU16Number(long long value);

/// Copies the leading ASCII bytes of [p, p + n) to `out` as UTF-16, sixteen at a time, and returns
/// how many it copied; it stops at the first block holding a byte of 0x80 or more (that block is
/// left to the caller), so a short tail may stay uncopied as well.
std::size_t WidenAscii(const unsigned char* p, std::size_t n, char16_t* out);

/// UTF-8 <-> UTF-16 for literals, paths and tests (invalid UTF-8 becomes U+FFFD).
std::u16string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::u16string_view utf16);

} // namespace orvane
