// The level that reads the tags: the HTML5 parse, the links it yields and the address resolution.
//
// The first byte chooses the options, the rest is the input:
//   bit 0     name rule (text / alt or markup)     bits 1-2  the document's address (page, file, with
//                                                            a fragment, none)
//   bit 3     the input is "base NUL reference" for the resolver alone
//   bits 4-6  room left in the link table (0: all)  bit 7     also run the whole RunConversion on a
//                                                            file, with bits 4-6 as the pump that cancels

#include "FuzzCheck.h"
#include "FuzzHost.h"

#include "core/Conversion.h"
#include "core/Globals.h"
#include "core/LinkTable.h"
#include "core/NestingDepth.h"
#include "core/TagScan.h"
#include "core/Text.h"
#include "core/UriReference.h"
#include "platform/SystemCodec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <vector>

using namespace orvane;

namespace {

constexpr std::array<const char*, 4> kAddresses{"http://example.org/dir/page.html?q=1",
                                                "file:///srv/doc/html/index.html",
                                                "HTTPS://Example.org/a/./b/../c.html#here", ""};

bool StartsWithNoCase(std::string_view s, std::string_view lowerPrefix) {
    if (s.size() < lowerPrefix.size())
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        const char c = s[i] >= 'A' && s[i] <= 'Z' ? static_cast<char>(s[i] + 32) : s[i];
        if (c != lowerPrefix[i])
            return false;
    }
    return true;
}

void CheckResolver(std::string_view base, std::string_view ref) {
    const std::string resolved = ResolveUri(base, ref);
    const UriParts b = SplitUri(base);
    // Splitting and joining loses nothing but the letter case of the scheme.
    const UriParts r = SplitUri(ref);
    if (!r.hasScheme && !(r.hasAuthority == false && r.path.starts_with("//")))
        ORVANE_FUZZ_CHECK(JoinUri(r) == ref);
    if (!b.hasScheme && !r.hasScheme) {
        ORVANE_FUZZ_CHECK(resolved == ref);
        return;
    }
    // An absolute address whose path holds no dot segments: resolving it again changes nothing.
    const UriParts t = SplitUri(resolved);
    ORVANE_FUZZ_CHECK(t.hasScheme);
    ORVANE_FUZZ_CHECK(ResolveUri(base, resolved) == resolved ||
                      (!r.hasScheme && !r.hasAuthority && r.path.empty()));
    ORVANE_FUZZ_CHECK(RemoveDotSegments(RemoveDotSegments(t.path)) == RemoveDotSegments(t.path));
    // The fragment is the reference's own.
    ORVANE_FUZZ_CHECK(t.hasFragment == r.hasFragment && t.fragment == r.fragment);
}

struct CheckingSink final : ScanSink {
    long long countBase;
    int room;
    NameRule rule;
    bool absolute;
    int links = 0;
    int keys = 0;

    CheckingSink(long long base, int roomLeft, NameRule nameRule, bool absoluteAddresses)
        : countBase(base), room(roomLeft), rule(nameRule), absolute(absoluteAddresses) {}

    bool TableFull() override { return links >= room; }
    void Link(std::u16string_view url, std::u16string_view name, std::int16_t seq) override {
        ORVANE_FUZZ_CHECK(seq == links && links < room);
        ORVANE_FUZZ_CHECK(!url.empty() && !name.empty());
        ORVANE_FUZZ_CHECK(fuzz::SurrogatesPaired(url) && fuzz::SurrogatesPaired(name));
        ORVANE_FUZZ_CHECK(name.front() != u' ' && name.back() != u' ');
        // Nothing that would split an entry of the list file.
        ORVANE_FUZZ_CHECK(name.find_first_of(u"\r\n") == std::u16string_view::npos);
        ORVANE_FUZZ_CHECK(url.find_first_of(u"\r\n\t") == std::u16string_view::npos);
        if (rule == NameRule::StripTags)
            ORVANE_FUZZ_CHECK(name.find(u"  ") == std::u16string_view::npos &&
                              name.find_first_of(u"\t\f") == std::u16string_view::npos);
        const std::string u8 = ToUtf8(url);
        ORVANE_FUZZ_CHECK(!StartsWithNoCase(u8, "javascript:") && !StartsWithNoCase(u8, "data:"));
        if (absolute) {
            ORVANE_FUZZ_CHECK(SplitUri(u8).hasScheme);
            ORVANE_FUZZ_CHECK(ResolveUri(u8, u8) == u8);
        }
        ++links;
    }
    void KeyDone(int count) override {
        ORVANE_FUZZ_CHECK(count == links);
        ++keys;
    }
};

