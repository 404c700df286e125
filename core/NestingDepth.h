#pragma once
// A quick look at how deeply a page nests its elements, before the HTML5 parser builds its tree: the
// parser's time grows with the square of the depth (each start tag looks through the open elements),
// so a hostile page of a few megabytes of nested <div> would keep it busy for hours.

#include <cstddef>
#include <string_view>

namespace orvane {

/// Deepest nesting the level that reads the tags accepts. Real pages nest a few dozen elements, and
/// browsers stop nesting at 512. At this depth the parser's worst page of 8 MiB (every further start
/// tag looking through all the open elements) takes about 1.5 s.
inline constexpr std::size_t kMaxTagNesting = 512;

/// True when the elements of `html` (UTF-8) nest deeper than `limit`. The tags are read as the parser
/// reads them in the main: comments, raw text (scripts, styles ...), void and self-closing foreign
/// elements, end tags that close everything opened after their element, and the start tags that
/// close an open element of their kind (p, li, dt, dd, option, tr, td, th, a, form ...). Where it is
/// not exact it counts deeper than the parser, never much shallower. Linear in the length.
bool NestsDeeperThan(std::string_view html, std::size_t limit = kMaxTagNesting);

} // namespace orvane
