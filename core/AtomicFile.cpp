#include "core/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define ORVANE_HAVE_FSYNC 1
#endif

namespace orvane {

namespace fs = std::filesystem;

namespace {

// A name next to the target that no one else uses; "x" makes the open fail rather than reuse a file.
std::FILE* CreateSibling(const fs::path& target, fs::path& created) {
    static std::mt19937_64 rng{std::random_device{}()};
    for (int attempt = 0; attempt < 16; ++attempt) {
        fs::path candidate = target;
        std::string name = ".";
        name += target.filename().native();
        name += ".new-";
        name += std::to_string(rng() % 1000000007u);
        candidate.replace_filename(name);
        if (std::FILE* f = std::fopen(candidate.c_str(), "wbx")) {
            created = std::move(candidate);
            return f;
        }
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

// The system reads a path only up to a NUL: such a path would reach another file than the one named.
bool HoldsNul(const fs::path& path) {
    return path.native().find('\0') != fs::path::string_type::npos;
}

bool FlushToDisk(std::FILE* f) {
    if (std::fflush(f) != 0)
        return false;
#if defined(ORVANE_HAVE_FSYNC)
    if (::fsync(::fileno(f)) != 0)
        return false;
#endif
    return true;
}

} // namespace

bool WriteFileAtomically(const fs::path& path, std::string_view bytes) {
    if (HoldsNul(path))
        return false;
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(target, ec)) {
        target = fs::canonical(path, ec);
        if (ec)
            return false; // a dangling link: nothing sensible to replace
    }
    const fs::file_status old = fs::status(target, ec);
    const bool exists = fs::exists(old);
    if (exists) {
        if (!fs::is_regular_file(old))
            return false;
        // A file without any write permission is read-only to its owner's intent; renaming over it
        // would slip past that.
        constexpr auto anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if ((old.permissions() & anyWrite) == fs::perms::none)
            return false;
    }

    fs::path temp;
    std::FILE* f = CreateSibling(target, temp);
    if (f == nullptr)
        return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = FlushToDisk(f) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (ok && exists)
        fs::permissions(temp, old.permissions(), fs::perm_options::replace, ec); // best effort
    if (ok) {
        fs::rename(temp, target, ec);
        ok = !ec;
    }
    if (!ok)
        fs::remove(temp, ec);
    return ok;
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
