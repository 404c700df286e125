#pragma once
// The one bridge between core's UTF-16 text and the file system's names. On POSIX systems a name is
// bytes, and Qt and the desktop write them as UTF-8; on Windows a name is UTF-16. Every path that core
// opens, and every name whose length the file system limits, goes through here.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvane {

/// The file-system path for `text`. A lone surrogate (which no file name can hold on POSIX systems)
/// becomes U+FFFD there.
std::filesystem::path ToFsPath(std::u16string_view text);

/// The text of a file-system path; bytes that are not UTF-8 become U+FFFD.
std::u16string FromFsPath(const std::filesystem::path& path);

/// The length of a file name as the file system limits it: bytes on POSIX systems, UTF-16 units on
/// Windows.
std::size_t FsNameLength(std::u16string_view name);

/// The longest file name, as FsNameLength counts it, that the folder `directory` takes (255 where the
/// system cannot tell).
std::size_t FsNameMax(std::u16string_view directory);

} // namespace orvane
