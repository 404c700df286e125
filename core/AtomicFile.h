#pragma once
// Replacing a whole file so that a crash or a refused write never leaves it half-written: the new
// content goes to a fresh file in the same directory, which is then renamed over the old one.

#include <filesystem>
#include <string>
#include <string_view>

namespace orvane {

/// Writes `bytes` as the whole content of `path`. On failure (the directory does not take a new file,
/// the old file is read-only or a folder, the medium is full, the path holds a NUL) returns false and
/// leaves any old file exactly as it was. A symbolic link is followed, so the file it names is the one
/// replaced.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

/// Reads the whole file. False when it cannot be opened or read (a folder counts as unreadable, and
/// so does a path holding a NUL).
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

} // namespace orvane
