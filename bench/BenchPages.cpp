#include "BenchPages.h"

#include <array>

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

std::string DenseLinkPage(PageCharset charset) {
    std::string head = "<html><head>";
    if (charset == PageCharset::ShiftJis)
        head += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">";
    else if (charset == PageCharset::Utf8)
        head += "<meta charset=\"UTF-8\">";
    head += "<title>Links</title></head>\r\n<body><ul>\r\n";
    const std::string foot = "</ul></body></html>\r\n";

    std::string page = head;
    for (std::size_t i = 0;; ++i) {
        const std::string entry = Entry(charset, i);
        if (page.size() + entry.size() + foot.size() > kPageBytes)
            break;
        page += entry;
    }
    // Spaces at the end of the last line bring the file to the exact size.
    page.insert(page.size() - 2, kPageBytes - foot.size() - page.size(), ' ');
    page += foot;
    return page;
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

} // namespace orvane::bench
