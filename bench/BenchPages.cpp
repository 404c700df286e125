#include "BenchPages.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace orvane::bench {

namespace {

// Japanese words as Shift_JIS and as UTF-8 bytes, so the pages need no codec to be made.
struct Word {
    const char* sjis;
    const char* utf8;
};
constexpr std::array<Word, 6> kWords{{
    {"\x8e\x91\x97\xbf", "\xe8\xb3\x87\xe6\x96\x99"},                     // 資料
    {"\x88\xea\x97\x97", "\xe4\xb8\x80\xe8\xa6\xa7"},                     // 一覧
    {"\x93\xfa\x96\x7b\x8c\xea", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"}, // 日本語
    {"\x83\x5f\x83\x45\x83\x93", "\xe3\x83\x80\xe3\x82\xa6\xe3\x83\xb3"}, // ダウン
    {"\x95\x5c\x8e\xa6\x83\x5c", "\xe8\xa1\xa8\xe7\xa4\xba\xe3\x82\xbd"}, // 表示ソ
    {"\x8d\xc5\x90\x56", "\xe6\x9c\x80\xe6\x96\xb0"},                     // 最新
}};

std::string Name(PageCharset charset, std::size_t i) {
    const std::string number = std::to_string(i);
    switch (charset) {
    case PageCharset::ShiftJis:
        return std::string(kWords[i % kWords.size()].sjis) + " " + number;
    case PageCharset::Utf8:
        return std::string(kWords[i % kWords.size()].utf8) + " " + number;
    case PageCharset::Ascii:
        break;
    }
    return "Page " + number + " guide";
}

// Three kinds of entry: plain text, a bold part and an image with an alt text.
std::string Entry(PageCharset charset, std::size_t i) {
    const std::string number = std::to_string(i);
    const std::string name = Name(charset, i);
    switch (i % 3) {
    case 0:
        return "<li><a href=\"http://www.example.com/docs/s" + std::to_string(i % 50) + "/page" + number +
               ".html\">" + name + "</a></li>\r\n";
    case 1:
        return "<li><a href=\"http://www.example.com/news/" + number + ".htm\"><b>" + name +
               "</b> new</a></li>\r\n";
    default:
        return "<li><a href=\"https://img.example.com/p" + number + ".html\"><img src=\"i" + number +
               ".gif\" alt=\"" + name + "\"></a></li>\r\n";
    }
}

} // namespace

std::string DenseLinkPage(PageCharset charset, std::size_t bytes, std::size_t first) {
    std::string head = "<html><head>";
    if (charset == PageCharset::ShiftJis)
        head += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">";
    else if (charset == PageCharset::Utf8)
        head += "<meta charset=\"UTF-8\">";
    head += "<title>Links</title></head>\r\n<body><ul>\r\n";
    const std::string foot = "</ul></body></html>\r\n";

    std::string page = head;
    for (std::size_t i = first;; ++i) {
        const std::string entry = Entry(charset, i);
        if (page.size() + entry.size() + foot.size() > bytes)
            break;
        page += entry;
    }
    // Spaces at the end of the last line bring the file to the exact size.
    page.insert(page.size() - 2, bytes - foot.size() - page.size(), ' ');
    page += foot;
    return page;
}

std::string TodaysLinkPage(PageCharset charset, std::size_t bytes) {
    const std::string dense = DenseLinkPage(charset, bytes);
    std::string page;
    page.reserve(dense.size());
    std::size_t names = 0;
    for (std::size_t i = 0; i < dense.size(); ++i) {
        if (dense.compare(i, 5, "<meta") == 0) {
            i = dense.find('>', i); // no declaration
            continue;
        }
        if (dense[i] == '\r')
            continue;
        if (dense.compare(i, 2, "\">") == 0 && dense.compare(i > 4 ? i - 4 : 0, 4, ".gif") != 0) {
            // The end of an address: a query with an ampersand, and a reference at the name's start.
            page += "?a=1&amp;b=2\">";
            if (++names % 3 == 0)
                page += "&lt;&#x65E5;&gt;";
            ++i;
            continue;
        }
        page += dense[i];
    }
    if (page.size() > bytes) {
        // Cut after the last whole line that fits, and close the page.
        const std::string foot = "</ul></body></html>\n";
        page.resize(page.rfind("</li>\n", bytes - foot.size() - 6) + 6);
        page += foot;
    }
    return page;
}

std::string AddressTextPage() {
    const std::string head = "<html><head><title>Notes</title></head>\r\n<body><pre>\r\n";
    const std::string foot = "</pre></body></html>\r\n";
    const auto anchor = [](std::size_t i) {
        const std::string n = std::to_string(i);
        return "Index: <a href=\"http://www.example.com/index/" + n + ".html\">Index " + n + "</a>\r\n";
    };
    std::string page = head;
    std::string pending; // the lines after the last anchor, kept only if an anchor follows them
    for (std::size_t i = 0;; ++i) {
        const std::string n = std::to_string(i);
        std::string line;
        switch (i % 8) {
        case 7:
            line = anchor(i);
            break;
        case 1:
        case 4:
            line = "Mirror " + n + " of the files: http://mirror" + std::to_string(i % 5) +
                   ".example.net/pub/files/" + n + ".zip and http://ftp.example.org/pub/" + n +
                   "/ and the list at https://www.example.org/lists/" + n + ".txt\r\n";
            break;
        default:
            line = "Item " + n + ": the notes are at http://www.example.org/notes/" + n +
                   ".html, the old copy at http://archive.example.com/" + n + "/notes.html.\r\n";
            break;
        }
        if (page.size() + pending.size() + line.size() + foot.size() > kPageBytes)
            break;
        pending += line;
        if (i % 8 == 7) {
            page += pending;
            pending.clear();
        }
    }
    // Text without an address fills the rest, so the last "http:" is inside the last segment.
    std::size_t room = kPageBytes - foot.size() - page.size();
    while (room > 0) {
        const std::size_t width = std::min<std::size_t>(room, 80);
        if (width <= 2) {
            page.append(width, ' ');
            break;
        }
        page.append(width - 2, '-');
        page += "\r\n";
        room -= width;
    }
    page += foot;
    return page;
}

std::size_t CountOpenBrackets(std::string_view bytes) {
    std::size_t n = 0;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while ((p = static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(end - p)))) !=
           nullptr) {
        ++n;
        ++p;
    }
    return n;
}

