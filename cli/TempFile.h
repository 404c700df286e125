#pragma once
// A temporary file of orvane-cli's own, created exclusively in $TMPDIR (or /tmp) and removed when it
// goes: standard input and fetched pages are converted from one, as the window converts from files.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace orvane::cli {

class TempFile {
public:
    TempFile();
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }
    bool Write(std::string_view bytes);
    /// Extends the file to `size` bytes without writing them (a hole, no disk space).
    bool Extend(std::uintmax_t size);
    /// Writes everything out; false when anything failed since the file was opened.
    bool Finish();

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    bool ok_ = true;
};

} // namespace orvane::cli
