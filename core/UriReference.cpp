#include "core/UriReference.h"

#include <cstddef>

namespace orvane {

namespace {

constexpr bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ). Anything else before the first ":" (a
// Windows drive letter aside, which this accepts like browsers do) makes the reference relative.
bool IsScheme(std::string_view s) {
    if (s.empty() || !IsAlpha(s[0]))
        return false;
    for (const char c : s)
        if (!IsAlpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return false;
    return true;
}

// The base path up to and including its last "/", followed by the reference's path (5.2.3).
std::string MergePaths(const UriParts& base, std::string_view refPath) {
    std::string merged;
    if (base.hasAuthority && base.path.empty()) {
        merged.reserve(refPath.size() + 1);
        merged.push_back('/');
    } else {
        const std::size_t slash = base.path.rfind('/');
        if (slash != std::string_view::npos)
            merged.append(base.path.substr(0, slash + 1));
    }
    merged.append(refPath);
    return merged;
}

void PopLastSegment(std::string& out) {
    const std::size_t slash = out.rfind('/');
    out.erase(slash == std::string::npos ? 0 : slash);
}

} // namespace

UriParts SplitUri(std::string_view ref) {
    UriParts parts;
    const std::size_t colon = ref.find_first_of(":/?#");
    if (colon != std::string_view::npos && ref[colon] == ':' && IsScheme(ref.substr(0, colon))) {
        parts.hasScheme = true;
        parts.scheme = ref.substr(0, colon);
        ref.remove_prefix(colon + 1);
    }
    if (ref.substr(0, 2) == "//") {
        ref.remove_prefix(2);
        const std::size_t end = ref.find_first_of("/?#");
        parts.hasAuthority = true;
        parts.authority = ref.substr(0, end);
        ref.remove_prefix(end == std::string_view::npos ? ref.size() : end);
    }
    const std::size_t hash = ref.find('#');
    if (hash != std::string_view::npos) {
        parts.hasFragment = true;
        parts.fragment = ref.substr(hash + 1);
        ref = ref.substr(0, hash);
    }
    const std::size_t question = ref.find('?');
    if (question != std::string_view::npos) {
        parts.hasQuery = true;
        parts.query = ref.substr(question + 1);
        ref = ref.substr(0, question);
    }
    parts.path = ref;
    return parts;
}

std::string JoinUri(const UriParts& parts) {
    std::string out;
    out.reserve(parts.scheme.size() + parts.authority.size() + parts.path.size() + parts.query.size() +
                parts.fragment.size() + 6);
    if (parts.hasScheme) {
        for (const char c : parts.scheme)
            out += LowerAscii(c);
        out += ':';
    }
    if (parts.hasAuthority) {
        out += "//";
        out += parts.authority;
    }
    // A path of "//x" without an authority would read back as the authority "x" (RFC 3986 leaves this
    // open; browsers write "/." before it, which dot-segment removal takes away again).
    if (!parts.hasAuthority && parts.path.starts_with("//"))
        out += "/.";
    out += parts.path;
    if (parts.hasQuery) {
        out += '?';
        out += parts.query;
    }
    if (parts.hasFragment) {
        out += '#';
        out += parts.fragment;
    }
    return out;
}

std::string RemoveDotSegments(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    while (!in.empty()) {
        if (in.starts_with("../")) {
            in.remove_prefix(3);
        } else if (in.starts_with("./") || in.starts_with("/./")) {
            // "./" goes; "/./" becomes "/".
            in.remove_prefix(2);
        } else if (in == "/.") {
            out += '/';
            break;
        } else if (in.starts_with("/../")) {
            in.remove_prefix(3);
            PopLastSegment(out);
        } else if (in == "/..") {
            PopLastSegment(out);
            out += '/';
            break;
        } else if (in == "." || in == "..") {
            break;
        } else {
            const std::size_t end = in.find('/', 1);
            const std::size_t take = end == std::string_view::npos ? in.size() : end;
            out += in.substr(0, take);
            in.remove_prefix(take);
        }
    }
    return out;
}

std::string ResolveUri(std::string_view base, std::string_view ref) {
    const UriParts r = SplitUri(ref);
    if (r.hasScheme) {
        const std::string path = RemoveDotSegments(r.path);
        UriParts t = r;
        t.path = path;
        return JoinUri(t);
    }
    const UriParts b = SplitUri(base);
    if (!b.hasScheme)
        return std::string(ref);

    UriParts t;
    std::string path;
    t.hasScheme = true;
    t.scheme = b.scheme;
    if (r.hasAuthority) {
        t.hasAuthority = true;
        t.authority = r.authority;
        path = RemoveDotSegments(r.path);
        t.hasQuery = r.hasQuery;
        t.query = r.query;
    } else {
        t.hasAuthority = b.hasAuthority;
        t.authority = b.authority;
        if (r.path.empty()) {
            path = std::string(b.path);
            t.hasQuery = r.hasQuery || b.hasQuery;
            t.query = r.hasQuery ? r.query : b.query;
        } else {
            path = RemoveDotSegments(r.path.front() == '/' ? std::string(r.path) : MergePaths(b, r.path));
            t.hasQuery = r.hasQuery;
            t.query = r.query;
        }
    }
    t.path = path;
    t.hasFragment = r.hasFragment;
    t.fragment = r.fragment;
    return JoinUri(t);
}

bool HasScheme(std::string_view uri, std::string_view scheme) {
    if (uri.size() <= scheme.size() || uri[scheme.size()] != ':')
        return false;
    for (std::size_t i = 0; i < scheme.size(); ++i)
        if (LowerAscii(uri[i]) != scheme[i])
            return false;
    return true;
}

std::string FileUrlFromPath(std::string_view absolutePath) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "file://";
    if (absolutePath.empty() || absolutePath.front() != '/')
        out += '/';
    for (const char ch : absolutePath) {
        const auto c = static_cast<unsigned char>(ch);
        // Bytes of 0x80 and more (UTF-8 names) stay as they are.
        const bool encode = c <= 0x20 || c == 0x7F || c == '%' || c == '#' || c == '?' || c == '"' ||
                            c == '<' || c == '>' || c == '\\' || c == '[' || c == ']' || c == '^' ||
                            c == '`' || c == '{' || c == '|' || c == '}';
        if (encode) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace orvane