std::size_t CountAnchors(std::string_view page) {
    std::size_t n = 0;
    for (std::size_t at = page.find("<a href"); at != std::string_view::npos;
         at = page.find("<a href", at + 1))
        ++n;
    return n;
}

std::string ManyTagsInOneName(std::size_t tags) {
    std::string page = "<a href=\"http://www.example.com/\">";
    for (std::size_t i = 0; i < tags / 2; ++i)
        page += "<b>x</b>";
    page += "</a>";
    return page;
}

std::string KeysWithoutEnd(std::string_view key, std::size_t count) {
    std::string page;
    page.reserve(key.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        page += key;
    return page;
}

std::string OpenBrackets(std::size_t bytes) {
    return std::string(bytes, '<');
}

std::string OpenBracketsInName() {
    return "<a href=\"http://www.example.com/\">" + OpenBrackets(kPageBytes - 40) + "</a>";
}

std::u16string ListEntryName(std::size_t i) {
    static constexpr std::array<std::u16string_view, 8> kNames{
        u"資料", u"一覧", u"日本語の案内", u"ダウンロード", u"表示ソフト", u"最新情報", u"Index", u"news"};
    // A multiplier that is prime to the count spreads the numbers over the alphabet of the list.
    const std::size_t n = (i * 7919) % 100003;
    std::u16string name(kNames[n % kNames.size()]);
    name += u' ';
    for (const char c : std::to_string(n))
        name += static_cast<char16_t>(c);
    return name;
}

std::u16string ListEntryUrl(std::size_t i) {
    std::u16string url = u"http://www.example.com/docs/s";
    for (const char c : std::to_string(i % 97) + "/page" + std::to_string(i) + ".html")
        url += static_cast<char16_t>(c);
    return url;
}

} // namespace orvane::bench
