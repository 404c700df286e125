// The extraction from bytes: decoding (byte-order mark, declared character set through iconv, UTF-8 as
// the system code page, the detector for undeclared bytes that are not UTF-8), joining the lines,
// removing the line breaks, the scan and the character references in addresses and names.
//
// The first byte chooses the options, the next two the declared character set, the rest is the
// document:
//   bit 0     link level ("a href" / "http:")       bit 1     name rule (tags removed / alt text)
//   bits 2-3  number of entries already in the list  bits 4-6  room left in the link table (0: all)
//   bit 7     also run the whole RunConversion on a file, with bits 4-6 as the pump that cancels
// Bytes 2-3, big-endian, modulo one more than the number of character sets `iconv -l` lists: 0 leaves
// the document as it is, any other value puts a <meta charset> of that set in front of it.

#include "FuzzCheck.h"
#include "FuzzHost.h"

#include "core/CharRefs.h"
#include "core/Conversion.h"
#include "core/DocumentDecoding.h"
#include "core/Globals.h"
#include "core/LinkScan.h"
#include "core/LinkTable.h"
#include "core/Text.h"
#include "platform/SystemCodec.h"
#include "tests/support/IconvNames.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iconv.h>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <vector>

using namespace orvane;

namespace {

const platform::SystemCodec& Codec() {
    static const platform::SystemCodec codec("UTF-8");
    return codec;
}

bool StartsWithNoCase(std::u16string_view s, std::u16string_view lowerPrefix) {
    if (s.size() < lowerPrefix.size())
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
        if (FoldAscii(s[i]) != lowerPrefix[i])
            return false;
    return true;
}

std::u16string Placeholder(std::u16string_view head, long long number) {
    return std::u16string(head) + ToU16Number(number) + u")";
}

bool HasLineBreak(std::u16string_view s) {
    return s.find_first_of(u"\r\n") != std::u16string_view::npos;
}

bool Trimmed(std::u16string_view s) {
    return s.empty() || (s.front() != u' ' && s.back() != u' ');
}

struct Found {
    std::u16string url;
    std::u16string name;
    std::int16_t seq;
};

// What every link must look like, whoever took it. `number` is the entry number placeholders carry.
void CheckLink(std::u16string_view url, std::u16string_view name, long long number) {
    const bool addressOk = StartsWithNoCase(url, u"http:") || StartsWithNoCase(url, u"https:") ||
                           url == Placeholder(u"(URL無し ", number);
    if (!addressOk)
        fuzz::Show("url", url);
    ORVANE_FUZZ_CHECK(addressOk);
    ORVANE_FUZZ_CHECK(!name.empty());
    ORVANE_FUZZ_CHECK(!HasLineBreak(url) && !HasLineBreak(name));
    ORVANE_FUZZ_CHECK(Trimmed(url) && Trimmed(name));
    // A double quote may stand in an address now: "&quot;" decodes to one after the address is cut.
}

// What decoding references may do: never lengthen the text (the shortest reference, four units, gives
// at most two code points; every one of the table is at least three units longer than its text),
// leave a text without "&" as it is, and pair every surrogate it writes.
void CheckCharRefs(std::u16string_view text) {
    const std::u16string decoded = DecodeCharRefs(text);
    ORVANE_FUZZ_CHECK(decoded.size() <= text.size());
    if (text.find(u'&') == std::u16string_view::npos)
        ORVANE_FUZZ_CHECK(decoded == text);
    if (fuzz::SurrogatesPaired(text))
        ORVANE_FUZZ_CHECK(fuzz::SurrogatesPaired(decoded));
    std::u16string address;
    AppendDecodedCharRefs(text, address, DecodedBreaks::Drop);
    std::u16string name;
    AppendDecodedCharRefs(text, name, DecodedBreaks::Space);
    ORVANE_FUZZ_CHECK(address.size() <= decoded.size() && name.size() == decoded.size());
    if (text.find_first_of(u"\r\n") == std::u16string_view::npos)
        ORVANE_FUZZ_CHECK(!HasLineBreak(address) && !HasLineBreak(name));
}

class CheckingSink final : public ScanSink {
public:
    CheckingSink(long long countBase, int room) : countBase_(countBase), room_(room) {}

    bool TableFull() override { return static_cast<int>(links.size()) >= room_; }
    void Link(std::u16string_view url, std::u16string_view name, std::int16_t seq) override {
        ORVANE_FUZZ_CHECK(seq == static_cast<int>(links.size()));
        ORVANE_FUZZ_CHECK(static_cast<int>(links.size()) < LinkTable::kMaxRecords);
        ORVANE_FUZZ_CHECK(static_cast<int>(links.size()) < room_);
        CheckLink(url, name, countBase_ + seq);
        links.push_back({std::u16string(url), std::u16string(name), seq});
    }
    void KeyDone(int n) override {
        ORVANE_FUZZ_CHECK(n == static_cast<int>(links.size()));
        ++keys;
    }

