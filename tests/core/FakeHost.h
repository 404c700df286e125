#pragma once
// A ConversionHost that records every call in order, keeps the links in gLinks like the main window
// does, and can press the cancel button from its event pump. Also a UTF-8 codec, a scratch
// directory and a file reader for the core tests.

#include "core/AtomicFile.h"
#include "core/ConversionHost.h"
#include "core/Globals.h"
#include "core/MessageText.h"
#include "core/Text.h"
#include "core/TextCodec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace orvane::test {

class FakeHost : public ConversionHost {
public:
    std::u16string target = u"/tmp/page.htm";
    /// Every call as a short UTF-8 line ("busy", "phase <text>", "status: <text>", "message <title>" ...).
    std::vector<std::string> calls;
    std::vector<MessageText> messages;
    std::vector<std::u16string> statusTexts;
    int pumps = 0;
    /// Sets gCancelRequested during this pump (1-based), as a click on the cancel button would.
    int cancelAtPump = 0;

    std::u16string TargetText() const override { return target; }
    void SetBusyPointer(bool busy) override { calls.push_back(busy ? "busy" : "arrow"); }
    void ShowMessage(std::u16string_view text, std::u16string_view title, MessageIcon icon) override {
        messages.push_back({std::u16string(text), std::u16string(title), icon});
        calls.push_back("message " + ToUtf8(title));
    }
    void SetMainWindowEnabled(bool enabled) override { calls.push_back(enabled ? "enable" : "disable"); }
    void ShowProgress(bool visible) override {
        calls.push_back(visible ? "progress shown" : "progress hidden");
    }
    void SetPhaseText(std::u16string_view text) override { calls.push_back("phase " + ToUtf8(text)); }
    void SetStatusText(std::u16string_view text) override {
        statusTexts.emplace_back(text);
        calls.push_back("status: " + ToUtf8(text));
    }
    void SetStatusVisible(bool visible) override {
        calls.push_back(visible ? "status line shown" : "status line hidden");
    }
    void RepaintProgress() override { calls.push_back("repaint"); }
    void PumpEvents() override {
        calls.push_back("pump");
        if (++pumps == cancelAtPump)
            gCancelRequested = true;
    }
    int AddLinkRecord(std::u16string url, std::u16string name, std::int16_t seq) override {
        calls.push_back("add");
        return gLinks.Add(std::move(url), std::move(name), seq);
    }
    void ShowNewLinks(int count) override {
        calls.push_back("show " + std::to_string(count));
        gLinkCount = static_cast<std::int16_t>(gLinkCount + count);
    }

    /// The calls without the status texts, pumps and adds, whose number depends on the document.
    std::vector<std::string> Steps() const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.rfind("status: ", 0) != 0 && c != "pump" && c != "add")
                out.push_back(c);
        return out;
    }
};

/// The system code page of these tests is UTF-8; "x-test-upper" is a known charset that decodes
/// ASCII in upper case, everything else is unknown.
class Utf8Codec : public TextCodec {
public:
    mutable std::vector<std::string> asked;

    std::optional<std::u16string> Decode(std::string_view bytes, std::string_view charset) const override {
        asked.emplace_back(charset);
        if (charset != "x-test-upper")
            return std::nullopt;
        std::u16string out = FromUtf8(bytes);
        for (auto& c : out)
            if (c >= u'a' && c <= u'z')
                c = static_cast<char16_t>(c - 32);
        return out;
    }
    std::u16string DecodeSystem(std::string_view bytes) const override { return FromUtf8(bytes); }
    std::string EncodeSystem(std::u16string_view text) const override { return ToUtf8(text); }
};

/// A fresh directory under the system's temporary directory, removed again at the end.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvane-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    /// Writes `bytes` to a file of that name; returns its path as the windows would pass it.
    std::u16string Write(const std::string& name, std::string_view bytes) const {
        const auto file = path_ / name;
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return FromUtf8(file.string());
    }

private:
    std::filesystem::path path_;
};

inline std::string Slurp(const std::filesystem::path& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

} // namespace orvane::test