void CheckRunConversion(std::string_view document, NameRule rule, int cancelAtPump, int directLinks,
                        const char* address) {
    static const fuzz::ScratchFile file;
    static const platform::SystemCodec codec("UTF-8");
    const std::u16string path = file.Write(document);

    ResetGlobals();
    gLinkLevel = 2;
    gNameMode = rule == NameRule::StripTags ? 0 : 1;
    fuzz::FuzzHost host;
    host.target = path;
    host.cancelAtPump = cancelAtPump;
    RunConversion(host.target, host, codec, FromUtf8(address));
    ORVANE_FUZZ_CHECK(host.enabled && !host.busy && !host.progress && !gCancelRequested);
    if (document.empty()) {
        ORVANE_FUZZ_CHECK(host.messages == 1 && host.shows == 0 && gLinks.Size() == 0);
    } else if (cancelAtPump != 0 && host.pumps >= cancelAtPump) {
        ORVANE_FUZZ_CHECK(host.shows == 0 && gLinks.Size() == 0);
    } else {
        ORVANE_FUZZ_CHECK(host.shows == 1);
        // Valid UTF-8 that declares nothing is decoded to the very text the direct scan had.
        const bool sameText = ToUtf8(FromUtf8(document)) == document &&
                              document.find('\0') == document.npos && !document.starts_with("\xef\xbb\xbf") &&
                              !document.starts_with("\xff\xfe") && !document.starts_with("\xfe\xff") &&
                              FindNoCase(FromUtf8(document), u"charset") == npos;
        if (sameText)
            ORVANE_FUZZ_CHECK(gLinks.Size() == directLinks && host.messages == (directLinks == 0 ? 1 : 0));
    }
    ResetGlobals();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    const NameRule rule = (flags & 1) != 0 ? NameRule::AltText : NameRule::StripTags;
    const char* address = kAddresses[(flags >> 1) & 3];

    if ((flags & 8) != 0) {
        const std::size_t nul = input.find('\0');
        CheckResolver(input.substr(0, nul), nul == input.npos ? std::string_view() : input.substr(nul + 1));
        return 0;
    }

    // Deeper than a limit means deeper than every smaller one.
    for (const std::size_t limit : {1u, 3u, 8u, 32u})
        ORVANE_FUZZ_CHECK(!NestsDeeperThan(input, limit) || NestsDeeperThan(input, limit - 1));

    const int roomBits = (flags >> 4) & 7;
    const int room = roomBits == 0 ? LinkTable::kMaxRecords : roomBits - 1;
    TagScanOptions options;
    options.nameRule = rule;
    options.countBase = 7;
    options.documentAddress = address;
    CheckingSink sink(options.countBase, room, rule, *address != '\0');
    const ScanResult result = ScanTags(input, options, sink);
    ORVANE_FUZZ_CHECK(result.links == sink.links && result.links <= room);
    ORVANE_FUZZ_CHECK(result.end == ScanEnd::NoMoreKeys || result.end == ScanEnd::TableFull ||
                      (result.end == ScanEnd::TooDeep && result.links == 0));
    if (result.end == ScanEnd::TableFull)
        ORVANE_FUZZ_CHECK(result.links == room);
    else
        ORVANE_FUZZ_CHECK(sink.keys >= sink.links);

    if ((flags & 0x80) != 0 && result.end == ScanEnd::NoMoreKeys && *address != '\0')
        CheckRunConversion(input, rule, roomBits, result.links, address);
    return 0;
}
