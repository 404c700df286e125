#include "core/DocumentDecoding.h"

#include "core/Text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvane {

namespace {

constexpr char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return LowerAscii(c); });
    return out;
}

bool StartsNoCase(std::string_view s, std::size_t at, std::string_view lowerPrefix) {
    if (at > s.size() || s.size() - at < lowerPrefix.size())
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
        if (LowerAscii(s[at + i]) != lowerPrefix[i])
            return false;
    return true;
}

constexpr bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

constexpr bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// The attributes of one tag, read from just after its name up to its closing ">" the way browsers
// read them, so that a ">" inside a quoted value does not end the tag.
struct TagReader {
    std::string_view s;
    std::size_t i;

    void SkipSpaces() {
        while (i < s.size() && IsSpace(s[i]))
            ++i;
    }

    /// Reads the next attribute; false at the end of the tag (i is then past its ">").
    bool Next(std::string& name, std::string_view& value) {
        while (i < s.size() && (IsSpace(s[i]) || s[i] == '/'))
            ++i;
        if (i >= s.size())
            return false;
        if (s[i] == '>') {
            ++i;
            return false;
        }
        const std::size_t nameStart = i;
        ++i; // a name may begin with "="
        while (i < s.size() && !IsSpace(s[i]) && s[i] != '/' && s[i] != '>' && s[i] != '=')
            ++i;
        name = LowerAscii(s.substr(nameStart, i - nameStart));
        value = {};
        SkipSpaces();
        if (i >= s.size() || s[i] != '=')
            return true;
        ++i;
        SkipSpaces();
        if (i >= s.size())
            return true;
        if (s[i] == '"' || s[i] == '\'') {
            const char quote = s[i++];
            const std::size_t end = s.find(quote, i);
            if (end == std::string_view::npos) {
                value = s.substr(i);
                i = s.size();
            } else {
                value = s.substr(i, end - i);
                i = end + 1;
            }
            return true;
        }
        const std::size_t valueStart = i;
        while (i < s.size() && !IsSpace(s[i]) && s[i] != '>')
            ++i;
        value = s.substr(valueStart, i - valueStart);
        return true;
    }
};

// "text/html; charset=Shift_JIS" -> "Shift_JIS".
std::optional<std::string_view> CharsetFromContent(std::string_view content) {
    std::size_t i = 0;
    while (true) {
        std::size_t at = std::string_view::npos;
        for (std::size_t k = i; k + 7 <= content.size(); ++k)
            if (StartsNoCase(content, k, "charset")) {
                at = k;
                break;
            }
        if (at == std::string_view::npos)
            return std::nullopt;
        i = at + 7;
        while (i < content.size() && IsSpace(content[i]))
            ++i;
        if (i >= content.size() || content[i] != '=')
            continue;
        ++i;
        while (i < content.size() && IsSpace(content[i]))
            ++i;
        if (i >= content.size())
            return std::nullopt;
        if (content[i] == '"' || content[i] == '\'') {
            const std::size_t end = content.find(content[i], i + 1);
            if (end == std::string_view::npos)
                return std::nullopt;
            return content.substr(i + 1, end - i - 1);
        }
        std::size_t end = i;
        while (end < content.size() && !IsSpace(content[end]) && content[end] != ';')
            ++end;
        return content.substr(i, end - i);
    }
}

// One <meta> tag whose attributes start at reader.i; the charset it declares, if any.
std::optional<std::string> ReadMeta(TagReader& reader) {
    std::string name;
    std::string_view value;
    std::optional<std::string_view> charset, httpEquiv, content;
    while (reader.Next(name, value)) {
        // Only the first of a repeated attribute counts.
        if (name == "charset" && !charset)
            charset = value;
        else if (name == "http-equiv" && !httpEquiv)
            httpEquiv = value;
        else if (name == "content" && !content)
            content = value;
    }
    if (charset) {
        const std::string_view v = TrimSpaces(*charset);
        if (!v.empty())
            return std::string(v);
    }
    if (httpEquiv && content && LowerAscii(TrimSpaces(*httpEquiv)) == "content-type") {
        if (const auto v = CharsetFromContent(*content)) {
            const std::string_view t = TrimSpaces(*v);
            if (!t.empty())
                return std::string(t);
        }
    }
    return std::nullopt;
}

bool IsOneOf(const std::string& lower, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), lower) != names.end();
}

bool IsUtf8Label(const std::string& lower) {
    return IsOneOf(
        lower, {"utf-8", "utf8", "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "x-unicode20utf8"});
}

// A page that names UTF-16 in a <meta> we could read byte by byte is not UTF-16; browsers take it
// as UTF-8.
bool IsUtf16Label(const std::string& lower) {
    return IsOneOf(lower, {"utf-16", "utf-16le", "utf-16be", "unicode", "unicodefeff", "unicodefffe", "ucs-2",
                           "iso-10646-ucs-2", "csunicode"});
}

} // namespace

bool HasIso2022JpEscape(std::string_view bytes) {
    for (std::size_t i = bytes.find('\x1B'); i != std::string_view::npos; i = bytes.find('\x1B', i + 1)) {
        const std::string_view rest = bytes.substr(i + 1, 2);
        if (rest == "$@" || rest == "$B")
            return true;
    }
    return false;
}

std::string_view DetectionSample(std::string_view bytes) {
    std::size_t start = bytes.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 || b == 0x1B) {
            start = i;
            break;
        }
    }
    if (start == bytes.size())
        start = 0;
    return bytes.substr(start, kDetectionSampleBytes);
}

