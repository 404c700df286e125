#pragma once
// The list in the formats of orvane-cli. "url" and "name-url" are the list file's two layouts, byte
// for byte (the system code page, CR LF). "tsv" and "json" are for other programs, always UTF-8:
//  - tsv: one line per link, the name, a TAB, the URL and LF. A TAB, CR or LF inside a value becomes
//    one space, so every line has exactly two fields; nothing else is escaped or quoted.
//  - json: an array of {"name": ..., "url": ...} objects, one per line, in UTF-8. Escaped are '"'
//    and '\' (with a backslash), the controls U+0000-U+001F (\b \t \n \f \r, the others \u00XX) and
//    U+2028, U+2029 (\u2028, \u2029, so the text is also valid JavaScript); a lone surrogate becomes
//    U+FFFD. Everything else is written as it is.
// Records are taken in table order, deleted ones skipped, as by the list file.

#include <string>

#include "cli/CliOptions.h"
#include "core/LinkTable.h"
#include "core/TextCodec.h"

namespace orvane::cli {

std::string BuildList(const LinkTable& links, ListFormat format, const TextCodec& codec);

} // namespace orvane::cli
