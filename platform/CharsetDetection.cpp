// SystemCodec's part for documents that declare no character set: is the text valid in the system's
// code page, and if not, which Japanese encoding is it? The choice is ICU's charset detector (Qt
// already loads ICU), limited to the four encodings Japanese pages are written in.

#include "platform/SystemCodec.h"

#include <unicode/ucsdet.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <memory>

namespace orvane::platform {

namespace {

// Below this the detector is guessing: ICU gives 10 to a text with a handful of double-byte
// characters and no frequent ones, and 100 to a page of ordinary Japanese prose.
constexpr std::int32_t kMinConfidence = 50;

constexpr std::array<std::string_view, 4> kCandidates{"UTF-8", "Shift_JIS", "EUC-JP", "ISO-2022-JP"};

// Strict UTF-8 as the encoding standard defines it: no overlong forms, no surrogates, nothing past
// U+10FFFF, no truncated sequence at the end.
bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        // Markup is ASCII: step over it eight bytes at a time.
        while (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, p + i, sizeof word);
            if ((word & 0x8080808080808080ULL) != 0)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0)
                low = 0xA0;
            else if (b == 0xED)
                high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0)
                low = 0x90;
            else if (b == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (n - i < length)
            return false;
        if (p[i + 1] < low || p[i + 1] > high)
            return false;
        for (std::size_t k = 2; k < length; ++k)
            if (p[i + k] < 0x80 || p[i + k] > 0xBF)
                return false;
        i += length;
    }
    return true;
}

// Whether iconv converts all of `bytes` from `charset` without a refused or truncated sequence.
bool ConvertsCleanly(std::string_view bytes, const char* charset) {
    const iconv_t cd = iconv_open("UTF-8", charset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return true; // nothing to judge by: keep the system's code page
    char* src = const_cast<char*>(bytes.data());
    std::size_t left = bytes.size();
    char buffer[4096];
    bool clean = true;
    while (left > 0) {
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        if (iconv(cd, &src, &left, &dst, &room) == static_cast<std::size_t>(-1) && errno != E2BIG) {
            clean = false;
            break;
        }
    }
    iconv_close(cd);
    return clean;
}

struct DetectorDeleter {
    void operator()(UCharsetDetector* detector) const { ucsdet_close(detector); }
};

} // namespace

bool SystemCodec::ValidInSystem(std::string_view bytes) const {
    if (systemIsUtf8_)
        return IsValidUtf8(bytes);
    return ConvertsCleanly(bytes, IconvSystemName().c_str());
}

std::string SystemCodec::DetectCharset(std::string_view bytes) const {
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

} // namespace orvane::platform
