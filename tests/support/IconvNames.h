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
    std::string name;
    for (int c = 0; c != EOF;) {
        c = std::fgetc(pipe);
        if (c != EOF && c != ',' && c != ' ' && c != '\n') {
            name.push_back(static_cast<char>(c));
            continue;
        }
        while (!name.empty() && name.back() == '/')
            name.pop_back();
        if (!name.empty())
            names.push_back(name);
        name.clear();
    }
    pclose(pipe);
    return names;
}

} // namespace orvane::test
