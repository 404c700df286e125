// The file-name rules on any name: the ten forbidden characters and their counterparts, the reserved
// device names, the full-width conversion, the keystroke filter and the rename window's OK.
//
// The first byte chooses: bit 0 the rename window's "type a name" choice, bit 1 how the rest is read
// (0: UTF-8, 1: raw UTF-16 units, little-endian, which also gives lone surrogates).

#include "FuzzCheck.h"

#include "core/FileNameRules.h"
#include "core/Text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace orvane;

namespace {

constexpr std::u16string_view kTen = u"\\/:,;*?<>|";

bool Holds(std::u16string_view s, char16_t c) {
    return s.find(c) != std::u16string_view::npos;
}

char16_t CounterpartOf(char16_t c) {
    for (const ForbiddenChar& f : kForbiddenChars)
        if (f.ch == c)
            return f.fullWidth;
    return c;
}

char16_t Upper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c;
}

bool IsReservedByHand(std::u16string_view name) {
    std::u16string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(), Upper);
    for (std::u16string_view r :
         {u"CON", u"AUX", u"COM1", u"COM2", u"COM3", u"COM4", u"LPT1", u"LPT2", u"LPT3", u"PRN", u"NUL"})
        if (upper == r)
            return true;
    return false;
}

std::u16string WithoutLoneSurrogates(std::u16string_view s) {
    std::u16string out(s);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const bool high = out[i] >= 0xD800 && out[i] <= 0xDBFF;
        if (high && i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF)
            ++i;
        else if (out[i] >= 0xD800 && out[i] <= 0xDFFF)
            out[i] = u'\uFFFD';
    }
    return out;
}

