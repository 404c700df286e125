#pragma once
// A recording ConversionHost, a UTF-8 codec, a scratch directory, a file reader and a conversion
// fixture for the core tests.

#include "core/Conversion.h"
#include "core/ConversionHost.h"
#include "core/Globals.h"
#include "core/MessageText.h"
#include "core/Text.h"
#include "core/TextCodec.h"
#include "core/UriReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include <unistd.h>

namespace orvane::test {

struct FakeHost : ConversionHost {
    std::u16string target;
    std::vector<std::string> calls;
    std::vector<MessageText> messages;
    int pumps = 0, cancelAtPump = 0;
    ConversionOutcome outcome = ConversionOutcome::Skipped; // what the conversion returned

    std::u16string TargetText() const override { return target; }
    void SetBusyPointer(bool busy) override { calls.push_back(busy ? "busy" : "arrow"); }
    void ShowMessage(std::u16string_view text, std::u16string_view title, MessageIcon icon) override {
        messages.push_back({std::u16string(text), std::u16string(title), icon});
        calls.push_back("message " + ToUtf8(title));
    }
    void SetMainWindowEnabled(bool on) override { calls.push_back(on ? "enable" : "disable"); }
    void ShowProgress(bool on) override { calls.push_back(on ? "progress shown" : "progress hidden"); }
    void SetPhaseText(std::u16string_view text) override { calls.push_back("phase " + ToUtf8(text)); }
    void SetStatusText(std::u16string_view text) override { calls.push_back("status: " + ToUtf8(text)); }
    void SetStatusVisible(bool v) override {
        calls.push_back(v ? "status line shown" : "status line hidden");
    }
    void RepaintProgress() override { calls.push_back("repaint"); }
    void PumpEvents() override {
        calls.push_back("pump");
        gCancelRequested = ++pumps == cancelAtPump || gCancelRequested;
    }
    int AddLinkRecord(std::u16string url, std::u16string name, std::int16_t seq) override {
        calls.push_back("add");
        return gLinks.Add(std::move(url), std::move(name), seq);
    }
    void ShowNewLinks(int count) override { calls.push_back("show " + std::to_string(count)); }
    /// Each message as "title|icon|text", then each record of the link table as "seq|name|url"
    /// ("|deleted" added to a deleted one), then the entry count.
    std::vector<std::string> Result() const {
        static const char* const icons[] = {"None", "Critical", "Exclamation", "Information"};
        std::vector<std::string> out;
        for (const MessageText& m : messages)
            out.push_back(ToUtf8(m.title) + "|" + icons[static_cast<int>(m.icon)] + "|" + ToUtf8(m.text));
        for (int i = 0; i < gLinks.Size(); ++i) {
            const LinkRecord& r = gLinks.At(i);
            out.push_back(std::to_string(r.seq) + "|" + ToUtf8(r.name) + "|" + ToUtf8(r.url) +
                          (r.deleted ? "|deleted" : ""));
        }
        out.push_back("count " + std::to_string(gLinkCount()));
        return out;
    }
};

/// The system code page is UTF-8; "x-test-upper" is the one known charset (ASCII in upper case).
struct Utf8Codec : TextCodec {
    mutable std::vector<std::string> asked;

    std::optional<std::u16string> Decode(std::string_view bytes, std::string_view charset) const override {
        asked.emplace_back(charset);
        if (charset != "x-test-upper")
            return std::nullopt;
        std::u16string out = FromUtf8(bytes);
        for (auto& c : out)
            c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
        return out;
    }
    std::u16string DecodeSystem(std::string_view bytes) const override { return FromUtf8(bytes); }
    std::string EncodeSystem(std::u16string_view text) const override { return ToUtf8(text); }
};

/// A fresh temporary directory, removed again at the end.
struct ScratchDir {
    std::filesystem::path path_;
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvane-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::u16string Write(const std::string& name, std::string_view bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return FromUtf8((path_ / name).string());
    }
    /// The names of the directory's entries, sorted.
    std::vector<std::string> Files() const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

inline std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << path;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

using Lines = std::vector<std::string>;

inline std::string Repeat(std::string_view piece, int count) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}
using Names = std::vector<std::u16string>;

/// The names of the records that are not deleted.
inline Names LiveNames(const LinkTable& table = gLinks) {
    Names out;
    table.ForEachLive([&](int, const LinkRecord& r) { out.push_back(r.name); });
    return out;
}

/// The globals reset before and after, and a scratch directory.
class GlobalsFixture : public ::testing::Test {
protected:
    void SetUp() override { ResetGlobals(); }
    void TearDown() override { ResetGlobals(); }
    ScratchDir dir_;
};

/// Converts "page one.htm" of the scratch directory through a fresh recording host; the button is
/// pressed at the `cancelAt`th pump (1-based; 0: never).
class ConversionFixture : public GlobalsFixture {
protected:
    FakeHost& Convert(std::string_view bytes, std::u16string_view address = {}, int cancelAt = 0) {
        host_ = FakeHost{};
        host_.target = dir_.Write("page one.htm", bytes);
        host_.cancelAtPump = cancelAt;
        host_.outcome = RunConversion(host_.target, host_, codec_, address);
        return host_;
    }
    std::string FileUrl(const std::string& name) const {
        return FileUrlFromPath((dir_.Path() / name).string());
    }
    /// The last `n` calls (all by default), joined by "|".
    static std::string Join(const Lines& calls, std::size_t n = 0) {
        std::string out;
        for (auto it = calls.end() - static_cast<std::ptrdiff_t>(n ? n : calls.size()); it != calls.end();
             ++it)
            out += (out.empty() ? "" : "|") + *it;
        return out;
    }

    Utf8Codec codec_;
    FakeHost host_;
};

} // namespace orvane::test
