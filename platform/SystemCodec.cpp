#include "platform/SystemCodec.h"

#include "core/Text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <memory>
#include <vector>

namespace orvane::platform {

namespace {

std::string Upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
    return out;
}

bool IsUtf8Name(std::string_view name) {
    const std::string u = Upper(name);
    return u == "UTF-8" || u == "UTF8" || u == "ANSI_X3.4-1968" || u == "US-ASCII" || u == "ASCII";
}

// Web names that iconv spells differently or does not know; Shift_JIS pages are CP932 in practice.
std::string IconvName(std::string_view declared) {
    std::string u = Upper(declared);
    if (u == "SHIFT_JIS" || u == "SHIFT-JIS" || u == "SJIS" || u == "X-SJIS" || u == "MS_KANJI" ||
        u == "CSSHIFTJIS" || u == "WINDOWS-31J" || u == "MS932" || u == "CP932")
        return "CP932";
    if (u == "X-EUC-JP" || u == "EUC-JP" || u == "EUCJP" || u == "CSEUCPKDFMTJAPANESE")
        return "EUC-JP-MS";
    return u;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Converts with one substitute for every byte (or unit) that cannot be converted.
template <typename Out>
void Convert(iconv_t cd, const char* in, std::size_t inLen, std::size_t unitIn, Out& out,
             const Out& substitute) {
    using Unit = typename Out::value_type;
    std::vector<char> buf(std::max<std::size_t>(inLen * 4 + 16, 64));
    char* src = const_cast<char*>(in);
    std::size_t left = inLen;
    while (true) {
        char* dst = buf.data();
        std::size_t room = buf.size();
        const std::size_t r = iconv(cd, left ? &src : nullptr, left ? &left : nullptr, &dst, &room);
        const std::size_t produced = buf.size() - room;
        const auto* units = reinterpret_cast<const Unit*>(buf.data());
        out.append(units, produced / sizeof(Unit));
        if (r != static_cast<std::size_t>(-1)) {
            if (left == 0) {
                // Flush any shift state (ISO-2022-JP).
                dst = buf.data();
                room = buf.size();
                iconv(cd, nullptr, nullptr, &dst, &room);
                out.append(reinterpret_cast<const Unit*>(buf.data()), (buf.size() - room) / sizeof(Unit));
                return;
            }
            continue;
        }
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL (truncated sequence at the end): substitute and step over one unit.
        out += substitute;
        const std::size_t step = std::min(unitIn, left);
        src += step;
        left -= step;
        if (left == 0)
            return;
    }
}

// Shift_JIS (CP932) pages are the common case, and iconv takes most of a conversion's time on them.
// This table is made once from iconv's own CP932 conversion, byte by byte and pair by pair, so it
// gives exactly iconv's characters and replaces exactly the bytes iconv refuses, at a table
// look-up per character.
class ShiftJisTable {
public:
    /// The table, or null when iconv lacks CP932 or maps something outside the basic plane.
    static const ShiftJisTable* Get() {
        static const std::unique_ptr<ShiftJisTable> table = Build();
        return table.get();
    }

    std::u16string Decode(std::string_view bytes) const {
        std::u16string out;
        out.resize(bytes.size()); // no byte gives more than one unit
        char16_t* o = out.data();
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::size_t n = bytes.size();
        std::size_t i = 0;
        while (i < n) {
            // The markup is ASCII: widen it in blocks.
            if (asciiSame_ && p[i] < 0x80) {
                const std::size_t widened = WidenAscii(p + i, n - i, o);
                i += widened;
                o += widened;
                if (i >= n)
                    break;
            }
            const unsigned char b = p[i];
            if (kind_[b] == Kind::Char) {
                *o++ = single_[b];
                ++i;
                continue;
            }
            if (kind_[b] == Kind::Lead && i + 1 < n) {
                const char16_t c = pairs_[leadIndex_[b] * 256u + p[i + 1]];
                if (c != kNone) {
                    *o++ = c;
                    i += 2;
                    continue;
                }
            }
            // As iconv reports it: one replacement, then on after the first byte.
            *o++ = u'\uFFFD';
            ++i;
        }
        out.resize(static_cast<std::size_t>(o - out.data()));
        return out;
    }

private:
    enum class Kind : std::uint8_t { Char, Lead, Invalid };
    static constexpr char16_t kNone = 0xFFFF; // a noncharacter: never the result of a conversion

    enum class Outcome { Char, Incomplete, Invalid };

    // One conversion from a fresh state: one character, an incomplete sequence or a refused one.
    static Outcome ConvertOne(iconv_t cd, const unsigned char* bytes, std::size_t length, char32_t& c) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char in[2];
        std::memcpy(in, bytes, length);
        wchar_t wide[4];
        char* src = in;
        std::size_t left = length;
        char* dst = reinterpret_cast<char*>(wide);
        std::size_t room = sizeof wide;
        const std::size_t r = iconv(cd, &src, &left, &dst, &room);
        const std::size_t produced = (sizeof wide - room) / sizeof(wchar_t);
        if (r == static_cast<std::size_t>(-1))
            return errno == EINVAL && produced == 0 ? Outcome::Incomplete : Outcome::Invalid;
        if (left != 0 || produced != 1)
            return Outcome::Invalid;
        c = static_cast<char32_t>(wide[0]);
        return Outcome::Char;
    }

    static std::unique_ptr<ShiftJisTable> Build() {
        Iconv cd("WCHAR_T", "CP932");
        if (!cd.ok())
            return nullptr;
        auto table = std::make_unique<ShiftJisTable>();
        std::size_t leads = 0;
        for (unsigned b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            char32_t c = 0;
            switch (ConvertOne(cd.get(), &byte, 1, c)) {
            case Outcome::Char:
                if (c >= kNone)
                    return nullptr;
                table->kind_[b] = Kind::Char;
                table->single_[b] = static_cast<char16_t>(c);
                break;
            case Outcome::Incomplete:
                table->kind_[b] = Kind::Lead;
                table->leadIndex_[b] = static_cast<std::uint8_t>(leads++);
                break;
            case Outcome::Invalid:
                table->kind_[b] = Kind::Invalid;
                break;
            }
        }
        table->pairs_.assign(leads * 256, kNone);
        for (unsigned lead = 0; lead < 256; ++lead) {
            if (table->kind_[lead] != Kind::Lead)
                continue;
            for (unsigned trail = 0; trail < 256; ++trail) {
                const unsigned char pair[2] = {static_cast<unsigned char>(lead),
                                               static_cast<unsigned char>(trail)};
                char32_t c = 0;
                if (ConvertOne(cd.get(), pair, 2, c) != Outcome::Char)
                    continue;
                if (c >= kNone)
                    return nullptr;
                table->pairs_[table->leadIndex_[lead] * 256u + trail] = static_cast<char16_t>(c);
            }
        }
        table->asciiSame_ = true;
        for (unsigned b = 0; b < 0x80; ++b)
            if (table->kind_[b] != Kind::Char || table->single_[b] != b)
                table->asciiSame_ = false;
        return table;
    }

    std::array<Kind, 256> kind_{};
    std::array<char16_t, 256> single_{};
    std::array<std::uint8_t, 256> leadIndex_{};
    std::vector<char16_t> pairs_;
    bool asciiSame_ = false;
};

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

} // namespace

