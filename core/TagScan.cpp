#include "core/TagScan.h"

#include "core/LinkTable.h"
#include "core/NestingDepth.h"
#include "core/Text.h"
#include "core/UriReference.h"

#include <gumbo.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace orvane {

namespace {

constexpr bool IsHtmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

struct OutputDeleter {
    void operator()(GumboOutput* output) const { gumbo_destroy_output(&kGumboDefaultOptions, output); }
};

const GumboVector* ChildrenOf(const GumboNode* node) {
    if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE)
        return &node->v.element.children;
    if (node->type == GUMBO_NODE_DOCUMENT)
        return &node->v.document.children;
    return nullptr;
}

const GumboNode* ChildAt(const GumboVector* children, unsigned int i) {
    return static_cast<const GumboNode*>(children->data[i]);
}

// Every node below `root` (not `root` itself) in document order; `visit` returns false to pass over
// a node's own descendants. Iterative: a page may nest elements very deeply.
template <typename Visit> void ForEachDescendant(const GumboNode* root, Visit&& visit) {
    std::vector<const GumboNode*> stack;
    const auto pushChildren = [&](const GumboNode* node) {
        if (const GumboVector* children = ChildrenOf(node))
            for (unsigned int i = children->length; i > 0; --i)
                stack.push_back(ChildAt(children, i - 1));
    };
    pushChildren(root);
    while (!stack.empty()) {
        const GumboNode* node = stack.back();
        stack.pop_back();
        if (visit(node))
            pushChildren(node);
    }
}

const char* HrefOf(const GumboNode* node) {
    const GumboAttribute* href = gumbo_get_attribute(&node->v.element.attributes, "href");
    return href ? href->value : nullptr;
}

// Scripts, styles and template contents are no part of a link's text.
bool HoldsNoText(const GumboNode* node) {
    if (node->type == GUMBO_NODE_TEMPLATE)
        return true;
    if (node->type != GUMBO_NODE_ELEMENT)
        return false;
    const GumboTag tag = node->v.element.tag;
    return tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE || tag == GUMBO_TAG_NOSCRIPT;
}

// The element's text with the tags removed, each run of white space made one space.
std::string TextOf(const GumboNode* element) {
    std::string out;
    bool space = false;
    ForEachDescendant(element, [&](const GumboNode* node) {
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
            node->type == GUMBO_NODE_CDATA) {
            for (const char* p = node->v.text.text; *p != '\0'; ++p) {
                if (IsHtmlSpace(*p)) {
                    space = true;
                    continue;
                }
                if (space && !out.empty())
                    out += ' ';
                space = false;
                out += *p;
            }
        }
        return !HoldsNoText(node);
    });
    return out;
}

// One past the last source byte of anything written inside the element, or `from` when nothing is.
// Used when the element has no end tag of its own (closed by the parser).
std::size_t EndOfWrittenContent(const GumboNode* element, const char* source, std::size_t from) {
    std::size_t end = from;
    const auto reach = [&](const GumboStringPiece& piece) {
        if (piece.length > 0 && piece.data >= source)
            end = std::max(end, static_cast<std::size_t>(piece.data - source) + piece.length);
    };
    ForEachDescendant(element, [&](const GumboNode* node) {
        if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
            reach(node->v.element.original_tag);
            reach(node->v.element.original_end_tag);
        } else if (node->type != GUMBO_NODE_DOCUMENT) {
            reach(node->v.text.original_text);
        }
        return true;
    });
    return end;
}

// A line end would split the entry in the list file: it counts as one space, as at the other levels.
// A NUL (which the conversion has already replaced) becomes U+FFFD, as the parser makes it in text.
std::string WithLineEndsAsSpaces(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (c == '\0')
            out += "\xEF\xBF\xBD";
        else
            out += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return out;
}

// The element's inner markup exactly as written in the source (the parser may have closed it
// without an end tag, or moved nodes into it; only the written span counts).
std::string InnerMarkupOf(const GumboNode* element, std::string_view source) {
    const GumboElement& e = element->v.element;
    if (e.original_tag.length == 0 || e.original_tag.data < source.data())
        return TextOf(element); // made by the parser: there is no written form
    const auto start = static_cast<std::size_t>(e.original_tag.data - source.data()) + e.original_tag.length;
    std::size_t end = e.original_end_tag.length > 0 && e.original_end_tag.data >= source.data()
                          ? static_cast<std::size_t>(e.original_end_tag.data - source.data())
                          : EndOfWrittenContent(element, source.data(), start);
    end = std::min(end, source.size());
    if (end <= start)
        return {};
    return WithLineEndsAsSpaces(source.substr(start, end - start));
}