    std::vector<Found> links;
    int keys = 0;

private:
    long long countBase_;
    int room_;
};

// Plain searches to hold the vectorised ones against.
std::size_t NaiveFindNoCase(std::u16string_view hay, std::u16string_view lowerNeedle) {
    for (std::size_t i = 0; i + lowerNeedle.size() <= hay.size(); ++i)
        if (StartsWithNoCase(hay.substr(i), lowerNeedle))
            return i;
    return npos;
}

std::size_t NaiveFindHttp(std::u16string_view hay) {
    for (std::size_t i = 0; i < hay.size(); ++i)
        if (StartsWithNoCase(hay.substr(i), u"http:") || StartsWithNoCase(hay.substr(i), u"https:"))
            return i;
    return npos;
}

// UTF-8 decoding one byte at a time, by the table of well-formed sequences: each maximal ill-formed
// part becomes one U+FFFD.
std::u16string NaiveFromUtf8(std::string_view bytes) {
    std::u16string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b0 = static_cast<unsigned char>(bytes[i++]);
        int need = 0;
        unsigned lo = 0x80;
        unsigned hi = 0xBF;
        char32_t cp = 0;
        if (b0 < 0x80) {
            out.push_back(b0);
            continue;
        }
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            need = 1;
            cp = b0 & 0x1Fu;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            need = 2;
            cp = b0 & 0x0Fu;
            lo = b0 == 0xE0 ? 0xA0 : 0x80;
            hi = b0 == 0xED ? 0x9F : 0xBF;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            need = 3;
            cp = b0 & 0x07u;
            lo = b0 == 0xF0 ? 0x90 : 0x80;
            hi = b0 == 0xF4 ? 0x8F : 0xBF;
        } else {
            out.push_back(u'\uFFFD');
            continue;
        }
        int got = 0;
        while (got < need && i < bytes.size()) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (b < lo || b > hi)
                break;
            cp = (cp << 6) | (b & 0x3Fu);
            ++i;
            ++got;
            lo = 0x80;
            hi = 0xBF;
        }
        if (got < need) {
            out.push_back(u'\uFFFD');
        } else if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

// A character set through iconv alone, one U+FFFD for each byte it refuses: what the codec's own
// faster ways must agree with. Room for four characters per byte, the most any character set gives.
// `fresh`: convert with a converter of its own, as the codec does. Resetting a kept one does not
// forget everything: glibc's UNICODE, UTF-16 and UTF-32 keep the byte order of the first input's mark.
std::u16string IconvReference(std::string_view bytes, const char* charset, bool fresh = false) {
    // Kept open for the whole run: that also keeps glibc from unloading and reloading the character
    // set's module for every conversion, the codec's included, which would take most of the time.
    static struct Converters {
        std::map<std::string, iconv_t> open;
        ~Converters() {
            for (const auto& entry : open)
                iconv_close(entry.second);
        }
    } converters;
    iconv_t& cd = converters.open[charset];
    if (cd == nullptr) {
        cd = iconv_open("WCHAR_T", charset);
        ORVANE_FUZZ_CHECK(cd != reinterpret_cast<iconv_t>(-1));
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    struct Own {
        iconv_t cd = reinterpret_cast<iconv_t>(-1);
        ~Own() {
            if (cd != reinterpret_cast<iconv_t>(-1))
                iconv_close(cd);
        }
    } own;
    if (fresh) {
        own.cd = iconv_open("WCHAR_T", charset);
        ORVANE_FUZZ_CHECK(own.cd != reinterpret_cast<iconv_t>(-1));
    }
    const iconv_t use = fresh ? own.cd : cd;
    std::vector<wchar_t> wide(bytes.size() * 4 + 8);
    char* dst = reinterpret_cast<char*>(wide.data());
    std::size_t room = wide.size() * sizeof(wchar_t);
    char* src = const_cast<char*>(bytes.data());
    std::size_t left = bytes.size();
    while (left > 0) {
        if (iconv(use, &src, &left, &dst, &room) != static_cast<std::size_t>(-1))
            continue;
        ORVANE_FUZZ_CHECK(errno != E2BIG);
        ORVANE_FUZZ_CHECK(room >= sizeof(wchar_t));
        *reinterpret_cast<wchar_t*>(dst) = L'\uFFFD';
        dst += sizeof(wchar_t);
        room -= sizeof(wchar_t);
        if (left == 0) // the converter took the refused bytes itself
            break;
        ++src;
        --left;
    }
    ORVANE_FUZZ_CHECK(iconv(use, nullptr, nullptr, &dst, &room) != static_cast<std::size_t>(-1));
    std::u16string out;
    for (std::size_t i = 0; i < wide.size() - room / sizeof(wchar_t); ++i) {
        const auto c = static_cast<char32_t>(wide[i]);
        if (c >= 0x10000 && c <= 0x10FFFF) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            const bool invalid = c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF);
            out.push_back(invalid ? u'\uFFFD' : static_cast<char16_t>(c));
        }
    }
    return out;
}

