#pragma once
// The level that reads the tags: the document goes through an HTML5 parser (gumbo), and every <a>
// and <area> element with an href is a link, whatever the order and quoting of its attributes.
// Addresses are resolved against the document's <base href>, else against its own address.

#include <string>
#include <string_view>

#include "core/LinkScan.h"

namespace orvane {

struct TagScanOptions {
    NameRule nameRule = NameRule::StripTags;
    /// Entries already in the list when the scan starts; placeholders are numbered from here.
    long long countBase = 0;
    /// The document's own address in UTF-8: the URL the page came from, or a local file's file: URL.
    std::string documentAddress;
};

/// Parses the UTF-8 document and hands each link to `sink` in document order. Links to javascript:
/// and data: addresses and to a fragment of the document itself are passed over (they still count
/// as a key done). Never ends with ScanEnd::UnexpectedEnd; ends with ScanEnd::TooDeep, taking
/// nothing, when the page nests its elements deeper than kMaxTagNesting.
ScanResult ScanTags(std::string_view utf8, const TagScanOptions& options, ScanSink& sink);

/// An href as a browser reads it: C0 controls and spaces removed at both ends, tabs and line ends
/// removed inside.
std::string CleanHref(std::string_view href);

} // namespace orvane
