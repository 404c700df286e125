#include "platform/SystemCodec.h"

#include "core/Text.h"

#include <algorithm>
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
    const std::string u = Upper(declared);
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

} // namespace

SystemCodec::SystemCodec() {
    std::setlocale(LC_CTYPE, "");
    const char* cs = nl_langinfo(CODESET);
    system_ = (cs && *cs && !IsUtf8Name(cs)) ? std::string(cs) : std::string("UTF-8");
    systemIsUtf8_ = IsUtf8Name(system_);
}

SystemCodec::SystemCodec(std::string systemCharset)
    : system_(std::move(systemCharset)), systemIsUtf8_(IsUtf8Name(system_)) {}

const SystemCodec& SystemCodec::Instance() {
    static const SystemCodec codec;
    return codec;
}

std::optional<std::u16string> SystemCodec::Decode(std::string_view bytes, std::string_view charset) const {
    if (IsUtf8Name(charset))
        return FromUtf8(bytes);
    // glibc converts to its own wide characters in one step, where UTF-16 would take two; the
    // narrowing to UTF-16 below is cheap.
    Iconv cd("WCHAR_T", IconvName(charset).c_str());
    if (!cd.ok())
        return std::nullopt;
    static_assert(sizeof(wchar_t) == 4, "glibc's wide characters are UTF-32");
    // No input byte gives more than one character; the buffer is left uninitialised on purpose.
    const std::size_t capacity = bytes.size() + 4;
    std::unique_ptr<wchar_t[]> wide(new wchar_t[capacity]);
    std::size_t produced = 0;
    char* src = const_cast<char*>(bytes.data());
    std::size_t left = bytes.size();
    while (left > 0) {
        char* dst = reinterpret_cast<char*>(wide.get() + produced);
        std::size_t room = (capacity - produced) * sizeof(wchar_t);
        const std::size_t r = iconv(cd.get(), &src, &left, &dst, &room);
        produced = capacity - room / sizeof(wchar_t);
        if (r != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // An invalid or truncated sequence: one replacement, then go on after its first byte.
        wide[produced++] = L'\uFFFD';
        ++src;
        --left;
    }
    std::u16string out;
    out.reserve(produced);
    for (std::size_t i = 0; i < produced; ++i) {
        auto cp = static_cast<char32_t>(wide[i]);
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(cp > 0x10FFFF ? u'\uFFFD' : static_cast<char16_t>(cp));
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

} // namespace orvane::platform