// Every name the system's iconv lists.
const std::vector<std::string>& IconvCharsets() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out = orvane::test::IconvNames();
        ORVANE_FUZZ_CHECK(out.size() > 100);
        return out;
    }();
    return names;
}

// A character set that iconv knows: the codec never reads or writes outside its buffers (the
// sanitizers watch that), leaves no lone surrogate, and gives what iconv alone gives.
void CheckCharset(std::string_view bytes, const std::string& charset) {
    const std::optional<std::u16string> decoded = Codec().Decode(bytes, charset);
    if (!decoded)
        return;
    ORVANE_FUZZ_CHECK(fuzz::SurrogatesPaired(*decoded));
    // The names the codec takes its own way (UTF-8 by its own decoder, Shift_JIS by its table, EUC-JP
    // as EUC-JP-MS) are held against their references in CheckDecoders.
    std::string upper = charset;
    for (char& c : upper)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    for (const char* own : {"UTF8", "UTF-8", "ASCII", "ANSI_X3.4-1968", "SJIS", "SHIFT", "932", "EUC-JP",
                            "EUCJP", "MS_KANJI", "WINDOWS-31J", "CSEUCPKDFMTJAPANESE"})
        if (upper.find(own) != std::string::npos)
            return;
    const std::u16string reference = IconvReference(bytes, charset.c_str(), true);
    if (*decoded != reference) {
        fuzz::Show("charset", std::string_view(charset));
        fuzz::Show("codec", *decoded);
        fuzz::Show("iconv", reference);
    }
    ORVANE_FUZZ_CHECK(*decoded == reference);
}

void CheckDecoders(std::string_view bytes) {
    const std::u16string utf8 = FromUtf8(bytes);
    ORVANE_FUZZ_CHECK(utf8 == NaiveFromUtf8(bytes));
    ORVANE_FUZZ_CHECK(FromUtf8(ToUtf8(utf8)) == utf8);
    for (const bool bigEndian : {false, true}) {
        const std::u16string utf16 = DecodeUtf16(bytes, bigEndian);
        ORVANE_FUZZ_CHECK(utf16.size() == (bytes.size() + 1) / 2);
        ORVANE_FUZZ_CHECK(fuzz::SurrogatesPaired(utf16));
    }
    ORVANE_FUZZ_CHECK(Codec().Decode(bytes, "Shift_JIS") == IconvReference(bytes, "CP932"));
    ORVANE_FUZZ_CHECK(Codec().Decode(bytes, "EUC-JP") == IconvReference(bytes, "EUC-JP-MS"));
    // One byte of TSCII can give four characters.
    ORVANE_FUZZ_CHECK(Codec().Decode(bytes, "TSCII") == IconvReference(bytes, "TSCII"));
}

// ---- The whole conversion on a file ----

// The conversion may show a NUL of the document as U+FFFD, as browsers do.
std::u16string WithoutNul(std::u16string s) {
    std::replace(s.begin(), s.end(), u'\0', u'\uFFFD');
    return s;
}

