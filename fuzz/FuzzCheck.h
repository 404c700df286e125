#pragma once
// Invariant checks of the fuzz targets: a broken invariant prints what broke and aborts, so libFuzzer
// keeps the input as a crash like any sanitizer report.

#include "core/Text.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace orvane::fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "\n==orvane-fuzz== invariant broken at %s:%d: %s\n", file, line, what);
    std::abort();
}

/// A UTF-16 text for the report, as UTF-8 between brackets.
inline void Show(const char* label, std::u16string_view text) {
    std::fprintf(stderr, "  %s [%s]\n", label, ToUtf8(text).c_str());
}

inline void Show(const char* label, std::string_view bytes) {
    std::fprintf(stderr, "  %s [%.*s] (%zu bytes)\n", label, static_cast<int>(bytes.size()), bytes.data(),
                 bytes.size());
}

/// No unpaired surrogate: every decoder promises U+FFFD in place of one.
inline bool SurrogatesPaired(std::u16string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
            ++i;
        else if (s[i] >= 0xD800 && s[i] <= 0xDFFF)
            return false;
    }
    return true;
}

} // namespace orvane::fuzz

#define ORVANE_FUZZ_CHECK(condition)                                                                         \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            ::orvane::fuzz::Fail(#condition, __FILE__, __LINE__);                                            \
    } while (false)
