#pragma once
// Replacing a whole file so that a crash or a refused write never leaves it half-written: the new
// content goes to a fresh file in the same directory, which is then renamed over the old one.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

/// What a symbolic link (on Windows, any reparse point) at the target means. Follow: the file it names is the
/// one replaced (the user's own settings file may be a link into a dotfiles folder). Refuse: nothing is read
/// or written through it (names chosen by web pages must not reach another file through a planted link).
enum class LinkPolicy { Follow, Refuse };

/// Fills the new file. `old` is the old file opened for reading (null when there was none, or when
/// the old content was not asked for). False abandons the write.
using FileFiller = std::function<bool(std::FILE* out, std::FILE* old)>;

/// Replaces `path` by what `fill` writes. On failure (the directory does not take a new file, the old
/// file is read-only, unreadable when its content is needed, a folder or a refused link, the medium is
/// full, the path holds a NUL) returns false and leaves any old file exactly as it was. The temporary
/// file has a short name of its own, so every name the file system accepts can be written.
bool ReplaceFileAtomically(const std::filesystem::path& path, bool readOld, const FileFiller& fill,
                           LinkPolicy links = LinkPolicy::Follow);

/// Writes `bytes` as the whole content of `path`, as ReplaceFileAtomically.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         LinkPolicy links = LinkPolicy::Follow);

/// Opens an existing file for reading, in binary mode, by its file-system path (wide on Windows, so
/// no name is narrowed on the way); null when it cannot be opened.
std::FILE* OpenForReading(const std::filesystem::path& path);

/// Moves to an absolute offset, and finds a file's length, with 64-bit offsets on every system (a
/// long has 32 bits on Windows). False or nullopt on failure; FileLength leaves the position at the
/// end.
bool SeekTo(std::FILE* f, std::uint64_t offset);
std::optional<std::uint64_t> FileLength(std::FILE* f);

/// The name of the temporary file is this followed by six letters or digits.
inline constexpr std::string_view kTemporaryPrefix = ".orvane-";

} // namespace orvane
