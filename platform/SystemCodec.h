#pragma once
// The system's multibyte code page and the other character sets a document may declare, over
// iconv: it reports every invalid byte, so each one can become U+FFFD instead of failing.

#include "core/TextCodec.h"

#include <string>

namespace orvane::platform {

class SystemCodec final : public TextCodec {
public:
    /// The system code page is the locale's character set; plain ASCII ("C" locale) counts as UTF-8.
    SystemCodec();
    /// For tests: a fixed system code page.
    explicit SystemCodec(std::string systemCharset);

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
};

} // namespace orvane::platform
