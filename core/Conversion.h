#pragma once
// One conversion (`ConvertHtmlFile`): read an HTML file, scan it and append its links to the list,
// with the progress window, the cancel button and every message on the way.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/ConversionHost.h"
#include "core/Text.h"
#include "core/TextCodec.h"

namespace orvane {

/// Largest input file in bytes (the message speaks of 128K, but the bound is 128,000).
inline constexpr std::uintmax_t kMaxInputBytes = 128000;
/// Largest input file at the level that reads the tags: 8 MiB.
inline constexpr std::uintmax_t kMaxTagInputBytes = std::uintmax_t{8} * 1024 * 1024;

/// How a conversion ended; the user has been told already. Front ends without a window (orvane-cli)
/// use it for their exit status.
enum class ConversionOutcome {
    Skipped,    // no target: nothing was done
    Unreadable, // the file could not be opened, or its size is out of bounds
    Refused,    // read, but its elements nest too deep to be parsed
    Cancelled,  // the user cancelled; what it had appended is gone again
    Converted,  // read and scanned, whether or not it held links
};

/// Reads the file at `path` and appends its links through `host`. Every outcome is shown to the user;
/// a refused or cancelled conversion leaves the list as it was before the call. `documentAddress` is
/// the address relative links resolve against at the level that reads the tags (a fetched page's
/// URL); empty means the file's own file: URL.
ConversionOutcome RunConversion(const std::u16string& path, ConversionHost& host, const TextCodec& codec,
                                std::u16string_view documentAddress = {});

/// The working text before normalisation: every line of the decoded document, trimmed and followed
/// by one space. A line ends at CR LF, CR or LF, so a line break reads as one space whichever
/// system wrote the file. There is always at least one line. `onLine(length)` runs after each line
/// with the working text's length so far.
/// Works in place: a line never moves to the right, since its line end becomes the space.
template <typename OnLine> std::u16string JoinLines(std::u16string text, OnLine&& onLine) {
    std::size_t out = 0; // end of the working text, never past the line being read
    std::size_t pos = 0;
    while (true) {
        const std::size_t lineEnd = FindEitherChar(text, u'\r', u'\n', pos);
        const std::size_t end = lineEnd == npos ? text.size() : lineEnd;
        // Read before the space below may overwrite it.
        const bool crLf = lineEnd != npos && text[lineEnd] == u'\r' && lineEnd + 1 < text.size() &&
                          text[lineEnd + 1] == u'\n';
        const std::u16string_view line = TrimView(std::u16string_view(text).substr(pos, end - pos));
        const auto lineStart = static_cast<std::size_t>(line.data() - text.data());
        if (lineStart != out && !line.empty())
            std::char_traits<char16_t>::move(text.data() + out, line.data(), line.size());
        out += line.size();
        if (out < text.size())
            text[out] = u' ';
        else
            text.push_back(u' ');
        ++out;
        onLine(out);
        if (lineEnd == npos)
            break;
        pos = lineEnd + (crLf ? 2 : 1);
        if (pos >= text.size())
            break; // the last line had its line end: the reader is at the end of the file
    }
    text.resize(out);
    return text;
}

/// Removes every CR and LF. After JoinLines none is left; text from elsewhere may still hold some.
void RemoveLineBreaks(std::u16string& text);

} // namespace orvane
