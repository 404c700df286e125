#include "core/FileNameRules.h"

#include "core/Text.h"

#include <algorithm>

namespace orvane {

namespace {

MessageText RefusalMessage(std::u16string_view firstLine, std::u16string_view title) {
    std::u16string text(firstLine);
    text += u"\r\n";
    for (const ForbiddenChar& f : kForbiddenChars) {
        text.push_back(f.ch);
        text.push_back(u' ');
    }
    text.push_back(u'"');
    return {std::move(text), std::u16string(title), MessageIcon::Exclamation};
}

} // namespace

std::u16string RemoveUnsafeNameChars(std::u16string_view name) {
    std::u16string out;
    out.reserve(name.size());
    for (const char16_t c : name) {
        const bool control = c <= 0x1F || c == 0x7F;
        const bool bidi = (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
        if (!control && !bidi)
            out.push_back(c);
    }
    if (!out.empty() && out.front() == u'.')
        out.front() = u'\uFF0E';
    return out;
}

std::u16string FitFileName(std::u16string_view name, std::u16string_view suffix, std::size_t maxBytes,
                           const std::function<std::size_t(std::u16string_view)>& encodedSize) {
    std::u16string whole(name);
    whole += suffix;
    if (encodedSize(whole) <= maxBytes)
        return std::u16string(name);
    // The longest prefix that fits, found by halving: the encoded size grows with the prefix.
    const auto boundary = [&](std::size_t n) {
        if (n > 0 && n < name.size() && name[n] >= 0xDC00 && name[n] <= 0xDFFF && name[n - 1] >= 0xD800 &&
            name[n - 1] <= 0xDBFF)
            --n; // never between the two halves of a pair
        return n;
    };
    const auto fits = [&](std::size_t n) {
        std::u16string candidate(name.substr(0, n));
        candidate += suffix;
        return encodedSize(candidate) <= maxBytes;
    };
    std::size_t lo = 0;
    std::size_t hi = name.size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo + 1) / 2;
        if (fits(boundary(mid)))
            lo = mid;
        else
            hi = mid - 1;
    }
    std::size_t n = boundary(lo);
    while (n > 0 && !fits(n))
        n = boundary(n - 1);
    return std::u16string(name.substr(0, n));
}

bool CheckFileName(std::u16string_view name, std::u16string& converted) {
    ConvertedName result = ConvertForbidden(RemoveUnsafeNameChars(name));
    converted = std::move(result.converted);
    return result.changed || converted.empty();
}

ConvertedName ConvertForbidden(std::u16string_view name) {
    ConvertedName result{std::u16string(name), false};
    for (char16_t& c : result.converted) {
        for (const ForbiddenChar& f : kForbiddenChars) {
            if (c == f.ch) {
                c = f.fullWidth;
                result.changed = true;
                break;
            }
        }
    }
    return result;
}

bool HoldsForbiddenChar(std::u16string_view name, std::size_t row) {
    return row < kForbiddenChars.size() && name.find(kForbiddenChars[row].ch) != std::u16string_view::npos;
}

bool IsReservedDeviceName(std::u16string_view name) {
    return std::any_of(kReservedDeviceNames.begin(), kReservedDeviceNames.end(),
                       [name](std::u16string_view reserved) { return EqualsNoCase(name, reserved); });
}

std::u16string ToFullWidth(std::u16string_view name) {
    std::u16string out(name);
    for (char16_t& c : out)
        if (c >= u'\u0021' && c <= u'\u007E')
            c = static_cast<char16_t>(c + (0xFF01 - 0x21));
    return out;
}

MessageText ReservedNameMessage(std::u16string_view name) {
    std::u16string text = u"出力ﾌｧｲﾙ名[";
    text += name;
    text += u"]は、予約ﾃﾞﾊﾞｲｽ名です。\r\nこのﾌｧｲﾙ名は全角文字（２ﾊﾞｲﾄ文字）に変換されます。";
    return {std::move(text), u"ﾌｧｲﾙ名変更確認", MessageIcon::Information};
}

bool IsRefusedKeystroke(char16_t c) {
    return c == u'"' || std::any_of(kForbiddenChars.begin(), kForbiddenChars.end(),
                                    [c](const ForbiddenChar& f) { return f.ch == c; });
}

bool HoldsRefusedChar(std::u16string_view name) {
    return std::any_of(name.begin(), name.end(), IsRefusedKeystroke);
}

MessageText FileNameRefusalMessage() {
    return RefusalMessage(u"ファイル名には次の文字は使えません。", u"ﾌｧｲﾙ名禁則文字情報");
}

MessageText DirectoryNameRefusalMessage() {
    return RefusalMessage(u"ディレクトリ名には次の文字は使えません。", u"ディレクトリ名禁則文字情報");
}

MessageText BlankFileNameMessage() {
    return {u"ﾌｧｲﾙ名を正しく入力して下さい。", u"ﾌｧｲﾙ名入力確認", MessageIcon::Exclamation};
}

bool AcceptRenamedName(bool typed, std::u16string_view typedText, std::u16string_view convertedName,
                       std::u16string& name, MessageText& refusal) {
    if (!typed) {
        if (convertedName.empty()) {
            // Nothing of the page's name was usable: a name has to be typed.
            refusal = BlankFileNameMessage();
            return false;
        }
        name = convertedName;
        return true;
    }
    if (TrimView(RemoveUnsafeNameChars(typedText)).empty()) {
        refusal = BlankFileNameMessage();
        return false;
    }
    if (HoldsRefusedChar(typedText)) {
        refusal = FileNameRefusalMessage();
        return false;
    }
    name = typedText; // spaces at either end are part of the name the user chose
    return true;
}

} // namespace orvane
