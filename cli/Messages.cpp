#include "cli/Messages.h"

namespace orvane::cli {

namespace {

// Names in messages come from web pages: none may move the cursor, recolour or retitle the terminal,
// or reorder what it shows.
bool IsTerminalControl(char16_t c) {
    return (c < 0x20 && c != u'\t') || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

} // namespace

void Messages::Show(std::u16string_view text, std::u16string_view title) {
    std::u16string out = u"orvane-cli: ";
    if (!input_.empty())
        out += input_ + u": ";
    if (!title.empty()) {
        out += title;
        out += u": ";
    }
    // The boxes' lines end with CR LF; here each becomes a line of its own.
    bool lineStart = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out.push_back(u'\n');
            lineStart = true;
            continue;
        }
        if (lineStart)
            out += u"  ";
        lineStart = false;
        out.push_back(IsTerminalControl(c) ? u'\uFFFD' : c);
    }
    out.push_back(u'\n');
    const std::string bytes = codec_.EncodeSystem(out);
    std::fwrite(bytes.data(), 1, bytes.size(), out_);
    std::fflush(out_);
}

} // namespace orvane::cli