std::string AltOfImageInside(const GumboNode* element) {
    std::string alt;
    ForEachDescendant(element, [&](const GumboNode* node) {
        if (!alt.empty() || node->type != GUMBO_NODE_ELEMENT)
            return false;
        if (node->v.element.tag == GUMBO_TAG_IMG) {
            if (const GumboAttribute* a = gumbo_get_attribute(&node->v.element.attributes, "alt")) {
                std::string_view value = a->value;
                while (!value.empty() && value.front() == ' ')
                    value.remove_prefix(1);
                while (!value.empty() && value.back() == ' ')
                    value.remove_suffix(1);
                alt = value;
            }
        }
        return true;
    });
    return alt;
}

std::u16string Placeholder(std::u16string_view prefix, long long number) {
    std::u16string text(prefix);
    text += ToU16Number(number);
    text += u')';
    return text;
}

std::string_view WithoutFragment(std::string_view uri) {
    return uri.substr(0, uri.find('#'));
}

} // namespace

std::string CleanHref(std::string_view href) {
    while (!href.empty() && static_cast<unsigned char>(href.front()) <= 0x20)
        href.remove_prefix(1);
    while (!href.empty() && static_cast<unsigned char>(href.back()) <= 0x20)
        href.remove_suffix(1);
    std::string out;
    out.reserve(href.size());
    for (const char c : href)
        if (c != '\t' && c != '\n' && c != '\r')
            out += c;
    return out;
}

ScanResult ScanTags(std::string_view utf8, const TagScanOptions& options, ScanSink& sink) {
    ScanResult result;
    if (NestsDeeperThan(utf8)) {
        result.end = ScanEnd::TooDeep;
        return result;
    }
    GumboOptions parseOptions = kGumboDefaultOptions;
    parseOptions.max_errors = 0; // the parse errors of a real page are many and of no use here
    const std::unique_ptr<GumboOutput, OutputDeleter> output(
        gumbo_parse_with_options(&parseOptions, utf8.data(), utf8.size()));
    if (!output)
        return result;

    std::vector<const GumboNode*> links;
    const GumboNode* base = nullptr;
    ForEachDescendant(output->document, [&](const GumboNode* node) {
        if (node->type == GUMBO_NODE_TEMPLATE)
            return false; // inert until a script uses it
        if (node->type != GUMBO_NODE_ELEMENT)
            return false;
        const GumboTag tag = node->v.element.tag;
        if ((tag == GUMBO_TAG_A || tag == GUMBO_TAG_AREA) && HrefOf(node))
            links.push_back(node);
        else if (tag == GUMBO_TAG_BASE && !base && HrefOf(node))
            base = node;
        return true;
    });

    // The document's own address, normalised as resolved addresses are, to tell its fragments.
    const std::string self = ResolveUri(options.documentAddress, options.documentAddress);
    const std::string_view selfWithoutFragment = WithoutFragment(self);
    const std::string baseAddress = base ? ResolveUri(self, CleanHref(HrefOf(base))) : self;

    for (const GumboNode* node : links) {
        if (sink.CancelRequested()) {
            result.end = ScanEnd::Cancelled;
            return result;
        }
        const std::string url = ResolveUri(baseAddress, CleanHref(HrefOf(node)));
        const bool skipped =
            HasScheme(url, "javascript") || HasScheme(url, "data") ||
            (url.find('#') != std::string::npos && WithoutFragment(url) == selfWithoutFragment);
        if (!skipped) {
            if (result.links >= LinkTable::kMaxRecords || sink.TableFull()) {
                result.end = ScanEnd::TableFull;
                return result;
            }
            std::string name;
            if (options.nameRule == NameRule::StripTags) {
                name = TextOf(node);
            } else {
                name = WithLineEndsAsSpaces(AltOfImageInside(node));
                if (name.empty())
                    name = InnerMarkupOf(node, utf8);
            }
            const long long number = options.countBase + result.links;
            std::u16string name16(TrimView(FromUtf8(name)));
            if (name16.empty())
                name16 = Placeholder(u"(名称無し ", number);
            std::u16string url16 = FromUtf8(url);
            if (url16.empty())
                url16 = Placeholder(u"(URL無し ", number);
            sink.Link(url16, name16, static_cast<std::int16_t>(result.links));
            ++result.links;
        }
        sink.KeyDone(result.links);
    }
    result.end = ScanEnd::NoMoreKeys;
    return result;
}

} // namespace orvane
