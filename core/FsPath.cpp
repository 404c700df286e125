#include "core/FsPath.h"

#include "core/Text.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace orvane {

#ifdef _WIN32

std::filesystem::path ToFsPath(std::u16string_view text) {
    return std::filesystem::path(std::wstring(text.begin(), text.end()));
}

std::u16string FromFsPath(const std::filesystem::path& path) {
    const std::wstring& native = path.native();
    return std::u16string(native.begin(), native.end());
}

std::size_t FsNameLength(std::u16string_view name) {
    return name.size();
}

std::size_t FsNameMax(std::u16string_view) {
    return 255; // NTFS, FAT32 and exFAT alike, in UTF-16 units
}

#else

std::filesystem::path ToFsPath(std::u16string_view text) {
    return std::filesystem::path(ToUtf8(text));
}

std::u16string FromFsPath(const std::filesystem::path& path) {
    return FromUtf8(path.native());
}

std::size_t FsNameLength(std::u16string_view name) {
    return ToUtf8(name).size();
}

std::size_t FsNameMax(std::u16string_view directory) {
    const long max = ::pathconf(ToFsPath(directory).c_str(), _PC_NAME_MAX);
    return max > 0 ? static_cast<std::size_t>(max) : 255;
}

#endif

} // namespace orvane
