// For documents that declare no character set and do not fit the system's code page: which Japanese
// encoding is it? The choice is ICU's charset detector (Qt already loads ICU), limited to the four
// encodings Japanese pages are written in. Apart from SystemCodec.cpp, so that a program can leave
// ICU unloaded until a page needs it (orvane-cli).

#include "platform/SystemCodec.h"

#include <unicode/ucsdet.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <utility>

namespace orvane::platform {

namespace {

// Below this the detector is guessing: ICU gives 10 to a text with a handful of double-byte
// characters and no frequent ones, and 100 to a page of ordinary Japanese prose.
constexpr std::int32_t kMinConfidence = 50;

constexpr std::array<std::string_view, 4> kCandidates{"UTF-8", "Shift_JIS", "EUC-JP", "ISO-2022-JP"};

struct DetectorDeleter {
    void operator()(UCharsetDetector* detector) const { ucsdet_close(detector); }
};

} // namespace

std::string DetectCharsetWithIcu(std::string_view bytes) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCharsetDetector, DetectorDeleter> detector(ucsdet_open(&status));
    if (U_FAILURE(status))
        return {};
    // Tags and their attributes are ASCII and say nothing about the text's encoding.
    ucsdet_enableInputFilter(detector.get(), true);
    const auto length = static_cast<std::int32_t>(std::min<std::size_t>(bytes.size(), INT32_MAX));
    ucsdet_setText(detector.get(), bytes.data(), length, &status);
    std::int32_t count = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &count, &status);
    if (U_FAILURE(status) || count <= 0)
        return {};
    // The best match, most confident first; any other encoding there means the text is not one of
    // ours, or not clearly so.
    const char* name = ucsdet_getName(matches[0], &status);
    const std::int32_t confidence = ucsdet_getConfidence(matches[0], &status);
    if (U_FAILURE(status) || name == nullptr || confidence < kMinConfidence)
        return {};
    for (const std::string_view candidate : kCandidates)
        if (candidate == name)
            return std::string(candidate);
    return {};
}

SystemCodec::SystemCodec() : SystemCodec(&DetectCharsetWithIcu) {}

SystemCodec::SystemCodec(std::string systemCharset)
    : SystemCodec(std::move(systemCharset), &DetectCharsetWithIcu) {}

const SystemCodec& SystemCodec::Instance() {
    static const SystemCodec codec;
    return codec;
}

} // namespace orvane::platform
