#include "core/LinkScan.h"

#include "core/CharRefs.h"
#include "core/LinkTable.h"
#include "core/Text.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvane {

namespace {

constexpr bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Case-insensitive search for one fixed needle of at least two units, given in lower case. The
// positions where both the first and the last unit match are found eight at a time, and only those
// are compared in full: in a page full of "a" and "<" the first unit alone stops too often.
class NeedleFinder {
public:
    explicit constexpr NeedleFinder(std::u16string_view lowerNeedle)
        : needle_(lowerNeedle), first_(lowerNeedle.front()), last_(lowerNeedle.back()),
          firstFold_(IsAsciiLetter(first_) ? 0x20 : 0), lastFold_(IsAsciiLetter(last_) ? 0x20 : 0) {}

    std::size_t Find(std::u16string_view hay, std::size_t from) const {
        const std::size_t m = needle_.size();
        if (from >= hay.size() || hay.size() - from < m)
            return npos;
        const std::size_t lastStart = hay.size() - m; // the last position a match can start at
        const char16_t* data = hay.data();
        std::size_t i = from;
#if defined(__SSE2__)
        const __m128i first = _mm_set1_epi16(static_cast<short>(first_));
        const __m128i last = _mm_set1_epi16(static_cast<short>(last_));
        const __m128i firstFold = _mm_set1_epi16(static_cast<short>(firstFold_));
        const __m128i lastFold = _mm_set1_epi16(static_cast<short>(lastFold_));
        // Setting bit 0x20 folds exactly the two cases of a letter onto its lower case.
        for (; i + 8 <= lastStart + 1; i += 8) {
            __m128i a;
            __m128i b;
            std::memcpy(&a, data + i, sizeof a);
            std::memcpy(&b, data + i + m - 1, sizeof b);
            const __m128i hit = _mm_and_si128(_mm_cmpeq_epi16(_mm_or_si128(a, firstFold), first),
                                              _mm_cmpeq_epi16(_mm_or_si128(b, lastFold), last));
            auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
            while (mask != 0) {
                const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(mask)) / 2;
                if (MiddleMatches(data + at))
                    return at;
                mask &= mask - 1; // both bits of one unit are set: clear them
                mask &= mask - 1;
            }
        }
#endif
        for (; i <= lastStart; ++i)
            if ((data[i] | firstFold_) == first_ && (data[i + m - 1] | lastFold_) == last_ &&
                MiddleMatches(data + i))
                return i;
        return npos;
    }

private:
    bool MiddleMatches(const char16_t* at) const {
        for (std::size_t k = 1; k + 1 < needle_.size(); ++k)
            if (FoldAscii(at[k]) != needle_[k])
                return false;
        return true;
    }

    std::u16string_view needle_;
    char16_t first_;
    char16_t last_;
    char16_t firstFold_;
    char16_t lastFold_;
};

constexpr NeedleFinder kAHref(u"a href");
constexpr NeedleFinder kEndTag(u"</a>");
constexpr std::size_t kEndTagSize = 4;
constexpr NeedleFinder kHttp(u"http");

// First apostrophe directly followed by ">" at or after `from`.
std::size_t FindAposGt(std::u16string_view s, std::size_t from) {
    std::size_t i = FindChar(s, u'\'', from);
    while (i != npos) {
        if (i + 1 < s.size() && s[i + 1] == u'>')
            return i;
        i = FindChar(s, u'\'', i + 1);
    }
    return npos;
}

// Trimming as TrimView does, inline: it runs several times for every link.
std::u16string_view TrimSpaces(std::u16string_view s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && s[begin] == u' ')
        ++begin;
    while (end > begin && s[end - 1] == u' ')
        --end;
    return s.substr(begin, end - begin);
}

// Character references decoded, then the spaces at both ends removed; `text` itself when it holds
// no "&".
std::u16string_view DecodeAndTrim(std::u16string_view text, std::u16string& scratch, DecodedBreaks breaks) {
    if (FindChar(text, u'&') == npos)
        return text;
    scratch.clear();
    AppendDecodedCharRefs(text, scratch, breaks);
    return TrimSpaces(scratch);
}

void SetPlaceholder(std::u16string& out, std::u16string_view head, long long number) {
    out.assign(head);
    char16_t digits[24];
    char16_t* p = digits + std::size(digits);
    unsigned long long n =
        number < 0 ? 0ULL - static_cast<unsigned long long>(number) : static_cast<unsigned long long>(number);
    do {
        *--p = static_cast<char16_t>(u'0' + n % 10);
        n /= 10;
    } while (n != 0);
    if (number < 0)
        *--p = u'-';
    out.append(p, static_cast<std::size_t>(digits + std::size(digits) - p));
    out += u')';
}

} // namespace

std::size_t FindHttp(std::u16string_view text, std::size_t from) {
    std::size_t i = kHttp.Find(text, from);
    while (i != npos) {
        const std::size_t after = i + 4;
        if (after < text.size()) {
            if (text[after] == u':')
                return i;
            if (FoldAscii(text[after]) == u's' && after + 1 < text.size() && text[after + 1] == u':')
                return i;
        }
        i = kHttp.Find(text, i + 1);
    }
    return npos;
}

