#include "core/AtomicFile.h"

#include <cerrno>
#include <limits>
#include <memory>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvane {

namespace fs = std::filesystem;

namespace {

// A short name of its own for the temporary file beside the target.
std::string TemporaryName() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937_64 rng{std::random_device{}()};
    std::string name(kTemporaryPrefix);
    for (int i = 0; i < 6; ++i)
        name.push_back(kLetters[rng() % (sizeof kLetters - 1)]);
    return name;
}

// The system reads a path only up to a NUL: such a path would reach another file than the one named.
bool HoldsNul(const fs::path& path) {
    return path.native().find(fs::path::value_type{}) != fs::path::string_type::npos;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

#ifdef _WIN32

namespace {

bool NotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// A C stream over a handle, which it owns from then on; null (and the handle closed) on failure.
std::FILE* StreamOf(HANDLE handle, int flags, const char* mode) {
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (fd < 0) {
        ::CloseHandle(handle);
        return nullptr;
    }
    std::FILE* f = ::_fdopen(fd, mode);
    if (f == nullptr)
        ::_close(fd);
    return f;
}

// CREATE_NEW fails on any name that exists, a reparse point planted under it included.
HANDLE CreateSibling(const fs::path& target, fs::path& created) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        fs::path candidate = target;
        candidate.replace_filename(TemporaryName());
        const HANDLE h = ::CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            created = std::move(candidate);
            return h;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    return INVALID_HANDLE_VALUE;
}

bool FlushToDisk(std::FILE* f) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(f)));
    return std::fflush(f) == 0 && ::FlushFileBuffers(handle) != 0;
}

} // namespace

bool ReplaceFileAtomically(const fs::path& path, bool readOld, const FileFiller& fill, LinkPolicy links) {
    if (HoldsNul(path) || path.filename().empty())
        return false;
    fs::path target = path;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && !NotFound(::GetLastError()))
        return false;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        if (links == LinkPolicy::Refuse)
            return false;
        std::error_code ec;
        target = fs::canonical(path, ec);
        if (ec)
            return false; // a dangling link: nothing sensible to replace
    }

    // The old file is opened once and judged by what was opened, so a reparse point swapped in
    // meanwhile is never read through; the rename below replaces a directory entry. Deleting is
    // shared so that the rename may replace the file while it is still open.
    const DWORD noFollow = links == LinkPolicy::Refuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
    const HANDLE oldHandle = ::CreateFileW(target.c_str(), readOld ? GENERIC_READ : FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | noFollow, nullptr);
    const bool exists = oldHandle != INVALID_HANDLE_VALUE;
    if (!exists && !NotFound(::GetLastError()))
        return false; // a folder, no rights, held open without sharing
    File old;
    if (exists) {
        BY_HANDLE_FILE_INFORMATION info{};
        const bool known = ::GetFileInformationByHandle(oldHandle, &info) != 0;
        // A folder, a reparse point, or a file marked read-only (renaming over it would slip past that).
        constexpr DWORD kRefused =
            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY;
        if (!known || (info.dwFileAttributes & kRefused) != 0) {
            ::CloseHandle(oldHandle);
            return false;
        }
        if (readOld) {
            old.reset(StreamOf(oldHandle, _O_RDONLY | _O_BINARY, "rb"));
            if (!old)
                return false;
        } else {
            ::CloseHandle(oldHandle);
        }
    }

    fs::path temp;
    const HANDLE h = CreateSibling(target, temp);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    std::FILE* f = StreamOf(h, _O_WRONLY | _O_BINARY, "wb");
    if (f == nullptr) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    bool ok = fill(f, old.get());
    ok = ok && std::ferror(f) == 0 && FlushToDisk(f);
    ok = (std::fclose(f) == 0) && ok;
    old.reset();
    if (ok)
        ok = ::MoveFileExW(temp.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok)
        ::DeleteFileW(temp.c_str());
    return ok;
}

std::FILE* OpenForReading(const fs::path& path) {
    return ::_wfopen(path.c_str(), L"rb");
}

