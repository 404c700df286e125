#include "cli/ListFormats.h"

#include "core/OutputWriters.h"
#include "core/Text.h"

#include <array>
#include <string_view>

namespace orvane::cli {

namespace {

std::string TsvField(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return ToUtf8(out);
}

void AppendJsonString(std::string& out, std::u16string_view text) {
    static constexpr std::string_view kHex = "0123456789abcdef";
    out.push_back('"');
    std::u16string plain; // a run that needs no escape, converted at once
    const auto flush = [&] {
        out += ToUtf8(plain);
        plain.clear();
    };
    for (const char16_t c : text) {
        const char* escape = nullptr;
        switch (c) {
        case u'"':
            escape = "\\\"";
            break;
        case u'\\':
            escape = "\\\\";
            break;
        case u'\b':
            escape = "\\b";
            break;
        case u'\t':
            escape = "\\t";
            break;
        case u'\n':
            escape = "\\n";
            break;
        case u'\f':
            escape = "\\f";
            break;
        case u'\r':
            escape = "\\r";
            break;
        case u'\u2028':
            escape = "\\u2028";
            break;
        case u'\u2029':
            escape = "\\u2029";
            break;
        default:
            break;
        }
        if (escape) {
            flush();
            out += escape;
        } else if (c < 0x20) {
            flush();
            out += "\\u00";
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        } else {
            plain.push_back(c); // ToUtf8 pairs the surrogates and replaces lone ones
        }
    }
    flush();
    out.push_back('"');
}

} // namespace

std::string BuildList(const LinkTable& links, ListFormat format, const TextCodec& codec) {
    switch (format) {
    case ListFormat::Url:
        return BuildListFileBytes(links, 0, codec);
    case ListFormat::NameUrl:
        return BuildListFileBytes(links, 1, codec);
    case ListFormat::Tsv: {
        std::string out;
        links.ForEachLive([&](int, const LinkRecord& r) {
            out += TsvField(r.name);
            out.push_back('\t');
            out += TsvField(r.url);
            out.push_back('\n');
        });
        return out;
    }
    case ListFormat::Json: {
        std::string out = "[";
        bool first = true;
        links.ForEachLive([&](int, const LinkRecord& r) {
            out += first ? "\n  {\"name\": " : ",\n  {\"name\": ";
            first = false;
            AppendJsonString(out, r.name);
            out += ", \"url\": ";
            AppendJsonString(out, r.url);
            out.push_back('}');
        });
        out += first ? "]\n" : "\n]\n";
        return out;
    }
    }
    return {};
}

} // namespace orvane::cli