std::u16string_view StripTags(std::u16string_view name, std::u16string& scratch) {
    std::size_t lt = FindChar(name, u'<');
    if (lt == npos)
        return name;
    // One pass gives what removing the first tag again and again would: every removal trims the text
    // before the tag and the text after it, so the result is the trimmed pieces between the tags.
    scratch.clear();
    std::size_t pos = 0;
    while (true) {
        const std::size_t gt = FindChar(name, u'>', lt);
        if (gt == npos)
            break; // an unclosed "<": the rest stays as it is
        scratch += TrimSpaces(name.substr(pos, lt - pos));
        pos = gt + 1;
        lt = FindChar(name, u'<', pos);
        if (lt == npos)
            break;
    }
    scratch += TrimSpaces(name.substr(std::min(pos, name.size())));
    return scratch;
}

std::u16string_view AltText(std::u16string_view name) {
    const std::size_t v = FindNoCase(name, u"alt=");
    if (v == npos)
        return name;
    std::size_t start = v + 4;
    if (start < name.size() && name[start] == u'"')
        ++start;
    const std::size_t quote = FindChar(name, u'"', start);
    if (quote == npos)
        return name;
    return TrimSpaces(name.substr(start, quote - start));
}

ScanResult ScanLinks(std::u16string_view text, const ScanOptions& options, ScanSink& sink) {
    ScanResult result;
    std::u16string nameScratch;
    std::u16string decodedName;
    std::u16string decodedUrl;
    // The first "&" at or after the current key: most links hold no reference, and this way a page
    // is searched for "&" once in all rather than once in every address and name. Not searched
    // before the first link, so a page without one is not read for it at all.
    std::size_t nextAmp = 0;
    bool ampSearched = false;
    std::u16string namePlaceholder;
    std::u16string urlPlaceholder;
    std::size_t searchFrom = 0;
    while (true) {
        if (sink.CancelRequested()) {
            result.end = ScanEnd::Cancelled;
            return result;
        }
        const std::size_t key =
            options.level == LinkLevel::AHref ? kAHref.Find(text, searchFrom) : FindHttp(text, searchFrom);
        if (key == npos) {
            result.end = ScanEnd::NoMoreKeys;
            return result;
        }
        const std::size_t endTag = kEndTag.Find(text, key);
        if (endTag == npos) {
            result.end = ScanEnd::UnexpectedEnd;
            return result;
        }
        // Every further key inside the segment is passed over.
        searchFrom = endTag;
        // All searches below stay inside the segment, so each part of the text is read a bounded
        // number of times however the keys and "</a>" are spread.
        const std::u16string_view segment = text.substr(key, endTag + kEndTagSize - key);
        const std::size_t close = endTag - key; // the closing "</a>"
        const std::size_t addressStart = FindHttp(segment);
        if (addressStart != npos) {
            // The address ends at the first double quote or ">", whichever comes first (there always
            // is a ">": the segment ends with "</a>"); when the segment holds no double quote after
            // the address start, the first apostrophe before a ">" ends it.
            const std::size_t first = FindEitherChar(segment, u'"', u'>', addressStart);
            std::size_t gt;
            std::size_t addressEnd;
            if (segment[first] == u'"') {
                addressEnd = first;
                gt = FindChar(segment, u'>', first + 1);
            } else {
                gt = first;
                addressEnd = FindChar(segment, u'"', gt + 1) != npos ? gt : FindAposGt(segment, addressStart);
                if (addressEnd == npos)
                    addressEnd = gt;
            }
            // When the first ">" is the one of the closing "</a>" (an address in the link text, or
            // plain text at the "http" level) there is no name, and the address stops before "</a>".
            const bool nameless = gt == segment.size() - 1;
            if (nameless && addressEnd == gt)
                addressEnd = close;
            if (!ampSearched || nextAmp < key) {
                nextAmp = FindChar(text, u'&', key);
                ampSearched = true;
            }
            const bool references = nextAmp < endTag;
            // Cut, then decoded, then trimmed (the trimming before decoding only saves work: no
            // reference holds a space).
            std::u16string_view url = TrimSpaces(segment.substr(addressStart, addressEnd - addressStart));
            if (references)
                url = DecodeAndTrim(url, decodedUrl, DecodedBreaks::Drop);
            std::u16string_view name;
            if (!nameless) {
                // The name stops at the first "</a>" from the address end, which is always the
                // closing one: the segment holds no earlier "</a>".
                name = TrimSpaces(segment.substr(gt + 1, close - (gt + 1)));
                name = options.nameRule == NameRule::StripTags ? StripTags(name, nameScratch) : AltText(name);
                if (references)
                    name = DecodeAndTrim(name, decodedName, DecodedBreaks::Space);
            }
            if (result.links >= LinkTable::kMaxRecords || sink.TableFull()) {
                result.end = ScanEnd::TableFull;
                return result;
            }
            const long long number = options.countBase + result.links;
            if (name.empty()) {
                SetPlaceholder(namePlaceholder, u"(名称無し ", number);
                name = namePlaceholder;
            }
            if (url.empty()) {
                SetPlaceholder(urlPlaceholder, u"(URL無し ", number);
                url = urlPlaceholder;
            }
            sink.Link(url, name, static_cast<std::int16_t>(result.links));
            ++result.links;
        }
        sink.KeyDone(result.links);
    }
}

} // namespace orvane