DeclaredCharset SniffCharset(std::string_view bytes) {
    const auto byteAt = [&](std::size_t i) {
        return static_cast<unsigned char>(bytes[i]);
    };
    if (bytes.size() >= 3 && byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF)
        return {"UTF-8", 3};
    if (bytes.size() >= 2 && byteAt(0) == 0xFF && byteAt(1) == 0xFE)
        return {"UTF-16LE", 2};
    if (bytes.size() >= 2 && byteAt(0) == 0xFE && byteAt(1) == 0xFF)
        return {"UTF-16BE", 2};

    const std::size_t limit = std::min(bytes.size(), kCharsetSniffBytes);
    std::size_t pos = 0;
    while (pos < limit) {
        const std::size_t lt = bytes.find('<', pos);
        if (lt == std::string_view::npos || lt >= limit)
            break;
        if (bytes.substr(lt, 4) == "<!--") {
            // "<!-->" already closes the comment.
            const std::size_t end = bytes.find("-->", lt + 2);
            if (end == std::string_view::npos)
                break;
            pos = end + 3;
            continue;
        }
        const bool isMeta = StartsNoCase(bytes, lt, "<meta") && lt + 5 < bytes.size() &&
                            (IsSpace(bytes[lt + 5]) || bytes[lt + 5] == '/');
        if (isMeta) {
            TagReader reader{bytes, lt + 5};
            if (auto name = ReadMeta(reader))
                return {std::move(*name), 0};
            pos = reader.i;
            continue;
        }
        const bool isTag = lt + 1 < bytes.size() &&
                           (IsAsciiLetter(bytes[lt + 1]) ||
                            (bytes[lt + 1] == '/' && lt + 2 < bytes.size() && IsAsciiLetter(bytes[lt + 2])));
        if (isTag) {
            // Step over the tag with its attributes, so a quoted "<meta" inside a value is not read.
            std::size_t i = lt + 1;
            while (i < bytes.size() && !IsSpace(bytes[i]) && bytes[i] != '>')
                ++i;
            TagReader reader{bytes, i};
            std::string name;
            std::string_view value;
            while (reader.Next(name, value)) {
            }
            pos = reader.i;
            continue;
        }
        if (lt + 1 < bytes.size() && (bytes[lt + 1] == '!' || bytes[lt + 1] == '/' || bytes[lt + 1] == '?')) {
            const std::size_t gt = bytes.find('>', lt + 1);
            if (gt == std::string_view::npos)
                break;
            pos = gt + 1;
            continue;
        }
        pos = lt + 1;
    }
    return {};
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string out;
    out.reserve(bytes.size() / 2 + 1);
    const std::size_t units = bytes.size() / 2;
    const auto unitAt = [&](std::size_t k) {
        const auto a = static_cast<unsigned char>(bytes[2 * k]);
        const auto b = static_cast<unsigned char>(bytes[2 * k + 1]);
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (std::size_t k = 0; k < units; ++k) {
        const char16_t u = unitAt(k);
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (k + 1 < units) {
                const char16_t low = unitAt(k + 1);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    out.push_back(u);
                    out.push_back(low);
                    ++k;
                    continue;
                }
            }
            out.push_back(u'\uFFFD');
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            out.push_back(u'\uFFFD');
        } else {
            out.push_back(u);
        }
    }
    if (bytes.size() % 2 != 0)
        out.push_back(u'\uFFFD');
    return out;
}

std::u16string DecodeDocument(std::string_view bytes, const TextCodec& codec) {
    const DeclaredCharset declared = SniffCharset(bytes);
    if (declared.bomLength > 0) {
        const std::string_view body = bytes.substr(declared.bomLength);
        if (declared.name == "UTF-8")
            return FromUtf8(body);
        return DecodeUtf16(body, declared.name == "UTF-16BE");
    }
    if (declared.name.empty()) {
        // Undeclared and not plainly in the system's code page: most often a Japanese page written
        // on another system. A detector that is unsure leaves it to the system's code page.
        if (HasIso2022JpEscape(bytes) || !codec.ValidInSystem(bytes)) {
            const std::string detected = codec.DetectCharset(DetectionSample(bytes));
            if (!detected.empty())
                if (auto text = codec.Decode(bytes, detected))
                    return *std::move(text);
        }
        return codec.DecodeSystem(bytes);
    }
    const std::string lower = LowerAscii(declared.name);
    if (IsUtf8Label(lower) || IsUtf16Label(lower))
        return FromUtf8(bytes);
    if (auto text = codec.Decode(bytes, declared.name))
        return *std::move(text);
    return codec.DecodeSystem(bytes);
}

} // namespace orvane
