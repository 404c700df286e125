#pragma once
// The system's multibyte code page and the other character sets a document may declare, over
// iconv: it reports every invalid byte, so each one can become U+FFFD instead of failing.

#include "core/TextCodec.h"

#include <string>
#include <string_view>

namespace orvane::platform {

/// Tells the encoding of bytes that declare none and do not fit the system code page (see
/// TextCodec::DetectCharset); empty when unsure.
using CharsetDetector = std::string (*)(std::string_view bytes);

/// ICU's charset detector (CharsetDetection.cpp, the one part of the codec that needs ICU).
std::string DetectCharsetWithIcu(std::string_view bytes);

class SystemCodec final : public TextCodec {
public:
    /// The system code page is the locale's character set; plain ASCII ("C" locale) counts as UTF-8.
    /// Undeclared pages are told by ICU's detector.
    SystemCodec();
    /// For tests: a fixed system code page.
    explicit SystemCodec(std::string systemCharset);
    /// The same with another detector (none: nullptr). A program that links these two alone does
    /// not load ICU.
    explicit SystemCodec(CharsetDetector detector);
    SystemCodec(std::string systemCharset, CharsetDetector detector);

    std::optional<std::u16string> Decode(std::string_view bytes, std::string_view charset) const override;
    std::u16string DecodeSystem(std::string_view bytes) const override;
    std::string EncodeSystem(std::u16string_view text) const override;
    bool ValidInSystem(std::string_view bytes) const override;
    std::string DetectCharset(std::string_view bytes) const override;

    const std::string& SystemCharset() const { return system_; }

    /// The codec the program uses everywhere.
    static const SystemCodec& Instance();

private:
    /// The system code page under the name iconv decodes it by.
    std::string IconvSystemName() const;

    std::string system_;
    bool systemIsUtf8_ = true;
    CharsetDetector detector_ = nullptr;
};

} // namespace orvane::platform
