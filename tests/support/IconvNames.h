#pragma once
// The character-set names the system's iconv lists ("437//", "ISO-10646/UCS2/" ...), without their
// trailing slashes; empty when iconv cannot be run. For the codec's tests and its fuzz target.

#include <cstdio>
#include <string>
#include <vector>

namespace orvane::test {

inline std::vector<std::string> IconvNames() {
    std::vector<std::string> names;
    std::FILE* pipe = popen("iconv -l 2>/dev/null", "r");
    if (pipe == nullptr)
        return names;
    std::string text;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        text.append(chunk, got);
    pclose(pipe);
    std::string name;
    for (const char c : text + ",") {
        if (c == ',' || c == ' ' || c == '\n') {
            while (!name.empty() && name.back() == '/')
                name.pop_back();
            if (!name.empty())
                names.push_back(name);
            name.clear();
        } else {
            name.push_back(c);
        }
    }
    return names;
}

} // namespace orvane::test