SystemCodec::SystemCodec(CharsetDetector detector) : detector_(detector) {
    std::setlocale(LC_CTYPE, "");
    const char* cs = nl_langinfo(CODESET);
    system_ = (cs && *cs && !IsUtf8Name(cs)) ? std::string(cs) : std::string("UTF-8");
    systemIsUtf8_ = IsUtf8Name(system_);
}

SystemCodec::SystemCodec(std::string systemCharset, CharsetDetector detector)
    : system_(std::move(systemCharset)), systemIsUtf8_(IsUtf8Name(system_)), detector_(detector) {}

std::optional<std::u16string> SystemCodec::Decode(std::string_view bytes, std::string_view charset) const {
    if (IsUtf8Name(charset))
        return FromUtf8(bytes);
    // A name is a name: no error-handling suffix ("//IGNORE", "//TRANSLIT") or other iconv syntax
    // taken from a page, no control characters.
    if (charset.empty() || charset.size() > 64 || charset.find("//") != std::string_view::npos ||
        std::any_of(charset.begin(), charset.end(),
                    [](char c) { return static_cast<unsigned char>(c) <= 0x20; }))
        return std::nullopt;
    const std::string iconvName = IconvName(charset);
    if (iconvName == "CP932")
        if (const ShiftJisTable* table = ShiftJisTable::Get())
            return table->Decode(bytes);
    // glibc converts to its own wide characters in one step, where UTF-16 would take two; the
    // narrowing to UTF-16 below is cheap.
    Iconv cd("WCHAR_T", iconvName.c_str());
    if (!cd.ok())
        return std::nullopt;
    static_assert(sizeof(wchar_t) == 4, "glibc's wide characters are UTF-32");
    // Some character sets give several characters for one byte (TSCII up to four), and iconv's TSCII
    // garbles a sequence that a full buffer cuts, so the buffer holds four characters per byte from
    // the start; it grows should that still not do. It is left uninitialised on purpose: only the
    // pages written to are ever touched.
    std::size_t capacity = bytes.size() * 4 + 4;
    std::unique_ptr<wchar_t[]> wide(new wchar_t[capacity]);
    std::size_t produced = 0;
    const auto grow = [&] {
        std::unique_ptr<wchar_t[]> larger(new wchar_t[capacity * 2]);
        std::memcpy(larger.get(), wide.get(), produced * sizeof(wchar_t));
        wide = std::move(larger);
        capacity *= 2;
    };
    // The position is kept here, not in what iconv hands back: some converters (glibc's
    // ISO-2022-CN-EXT) report an invalid sequence after having consumed its bytes, even the last one,
    // and stepping on from their pointer would read past the input.
    std::size_t consumed = 0;
    while (consumed < bytes.size()) {
        char* src = const_cast<char*>(bytes.data()) + consumed;
        std::size_t left = bytes.size() - consumed;
        char* dst = reinterpret_cast<char*>(wide.get() + produced);
        std::size_t room = (capacity - produced) * sizeof(wchar_t);
        const std::size_t r = iconv(cd.get(), &src, &left, &dst, &room);
        const int error = errno;
        produced = capacity - room / sizeof(wchar_t);
        const auto advanced = static_cast<std::size_t>(src - bytes.data());
        // Never backwards, never past the end, whatever the converter did with the pointers.
        const std::size_t before = consumed;
        consumed = std::clamp(advanced, consumed, bytes.size());
        if (r != static_cast<std::size_t>(-1)) {
            if (consumed == before && left != 0)
                consumed = bytes.size(); // no progress without an error: nothing more to gain
            continue;
        }
        if (error == E2BIG || produced == capacity) {
            grow();
            continue;
        }
        // An invalid or truncated sequence: one replacement, then go on after its first byte.
        wide[produced++] = L'\uFFFD';
        if (consumed < bytes.size())
            ++consumed;
    }
    // A decoder that holds a character back (TSCII moves a vowel sign behind the consonant after it)
    // gives it up only when told that the input has ended.
    if (capacity - produced < 8)
        grow();
    char* dst = reinterpret_cast<char*>(wide.get() + produced);
    std::size_t room = (capacity - produced) * sizeof(wchar_t);
    iconv(cd.get(), nullptr, nullptr, &dst, &room);
    produced = capacity - room / sizeof(wchar_t);
    std::u16string out;
    out.reserve(produced);
    for (std::size_t i = 0; i < produced; ++i) {
        auto cp = static_cast<char32_t>(wide[i]);
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            // glibc's UCS-4 passes surrogate code points through; alone they are no character.
            const bool invalid = cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF);
            out.push_back(invalid ? u'\uFFFD' : static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::u16string SystemCodec::DecodeSystem(std::string_view bytes) const {
    if (systemIsUtf8_)
        return FromUtf8(bytes);
    if (auto text = Decode(bytes, system_))
        return *std::move(text);
    return FromUtf8(bytes);
}

std::string SystemCodec::EncodeSystem(std::u16string_view text) const {
    if (systemIsUtf8_)
        return ToUtf8(text);
    Iconv cd(IconvName(system_).c_str(), "UTF-16LE");
    if (!cd.ok())
        return ToUtf8(text);
    std::string out;
    out.reserve(text.size() * 2);
    Convert(cd.get(), reinterpret_cast<const char*>(text.data()), text.size() * 2, 2, out, std::string("?"));
    return out;
}

bool SystemCodec::ValidInSystem(std::string_view bytes) const {
    if (systemIsUtf8_)
        return IsValidUtf8(bytes);
    return ConvertsCleanly(bytes, IconvSystemName().c_str());
}

std::string SystemCodec::DetectCharset(std::string_view bytes) const {
    return detector_ ? detector_(bytes) : std::string();
}

std::string SystemCodec::IconvSystemName() const {
    return IconvName(system_);
}

} // namespace orvane::platform
