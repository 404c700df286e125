#pragma once
// Input documents for the benchmarks, as the bytes of a file. All are at most 128,000 bytes, the
// largest file a conversion accepts.

#include <cstddef>
#include <string>
#include <string_view>

namespace orvane::bench {

inline constexpr std::size_t kPageBytes = 128000;

enum class PageCharset { Ascii, ShiftJis, Utf8 };

/// A link list page of exactly `bytes` bytes (about 1,400 anchors in kPageBytes) on CR LF lines, some
/// with bold text or an image. ShiftJis and Utf8 give Japanese names and declare the character set
/// in a <meta>; the markup stays ASCII. `first` numbers the first entry, so pages can differ.
std::string DenseLinkPage(PageCharset charset = PageCharset::Ascii, std::size_t bytes = kPageBytes,
                          std::size_t first = 0);

/// DenseLinkPage as pages are written today: LF line ends, "&amp;" in every address and a character
/// reference in every third name, and no character set declared (a Shift_JIS page is then told by
/// the detector on a UTF-8 system). At most `bytes` bytes.
std::string TodaysLinkPage(PageCharset charset = PageCharset::Ascii, std::size_t bytes = kPageBytes);

/// A text page of exactly kPageBytes ASCII bytes as the "http:" key reads it: lines of prose with
/// two or three addresses each in plain text, and an anchor on every eighth line. It ends with an
/// anchor, so no address follows the last "</a>".
std::string AddressTextPage();

/// The "<" in `bytes`, counted with memchr: the floor any scan of the page is measured against.
std::size_t CountOpenBrackets(std::string_view bytes);

/// Anchors counted in DenseLinkPage's output.
std::size_t CountAnchors(std::string_view page);

/// One anchor whose text holds `tags` tags (two per word).
std::string ManyTagsInOneName(std::size_t tags = 30000);

/// `count` copies of `key` with no "</a>" anywhere.
std::string KeysWithoutEnd(std::string_view key, std::size_t count = 20000);

/// kPageBytes bytes of "<".
std::string OpenBrackets(std::size_t bytes = kPageBytes);

/// One anchor whose text is nearly kPageBytes bytes of "<".
std::string OpenBracketsInName();

/// Names and addresses for filling the link list: Japanese words with a number (so no two are the
/// same and they are valid file names), in an order unrelated to the alphabet.
std::u16string ListEntryName(std::size_t i);
std::u16string ListEntryUrl(std::size_t i);

} // namespace orvane::bench
