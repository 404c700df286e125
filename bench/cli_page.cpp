// Writes a benchmark page to a file, for timing orvane-cli beside other link collectors as whole
// processes (scripts/bench):
//
//   cli_page FILE [dense|today]
//
// dense: DenseLinkPage, 128,000 bytes of ASCII anchors on CR LF lines; today: TodaysLinkPage, LF
// lines, "&amp;" in the addresses, character references in names, no character set declared.

#include "BenchPages.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2 || (argc > 2 && std::strcmp(argv[2], "dense") != 0 && std::strcmp(argv[2], "today") != 0)) {
        std::fprintf(stderr, "usage: cli_page FILE [dense|today]\n");
        return 2;
    }
    const bool today = argc > 2 && std::strcmp(argv[2], "today") == 0;
    const std::string page = today ? orvane::bench::TodaysLinkPage() : orvane::bench::DenseLinkPage();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(page.data(), 1, page.size(), out) != page.size() || std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
