#pragma once
// What core needs of the system's character sets. The platform supplies the implementation;
// core itself only knows UTF-8 and UTF-16.

#include <optional>
#include <string>
#include <string_view>

namespace orvane {

class TextCodec {
public:
    virtual ~TextCodec() = default;

    /// Decodes `bytes` in the named character set (any spelling the platform knows, such as
    /// "Shift_JIS", "x-sjis", "EUC-JP"). Invalid bytes become U+FFFD. nullopt: the platform does not
    /// know that character set.
    virtual std::optional<std::u16string> Decode(std::string_view bytes, std::string_view charset) const = 0;

    /// The system's multibyte code page, both ways. Characters it cannot hold become "?".
    virtual std::u16string DecodeSystem(std::string_view bytes) const = 0;
    virtual std::string EncodeSystem(std::u16string_view text) const = 0;

    /// Whether every byte of `bytes` is valid in the system's code page.
    virtual bool ValidInSystem(std::string_view bytes) const {
        (void)bytes;
        return true;
    }
    /// For a document that declares nothing: "UTF-8", "Shift_JIS", "EUC-JP" or "ISO-2022-JP" when a
    /// detector is sure the bytes are in that encoding; empty when it is not.
    virtual std::string DetectCharset(std::string_view bytes) const {
        (void)bytes;
        return {};
    }
};

} // namespace orvane
