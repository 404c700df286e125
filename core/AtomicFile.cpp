#include "core/AtomicFile.h"

#include <cerrno>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace fs = std::filesystem;

namespace {

// A short name beside the target that no one else uses; O_EXCL makes the open fail rather than reuse
// a file (or follow a link planted under that name).
int CreateSibling(const fs::path& target, fs::path& created) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937_64 rng{std::random_device{}()};
    for (int attempt = 0; attempt < 64; ++attempt) {
        std::string name(kTemporaryPrefix);
        for (int i = 0; i < 6; ++i)
            name.push_back(kLetters[rng() % (sizeof kLetters - 1)]);
        fs::path candidate = target;
        candidate.replace_filename(name);
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

// The system reads a path only up to a NUL: such a path would reach another file than the one named.
bool HoldsNul(const fs::path& path) {
    return path.native().find('\0') != fs::path::string_type::npos;
}

bool FlushToDisk(std::FILE* f) {
    return std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
}

class FileCloser {
public:
    explicit FileCloser(std::FILE* f) : f_(f) {}
    ~FileCloser() {
        if (f_)
            std::fclose(f_);
    }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;

private:
    std::FILE* f_;
};

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
    const FileCloser closeOld(old);
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

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, LinkPolicy links) {
    return ReplaceFileAtomically(
        path, false,
        [bytes](std::FILE* out, std::FILE*) {
            return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
        },
        links);
}

bool ReadWholeFile(const fs::path& path, std::string& bytes) {
    if (HoldsNul(path))
        return false;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return false;
    std::string content;
    char buffer[16384];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        content.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed)
        return false;
    bytes = std::move(content);
    return true;
}

} // namespace orvane
