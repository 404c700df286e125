#include "core/FsPath.h"

#include "core/Text.h"

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

#endif

} // namespace orvane
