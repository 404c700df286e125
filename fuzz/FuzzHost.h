#pragma once
// What the fuzz targets that run the whole conversion share: a host that stands in for the windows
// and records what the conversion asked of them, and a scratch file for the document.

#include "fuzz/FuzzCheck.h"

#include "core/ConversionHost.h"
#include "core/Globals.h"
#include "core/LinkTable.h"
#include "core/Text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace orvane::fuzz {

class FuzzHost final : public ConversionHost {
public:
    std::u16string target;
    int cancelAtPump = 0;
    int pumps = 0;
    int shows = 0;
    int shown = 0;
    int messages = 0;
    bool busy = false;
    bool enabled = true;
    bool progress = false;

    std::u16string TargetText() const override { return target; }
    void SetBusyPointer(bool on) override { busy = on; }
    void ShowMessage(std::u16string_view, std::u16string_view title, MessageIcon) override {
        ORVANE_FUZZ_CHECK(!title.empty());
        ++messages;
    }
    void SetMainWindowEnabled(bool on) override { enabled = on; }
    void ShowProgress(bool visible) override { progress = visible; }
    void SetPhaseText(std::u16string_view) override {}
    void SetStatusText(std::u16string_view) override {}
    void SetStatusVisible(bool) override {}
    void RepaintProgress() override {}
    void PumpEvents() override {
        if (++pumps == cancelAtPump)
            gCancelRequested = true;
    }
    int AddLinkRecord(std::u16string url, std::u16string name, std::int16_t seq) override {
        return gLinks.Add(std::move(url), std::move(name), seq);
    }
    void ShowNewLinks(int count) override {
        ++shows;
        shown = count;
    }
};

class ScratchFile {
public:
    ScratchFile() {
        // In memory where there is a tmpfs: a file rewritten on every run costs a disk flush elsewhere.
        const char* tmp = std::getenv("TMPDIR");
        std::string base = tmp && *tmp ? tmp : "/tmp";
        if (access("/dev/shm", W_OK) == 0)
            base = "/dev/shm";
        std::string pattern = base + "/orvane-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        dir_ = pattern;
        path_ = dir_ / "page.htm";
    }
    ~ScratchFile() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    std::u16string Write(std::string_view bytes) const {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        ORVANE_FUZZ_CHECK(f != nullptr);
        ORVANE_FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
        ORVANE_FUZZ_CHECK(std::fclose(f) == 0);
        return FromUtf8(path_.string());
    }

private:
    std::filesystem::path dir_;
    std::filesystem::path path_;
};

} // namespace orvane::fuzz
