#pragma once
// The command line of orvane-cli: options and inputs, or the reason they cannot be used.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvane::cli {

enum class ListFormat { Url, NameUrl, Tsv, Json };

struct CliOptions {
    std::int16_t linkLevel = 0; // as the settings' LINK_AB: 0 "a href", 1 "http:", 2 the tags read
    std::int16_t nameMode = 0;  // as NAME_AB: 0 tags removed, 1 alt text
    std::optional<std::string> proxy;
    ListFormat format = ListFormat::Url;
    std::optional<std::string> output;    // "-" or none: standard output
    std::optional<std::string> shortcuts; // the directory for one .url per link
    bool overwrite = false;
    bool help = false;
    std::vector<std::string> inputs; // files, http(s) addresses, "-" for standard input
};

struct ParsedCommandLine {
    CliOptions options;
    /// Why the command line cannot be used (the program's own text); empty when it can.
    std::u16string error;
};

/// Reads `args` (without the program name). Options and inputs may be mixed; "--" ends the options;
/// a value follows its option as the next argument or after "=". A later option overrides an
/// earlier one.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

/// The text of --help.
std::u16string UsageText();

} // namespace orvane::cli
