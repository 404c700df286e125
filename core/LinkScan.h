#pragma once
// The link scan: a plain substring search over the working text of one document (no HTML parser).
// For each occurrence of the key the text up to the next "</a>" is one segment; its first "http:" or
// "https:" starts the address, and the text between the tag's ">" and the "</a>" gives the name.
// Positions are 0-based here.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

enum class LinkLevel {
    AHref, // key "a href": anchors written with the target right after the tag name
    Http,  // key "http:" / "https:": every absolute address, anchors or not
    Tags,  // the document read by an HTML5 parser (TagScan.h); ScanLinks treats it as Http
};

enum class NameRule {
    StripTags, // tags removed from the link text
    AltText,   // the "alt=" value when there is one, otherwise the link text as it stands
};

/// Option values as stored: 0 is "a href", 2 reads the tags, anything else acts as "http".
constexpr LinkLevel LinkLevelFromOption(int linkAb) {
    return linkAb == 0 ? LinkLevel::AHref : linkAb == 2 ? LinkLevel::Tags : LinkLevel::Http;
}
constexpr NameRule NameRuleFromOption(int nameAb) {
    return nameAb == 0 ? NameRule::StripTags : NameRule::AltText;
}

struct ScanOptions {
    LinkLevel level = LinkLevel::AHref;
    NameRule nameRule = NameRule::StripTags;
    /// Entries already in the list when the scan starts; placeholders are numbered from here.
    long long countBase = 0;
};

enum class ScanEnd {
    NoMoreKeys,    // the text holds no further key
    UnexpectedEnd, // a key with no "</a>" after it
    Cancelled,     // the sink asked to stop before a key search
    TableFull,     // a link was found but the table can take no more
    TooDeep,       // (tag level only) the page nests its elements too deeply to be parsed
};

struct ScanResult {
    int links = 0;
    ScanEnd end = ScanEnd::NoMoreKeys;
};

class ScanSink {
public:
    virtual ~ScanSink() = default;
    /// Tested before every key search.
    virtual bool CancelRequested() { return false; }
    /// Tested before every link is handed over.
    virtual bool TableFull() { return false; }
    /// One link; `seq` is its 0-based place among this document's links. The views are only valid
    /// during the call.
    virtual void Link(std::u16string_view url, std::u16string_view name, std::int16_t seq) = 0;
    /// After every key found, whether it gave a link or not, with the number of links so far.
    virtual void KeyDone(int links) { (void)links; }
};

/// Scans the normalised working text. Never takes more links than the link table can hold.
ScanResult ScanLinks(std::u16string_view text, const ScanOptions& options, ScanSink& sink);

// The pieces of the scan, for tests.

/// First "http:" or "https:" at or after `from` (ASCII letters in any case), or npos.
std::size_t FindHttp(std::u16string_view text, std::size_t from = 0);

/// The name with every tag removed: the pieces around the tags, each trimmed, joined with nothing
/// between them. A "<" with no ">" after it ends the removal; the rest stays as one piece. Returns
/// `name` itself when it holds no "<", otherwise a view of `scratch`.
std::u16string_view StripTags(std::u16string_view name, std::u16string& scratch);

/// The value of the first "alt=" in the name (quoted or not, up to the next double quote), trimmed;
/// the name itself when it has no such value.
std::u16string_view AltText(std::u16string_view name);

} // namespace orvane
