#include "cli/TempFile.h"

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace orvane::cli {

TempFile::TempFile() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = (dir && *dir ? std::string(dir) : std::string("/tmp")) + "/orvane-cli-XXXXXX.htm";
    const int fd = mkstemps(path.data(), 4);
    if (fd < 0)
        return;
    file_ = fdopen(fd, "w+b");
    if (!file_) {
        close(fd);
        unlink(path.c_str());
        return;
    }
    path_ = std::move(path);
}

TempFile::~TempFile() {
    if (!file_)
        return;
    std::fclose(file_);
    unlink(path_.c_str());
}

bool TempFile::Write(std::string_view bytes) {
    ok_ = ok_ && file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
    return ok_;
}

bool TempFile::Extend(std::uintmax_t size) {
    ok_ = ok_ && file_ && std::fflush(file_) == 0 && ftruncate(fileno(file_), static_cast<off_t>(size)) == 0;
    return ok_;
}

bool TempFile::Finish() {
    ok_ = ok_ && file_ && std::fflush(file_) == 0;
    return ok_;
}

} // namespace orvane::cli