void CheckName(std::u16string_view name, bool typed) {
    // ConvertForbidden: one unit for one, only the ten change, and `changed` says whether any did.
    const ConvertedName converted = ConvertForbidden(name);
    ORVANE_FUZZ_CHECK(converted.converted.size() == name.size());
    bool anyForbidden = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        anyForbidden = anyForbidden || Holds(kTen, name[i]);
        ORVANE_FUZZ_CHECK(converted.converted[i] == CounterpartOf(name[i]));
        ORVANE_FUZZ_CHECK(!Holds(kTen, converted.converted[i]));
    }
    ORVANE_FUZZ_CHECK(converted.changed == anyForbidden);
    for (std::size_t row = 0; row < kForbiddenChars.size(); ++row) {
        ORVANE_FUZZ_CHECK(HoldsForbiddenChar(name, row) == Holds(name, kForbiddenChars[row].ch));
        ORVANE_FUZZ_CHECK(!HoldsForbiddenChar(converted.converted, row));
    }
    ORVANE_FUZZ_CHECK(!HoldsForbiddenChar(name, kForbiddenChars.size()));
    // Converting again changes nothing.
    const ConvertedName again = ConvertForbidden(converted.converted);
    ORVANE_FUZZ_CHECK(!again.changed && again.converted == converted.converted);

    // ToFullWidth: U+0021..U+007E move to U+FF01..U+FF5E, nothing else moves.
    const std::u16string wide = ToFullWidth(name);
    ORVANE_FUZZ_CHECK(wide.size() == name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        const char16_t expected = c >= 0x21 && c <= 0x7E ? static_cast<char16_t>(c + 0xFEE0) : c;
        ORVANE_FUZZ_CHECK(wide[i] == expected);
    }

    // Reserved device names: a case-folded comparison with the eleven; the full-width form never is one.
    const bool reserved = IsReservedDeviceName(name);
    ORVANE_FUZZ_CHECK(reserved == IsReservedByHand(name));
    ORVANE_FUZZ_CHECK(!IsReservedDeviceName(wide));
    if (reserved)
        ORVANE_FUZZ_CHECK(ReservedNameMessage(name).text.find(name) != std::u16string::npos);

    // The keystroke filter refuses the ten and the double quote, and nothing else.
    bool anyRefused = false;
    for (const char16_t c : name) {
        const bool refused = Holds(kTen, c) || c == u'"';
        ORVANE_FUZZ_CHECK(IsRefusedKeystroke(c) == refused);
        anyRefused = anyRefused || refused;
    }
    ORVANE_FUZZ_CHECK(HoldsRefusedChar(name) == anyRefused);
    ORVANE_FUZZ_CHECK(HoldsRefusedChar(converted.converted) == Holds(name, u'"'));

    // Unsafe characters: none left, nothing else lost or moved, no hidden (dot) name, and a second
    // pass changes nothing.
    const std::u16string safe = RemoveUnsafeNameChars(name);
    const auto unsafe = [](char16_t c) {
        return c <= 0x1F || c == 0x7F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
    };
    std::u16string kept;
    for (const char16_t c : name)
        if (!unsafe(c))
            kept.push_back(c);
    ORVANE_FUZZ_CHECK(std::none_of(safe.begin(), safe.end(), unsafe));
    ORVANE_FUZZ_CHECK(safe.size() == kept.size() && (safe.empty() || safe.front() != u'.'));
    ORVANE_FUZZ_CHECK(safe.empty() || safe.substr(1) == kept.substr(1));
    ORVANE_FUZZ_CHECK(RemoveUnsafeNameChars(safe) == safe);

    // Shortened to fit: a prefix, whole characters only, within the limit, as long as it can be.
    const std::size_t limit = name.size() % 300;
    const auto utf8Size = [](std::u16string_view n) {
        return ToUtf8(n).size();
    };
    const std::u16string fitted = FitFileName(name, u".url", limit, utf8Size);
    ORVANE_FUZZ_CHECK(name.substr(0, fitted.size()) == fitted);
    if (fitted.size() < name.size()) {
        ORVANE_FUZZ_CHECK(fitted.empty() || utf8Size(fitted + u".url") <= limit);
        const char16_t next = name[fitted.size()];
        ORVANE_FUZZ_CHECK(!(next >= 0xDC00 && next <= 0xDFFF && !fitted.empty() && fitted.back() >= 0xD800 &&
                            fitted.back() <= 0xDBFF));
    }

    // The rename window's OK: the converted name is taken as it stands unless it is empty; a typed one
    // only when it is not blank and holds nothing the filter refuses, and then exactly as typed.
    std::u16string chosen = u"before";
    MessageText refusal;
    const bool accepted = AcceptRenamedName(typed, name, converted.converted, chosen, refusal);
    if (!typed) {
        ORVANE_FUZZ_CHECK(accepted == !converted.converted.empty());
        ORVANE_FUZZ_CHECK(accepted ? chosen == converted.converted : chosen == u"before");
    } else {
        const bool blank = TrimView(RemoveUnsafeNameChars(name)).empty();
        ORVANE_FUZZ_CHECK(accepted == (!blank && !anyRefused));
        if (accepted) {
            ORVANE_FUZZ_CHECK(chosen == name);
        } else {
            ORVANE_FUZZ_CHECK(chosen == u"before");
            ORVANE_FUZZ_CHECK(refusal == (blank ? BlankFileNameMessage() : FileNameRefusalMessage()));
        }
    }

    // Names reach the file system as UTF-8: only unpaired surrogates are lost on the way.
    ORVANE_FUZZ_CHECK(FromUtf8(ToUtf8(name)) == WithoutLoneSurrogates(name));
    const std::u16string_view trimmed = TrimView(name);
    ORVANE_FUZZ_CHECK(trimmed.empty() || (trimmed.front() != u' ' && trimmed.back() != u' '));
    ORVANE_FUZZ_CHECK(Trim(name) == trimmed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const bool typed = (data[0] & 1) != 0;
    const bool rawUnits = (data[0] & 2) != 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    std::u16string name;
    if (rawUnits) {
        name.resize(bytes.size() / 2);
        for (std::size_t i = 0; i < name.size(); ++i)
            name[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                            static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    } else {
        name = FromUtf8(bytes);
    }
    CheckName(name, typed);
    return 0;
}
