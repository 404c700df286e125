#include "core/NestingDepth.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>
#include <unordered_map>
#include <vector>

namespace orvane {

namespace {

constexpr bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

constexpr char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsVoid(std::string_view n) {
    return OneOf(n, {"area",  "base",  "basefont", "bgsound", "br",    "col",     "embed",
                     "frame", "hr",    "img",      "image",   "input", "keygen",  "link",
                     "meta",  "param", "source",   "track",   "wbr",   "menuitem"});
}

bool IsRawText(std::string_view n) {
    return OneOf(
        n, {"script", "style", "textarea", "title", "xmp", "iframe", "noembed", "noframes", "noscript"});
}

// The stack of open elements as far as nesting goes, with the positions of each name for quick look-ups.
class OpenElements {
public:
    std::size_t Size() const { return names_.size(); }
    bool InForeign() const { return foreign_ > 0; }
    std::string_view Top() const { return names_.empty() ? std::string_view() : names_.back(); }

    void Push(const std::string& name) {
        if (name == "svg" || name == "math")
            ++foreign_;
        where_[name].push_back(names_.size());
        names_.push_back(name);
    }
    /// Closes everything from `position` on.
    void PopTo(std::size_t position) {
        while (names_.size() > position) {
            const std::string& name = names_.back();
            if (name == "svg" || name == "math")
                --foreign_;
            where_[name].pop_back();
            names_.pop_back();
        }
    }
    /// Position of the nearest open element of that name, or -1.
    long Nearest(const std::string& name) const {
        const auto it = where_.find(name);
        return it == where_.end() || it->second.empty() ? -1 : static_cast<long>(it->second.back());
    }
    long Nearest(std::initializer_list<const char*> names) const {
        long best = -1;
        for (const char* name : names)
            best = std::max(best, Nearest(std::string(name)));
        return best;
    }

private:
    std::vector<std::string> names_;
    std::unordered_map<std::string, std::vector<std::size_t>> where_;
    int foreign_ = 0;
};

// A start tag that closes the open element `sameKind` (the nearest of them) unless `boundary` lies
// between: a new list item closes the last one, but not one outside the inner list.
void CloseSameKind(OpenElements& open, std::initializer_list<const char*> sameKind,
                   std::initializer_list<const char*> boundary) {
    const long same = open.Nearest(sameKind);
    if (same >= 0 && same > open.Nearest(boundary))
        open.PopTo(static_cast<std::size_t>(same));
}

void StartTag(OpenElements& open, const std::string& n, bool selfClosing) {
    if (n == "html" || n == "head" || n == "body" || IsVoid(n))
        return;
    if (n == "li") {
        CloseSameKind(open, {"li"}, {"ul", "ol", "menu", "table", "template"});
    } else if (n == "dt" || n == "dd") {
        CloseSameKind(open, {"dt", "dd"}, {"dl", "table", "template"});
    } else if (n == "p") {
        CloseSameKind(open, {"p"},
                      {"button", "table", "td", "th", "caption", "marquee", "object", "template"});
    } else if (n == "option" || n == "optgroup") {
        CloseSameKind(open, {"option"}, {"select", "datalist", "optgroup", "template"});
        if (n == "optgroup")
            CloseSameKind(open, {"optgroup"}, {"select", "template"});
    } else if (n == "tr") {
        CloseSameKind(open, {"tr"}, {"table", "template"});
    } else if (n == "td" || n == "th") {
        CloseSameKind(open, {"td", "th"}, {"tr", "table", "template"});
    } else if (n == "table") {
        CloseSameKind(open, {"table"}, {"td", "th", "caption", "template"});
    } else if (n == "a" || n == "nobr" || n == "button" || n == "select") {
        CloseSameKind(open, {n.c_str()}, {"table", "td", "th", "caption", "template", "object", "marquee"});
    } else if (n == "form") {
        if (open.Nearest(n) >= 0)
            return; // a form inside a form is dropped
    } else if (n.size() == 2 && n[0] == 'h' && n[1] >= '1' && n[1] <= '6') {
        const std::string_view top = open.Top();
        if (top.size() == 2 && top[0] == 'h' && top[1] >= '1' && top[1] <= '6')
            open.PopTo(open.Size() - 1);
    }
    // A self-closing tag opens nothing in SVG and MathML (the svg or math element itself included).
    if (selfClosing && (open.InForeign() || n == "svg" || n == "math"))
        return;
    open.Push(n);
}

} // namespace

bool NestsDeeperThan(std::string_view html, std::size_t limit) {
    OpenElements open;
    const std::size_t size = html.size();
    std::size_t i = 0;
    std::string name;
    const auto skipTo = [&](std::string_view what, std::size_t from) {
        const std::size_t at = html.find(what, from);
        return at == std::string_view::npos ? size : at + what.size();
    };
    while (i < size) {
        const std::size_t lt = html.find('<', i);
        if (lt == std::string_view::npos || lt + 1 >= size)
            break;
        i = lt + 1;
        const char c = html[i];
        if (c == '!') {
            i = html.substr(i, 3) == "!--" ? skipTo("-->", i + 3) : skipTo(">", i);
            continue;
        }
        if (c == '?') {
            i = skipTo(">", i);
            continue;
        }
        const bool end = c == '/';
        if (end)
            ++i;
        if (i >= size || !IsAlpha(html[i])) {
            if (end)
                i = skipTo(">", i); // "</" and no letter: a bogus comment
            continue;               // "<" and no letter: text
        }
        name.clear();
        while (i < size && !IsSpace(html[i]) && html[i] != '/' && html[i] != '>')
            name += Lower(html[i++]);
        // The rest of the tag: attribute values in quotes may hold ">".
        bool selfClosing = false;
        while (i < size && html[i] != '>') {
            if (html[i] == '=') {
                ++i;
                while (i < size && IsSpace(html[i]))
                    ++i;
                if (i < size && (html[i] == '"' || html[i] == '\'')) {
                    const std::size_t close = html.find(html[i], i + 1);
                    i = close == std::string_view::npos ? size : close + 1;
                }
                selfClosing = false;
                continue;
            }
            selfClosing = html[i] == '/';
            ++i;
        }
        ++i; // past the ">"
        if (end) {
            if (name != "html" && name != "head" && name != "body") {
                const long at = open.Nearest(name);
                if (at >= 0)
                    open.PopTo(static_cast<std::size_t>(at));
            }
            continue;
        }
        if (!open.InForeign() && name == "plaintext")
            break; // the rest of the page is text
        if (!open.InForeign() && IsRawText(name)) {
            // Up to the element's own end tag, in any case.
            const std::string endTag = "</" + name;
            std::size_t at = i;
            while (true) {
                at = html.find("</", at);
                if (at == std::string_view::npos) {
                    at = size;
                    break;
                }
                bool same = at + endTag.size() <= size;
                for (std::size_t k = 2; same && k < endTag.size(); ++k)
                    same = Lower(html[at + k]) == endTag[k];
                if (same)
                    break;
                at += 2;
            }
            i = at; // the end tag is read as one
            continue;
        }
        StartTag(open, name, selfClosing);
        if (open.Size() > limit)
            return true;
    }
    return false;
}

} // namespace orvane