void CheckRunConversion(std::string_view document, LinkLevel level, NameRule nameRule, int cancelAtPump,
                        const std::vector<Found>& direct, bool directComplete) {
    static const fuzz::ScratchFile file;
    ResetGlobals();
    gLinkLevel = level == LinkLevel::AHref ? 0 : 1;
    gNameMode = nameRule == NameRule::StripTags ? 0 : 1;
    fuzz::FuzzHost host;
    host.target = file.Write(document);
    host.cancelAtPump = cancelAtPump;
    RunConversion(host.target, host, Codec());

    // Whatever happened, the windows are back and the cancel request is used up.
    ORVANE_FUZZ_CHECK(host.enabled && !host.busy && !host.progress);
    ORVANE_FUZZ_CHECK(!gCancelRequested);
    if (document.empty() || document.size() > kMaxInputBytes) {
        // Refused with its message before anything was read.
        ORVANE_FUZZ_CHECK(host.messages == 1 && host.shows == 0 && gLinks.Size() == 0);
        return;
    }
    if (cancelAtPump != 0 && host.pumps >= cancelAtPump) {
        // A cancelled conversion leaves the list as it was.
        ORVANE_FUZZ_CHECK(host.shows == 0 && gLinks.Size() == 0);
        return;
    }
    ORVANE_FUZZ_CHECK(host.shows == 1 && host.shown == gLinks.Size());
    if (directComplete)
        ORVANE_FUZZ_CHECK(static_cast<std::size_t>(gLinks.Size()) == direct.size());
    for (int i = 0; i < gLinks.Size(); ++i) {
        const LinkRecord& r = gLinks.At(i);
        ORVANE_FUZZ_CHECK(r.seq == i && !r.deleted);
        CheckLink(r.url, r.name, i);
        if (directComplete)
            ORVANE_FUZZ_CHECK(WithoutNul(r.url) == WithoutNul(direct[static_cast<std::size_t>(i)].url) &&
                              WithoutNul(r.name) == WithoutNul(direct[static_cast<std::size_t>(i)].name));
    }
    ResetGlobals();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    const LinkLevel level = (flags & 1) != 0 ? LinkLevel::Http : LinkLevel::AHref;
    const NameRule nameRule = (flags & 2) != 0 ? NameRule::AltText : NameRule::StripTags;
    static constexpr std::array<long long, 4> kCountBases{0, 1, 4096, LinkTable::kMaxRecords - 1};
    const long long countBase = kCountBases[(flags >> 2) & 3];
    const int roomBits = (flags >> 4) & 7;
    const int room = roomBits == 0 ? LinkTable::kMaxRecords : roomBits - 1;
    const bool wholeConversion = (flags & 0x80) != 0;
    if (size < 3)
        return 0;
    const std::vector<std::string>& charsets = IconvCharsets();
    const std::size_t choice = ((std::size_t{data[1]} << 8) | data[2]) % (charsets.size() + 1);
    std::string declared;
    if (choice != 0) {
        declared = "<meta charset=\"" + charsets[choice - 1] + "\">";
        declared.append(reinterpret_cast<const char*>(data + 3), size - 3);
        CheckCharset(std::string_view(declared).substr(declared.find('>') + 1), charsets[choice - 1]);
    }
    const std::string_view document =
        choice != 0 ? std::string_view(declared)
                    : std::string_view(reinterpret_cast<const char*>(data + 3), size - 3);

    CheckDecoders(document);

    const std::u16string decoded = DecodeDocument(document, Codec());
    ORVANE_FUZZ_CHECK(fuzz::SurrogatesPaired(decoded));
    std::size_t lastLength = 0;
    std::u16string work = JoinLines(decoded, [&](std::size_t length) {
        ORVANE_FUZZ_CHECK(length > lastLength);
        lastLength = length;
    });
    ORVANE_FUZZ_CHECK(work.size() == lastLength && !work.empty() && work.back() == u' ');
    // Every line break ended a line: none is left to remove.
    ORVANE_FUZZ_CHECK(!HasLineBreak(work));
    const std::size_t before = work.size();
    RemoveLineBreaks(work);
    ORVANE_FUZZ_CHECK(work.size() == before);
    CheckCharRefs(decoded);

    ORVANE_FUZZ_CHECK(FindHttp(work) == NaiveFindHttp(work));
    ORVANE_FUZZ_CHECK(FindNoCase(work, u"a href") == NaiveFindNoCase(work, u"a href"));
    ORVANE_FUZZ_CHECK(FindNoCase(work, u"</a>") == NaiveFindNoCase(work, u"</a>"));

    ScanOptions options;
    options.level = level;
    options.nameRule = nameRule;
    options.countBase = countBase;
    CheckingSink sink(countBase, room);
    const ScanResult result = ScanLinks(work, options, sink);
    ORVANE_FUZZ_CHECK(result.links == static_cast<int>(sink.links.size()));
    ORVANE_FUZZ_CHECK(result.links <= LinkTable::kMaxRecords && result.links <= room);
    ORVANE_FUZZ_CHECK(result.end != ScanEnd::Cancelled);
    if (result.end == ScanEnd::TableFull)
        ORVANE_FUZZ_CHECK(result.links == room);
    if (result.links > 0 || result.end == ScanEnd::UnexpectedEnd) {
        // A key was found, so the plain search finds one too.
        const std::size_t key =
            level == LinkLevel::AHref ? NaiveFindNoCase(work, u"a href") : NaiveFindHttp(work);
        ORVANE_FUZZ_CHECK(key != npos);
    }

    if (wholeConversion) {
        // The same scan from an empty list with all the room, to compare the table with.
        CheckingSink full(0, LinkTable::kMaxRecords);
        ScanOptions fullOptions = options;
        fullOptions.countBase = 0;
        const ScanResult fullResult = ScanLinks(work, fullOptions, full);
        CheckRunConversion(document, level, nameRule, roomBits, full.links,
                           fullResult.end != ScanEnd::TableFull);
    }
    return 0;
}
