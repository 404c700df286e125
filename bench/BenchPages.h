#pragma once
// Input documents for the benchmarks, as the bytes of a file. All are at most 128,000 bytes, the
// largest file a conversion accepts.

#include <cstddef>
#include <string>
#include <string_view>

namespace orvane::bench {

inline constexpr std::size_t kPageBytes = 128000;

enum class PageCharset { Ascii, ShiftJis, Utf8 };

/// A link list page of exactly kPageBytes bytes, about 1,400 anchors on CR LF lines, some with bold
/// text or an image. ShiftJis and Utf8 give Japanese names and declare the character set in a
/// <meta>; the markup stays ASCII.
std::string DenseLinkPage(PageCharset charset = PageCharset::Ascii);

/// Anchors counted in DenseLinkPage's output.
std::size_t CountAnchors(std::string_view page);

/// One anchor whose text holds `tags` tags (two per word).
std::string ManyTagsInOneName(std::size_t tags = 30000);

/// `count` copies of `key` with no "</a>" anywhere.
std::string KeysWithoutEnd(std::string_view key, std::size_t count = 20000);

/// kPageBytes bytes of "<".
std::string OpenBrackets(std::size_t bytes = kPageBytes);

} // namespace orvane::bench
