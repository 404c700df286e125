#pragma once
// URI references (RFC 3986) in UTF-8: splitting into components, resolving a reference against a
// base, and the file: address of a local path. Bytes beyond ASCII pass through unchanged, so
// addresses written with Japanese characters stay readable.

#include <string>
#include <string_view>

namespace orvane {

struct UriParts {
    std::string_view scheme; // without ":"
    std::string_view authority;
    std::string_view path;
    std::string_view query;    // without "?"
    std::string_view fragment; // without "#"
    bool hasScheme = false;
    bool hasAuthority = false;
    bool hasQuery = false;
    bool hasFragment = false;
};

/// Splits a reference into its five components (RFC 3986, appendix B). Never fails; the views point
/// into `ref`.
UriParts SplitUri(std::string_view ref);

/// The components put back together (RFC 3986, 5.3).
std::string JoinUri(const UriParts& parts);

/// "." and ".." segments removed from a path (RFC 3986, 5.2.4).
std::string RemoveDotSegments(std::string_view path);

/// `ref` resolved against `base` (RFC 3986, 5.2.2, strict: a reference with a scheme stands on its
/// own). The scheme comes back in lower case. A `base` without a scheme cannot resolve anything: a
/// relative `ref` is then returned as it is.
std::string ResolveUri(std::string_view base, std::string_view ref);

/// True when `uri` begins with `scheme` followed by ":" (`scheme` in lower case, letters of `uri` in
/// any case).
bool HasScheme(std::string_view uri, std::string_view scheme);

/// The file: address of an absolute local path: "file://" + the path, with "%", spaces, controls,
/// "#", "?" and the other characters that would end or split the path percent-encoded.
std::string FileUrlFromPath(std::string_view absolutePath);

} // namespace orvane
