#pragma once
// INI ("profile") files on bytes in the system code page. Decoding to UTF-16 is the caller's job
// (core/TextCodec.h), so this layer never guesses an encoding.
//
// Reading rules: section and key names match without regard to ASCII case; spaces and tabs around
// section names, keys and values are ignored; a value wholly enclosed in one pair of matching double
// or single quotes loses them; lines whose first non-blank character is ';' are comments. Lines may
// end in CR LF, LF or CR. The first matching section and the first matching key in it count.
// Everything written ends its lines with CR LF.

#include "core/AtomicFile.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvane {

/// Longest value read whole, in bytes; longer values are cut at a character boundary.
inline constexpr std::size_t kProfileValueMax = 4095;

/// Given bytes longer than `max`, returns the length (<= max) of the longest prefix that ends on a
/// character boundary of the code page.
using ProfileBoundary = std::function<std::size_t(std::string_view bytes, std::size_t max)>;

/// The boundary rule of UTF-8: never cut inside a multi-byte sequence.
std::size_t Utf8Boundary(std::string_view bytes, std::size_t max);

/// The value of `key` in `section` of the file text `text`; nullopt when the section or the key is
/// not there. An empty value is an empty string, not nullopt.
std::optional<std::string> ProfileReadValue(std::string_view text, std::string_view section,
                                            std::string_view key,
                                            const ProfileBoundary& boundary = Utf8Boundary);

/// The same on a file; a file that is missing or cannot be read reads as having no sections.
std::optional<std::string> ProfileReadFileValue(const std::filesystem::path& path, std::string_view section,
                                                std::string_view key,
                                                const ProfileBoundary& boundary = Utf8Boundary);

/// The file text with the whole content of `section` replaced by `lines` (each written followed by
/// CR LF; CR, LF and NUL inside a line are dropped so no line can become two). The section is appended
/// when absent (after a line end, added when the text does not end with one). Every byte outside the
/// section stays as it was, line ends included; blank lines that end the old section stay, to keep
/// the gap before the next section.
std::string ProfileReplaceSection(std::string_view text, std::string_view section,
                                  std::span<const std::string> lines);

/// Whole-section write on a file, as ProfileReplaceSection: creates it when missing, replaces it
/// atomically otherwise, in memory for a piece of the file at a time. False when the file cannot be
/// read or written (or is a link that `links` refuses); the old file is then untouched.
bool ProfileWriteSection(const std::filesystem::path& path, std::string_view section,
                         std::span<const std::string> lines, LinkPolicy links = LinkPolicy::Follow);

/// Reads the file once, in pieces, and hands each non-empty line of the first section named `section`
/// (header excluded, without line ends) to `onLine`. Only the line at hand is held in memory. False when the
/// file cannot be read (missing, a folder, no rights, a read error).
bool ProfileForEachSectionLine(const std::filesystem::path& path, std::string_view section,
                               const std::function<void(std::string_view line)>& onLine);

/// The key of a "key=value" line (blanks around it removed); nullopt for a comment, a section header
/// or a line without "=".
std::optional<std::string_view> ProfileLineKey(std::string_view line);

} // namespace orvane