bool SeekTo(std::FILE* f, std::uint64_t offset) {
    return offset <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) &&
           ::_fseeki64(f, static_cast<__int64>(offset), SEEK_SET) == 0;
}

std::optional<std::uint64_t> FileLength(std::FILE* f) {
    if (::_fseeki64(f, 0, SEEK_END) != 0)
        return std::nullopt;
    const __int64 length = ::_ftelli64(f);
    if (length < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(length);
}

#else

namespace {

// O_EXCL makes the open fail rather than reuse a file (or follow a link planted under that name).
int CreateSibling(const fs::path& target, fs::path& created) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        fs::path candidate = target;
        candidate.replace_filename(TemporaryName());
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            created = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

bool FlushToDisk(std::FILE* f) {
    return std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
}

} // namespace

bool ReplaceFileAtomically(const fs::path& path, bool readOld, const FileFiller& fill, LinkPolicy links) {
    if (HoldsNul(path) || path.filename().empty())
        return false;
    fs::path target = path;
    struct stat linkInfo {};
    const bool present = ::lstat(path.c_str(), &linkInfo) == 0;
    if (!present && errno != ENOENT)
        return false;
    if (present && S_ISLNK(linkInfo.st_mode)) {
        if (links == LinkPolicy::Refuse)
            return false;
        std::error_code ec;
        target = fs::canonical(path, ec);
        if (ec)
            return false; // a dangling link: nothing sensible to replace
    }

    // The old file is opened once and judged by what was opened, so a link swapped in meanwhile is
    // never read through; the rename below replaces a directory entry, never a link's target.
    const int noFollow = links == LinkPolicy::Refuse ? O_NOFOLLOW : 0;
    std::FILE* old = nullptr;
    struct stat oldInfo {};
    bool exists = false;
    if (readOld) {
        const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | noFollow);
        if (fd < 0 && errno != ENOENT)
            return false;
        if (fd >= 0) {
            old = ::fdopen(fd, "rb");
            if (old == nullptr) {
                ::close(fd);
                return false;
            }
            exists = ::fstat(fd, &oldInfo) == 0;
            if (!exists) {
                std::fclose(old);
                return false;
            }
        }
    } else {
        exists = ::lstat(target.c_str(), &oldInfo) == 0;
        if (!exists && errno != ENOENT)
            return false;
        if (exists && S_ISLNK(oldInfo.st_mode))
            return false; // swapped for a link since it was looked at
    }
    const File closeOld(old);
    if (exists) {
        if (!S_ISREG(oldInfo.st_mode))
            return false;
        // A file without any write permission is read-only to its owner's intent; renaming over it
        // would slip past that.
        if ((oldInfo.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return false;
    }

    fs::path temp;
    const int fd = CreateSibling(target, temp);
    if (fd < 0)
        return false;
    // The old file's permissions, set on the open file: its name is in a directory others may write.
    if (exists)
        ::fchmod(fd, oldInfo.st_mode & 07777); // best effort
    std::FILE* f = ::fdopen(fd, "wb");
    if (f == nullptr) {
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    bool ok = fill(f, old);
    ok = ok && std::ferror(f) == 0 && FlushToDisk(f);
    ok = (std::fclose(f) == 0) && ok;
    if (ok)
        ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

std::FILE* OpenForReading(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::FILE* f = ::fdopen(fd, "rb");
    if (f == nullptr)
        ::close(fd);
    return f;
}

bool SeekTo(std::FILE* f, std::uint64_t offset) {
    return offset <= static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) &&
           ::fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::optional<std::uint64_t> FileLength(std::FILE* f) {
    if (::fseeko(f, 0, SEEK_END) != 0)
        return std::nullopt;
    const off_t length = ::ftello(f);
    if (length < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(length);
}

#endif

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, LinkPolicy links) {
    return ReplaceFileAtomically(
        path, false,
        [bytes](std::FILE* out, std::FILE*) {
            return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
        },
        links);
}

} // namespace orvane
