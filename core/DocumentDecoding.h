#pragma once
// Turning the bytes of an HTML document into text: the encoding the document declares wins when the
// platform knows it; a document that declares nothing is read in the system's multibyte code page,
// unless its bytes do not fit that code page (or hold ISO-2022-JP's escapes) and the platform's
// detector is sure of a Japanese encoding.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/TextCodec.h"

namespace orvane {

/// How far into a document a <meta> declaration is looked for.
inline constexpr std::size_t kCharsetSniffBytes = 1024;

struct DeclaredCharset {
    /// The declared name as written ("Shift_JIS", "euc-jp" ...), or "UTF-8" / "UTF-16LE" /
    /// "UTF-16BE" for a byte-order mark. Empty: the document declares nothing.
    std::string name;
    /// Length of the byte-order mark (0 without one).
    std::size_t bomLength = 0;
};

/// A byte-order mark first; otherwise <meta charset=...> or <meta http-equiv="Content-Type"
/// content="...charset=..."> starting in the first kCharsetSniffBytes bytes (ASCII letters in any
/// case; comments are passed over).
DeclaredCharset SniffCharset(std::string_view bytes);

/// How much of an undeclared document the detector reads: a few thousand characters of text, and a
/// detector's time grows with its input.
inline constexpr std::size_t kDetectionSampleBytes = 8192;

/// The part of `bytes` the detector reads: kDetectionSampleBytes from the first byte outside ASCII or
/// the first escape (what comes before is markup and English, which tell nothing), or from the start.
std::string_view DetectionSample(std::string_view bytes);

/// Whether the bytes hold one of the escapes by which ISO-2022-JP switches to its double-byte set
/// (ESC "$@" or ESC "$B"). The escapes back to ASCII are left out: terminals' control sequences
/// pasted into a page use them as well, and alone they carry no Japanese text.
bool HasIso2022JpEscape(std::string_view bytes);

/// UTF-16 little- or big-endian to text; a lone surrogate or an odd last byte becomes U+FFFD.
std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian);

/// The whole document as text. Never fails: invalid bytes become U+FFFD.
std::u16string DecodeDocument(std::string_view bytes, const TextCodec& codec);

} // namespace orvane
