#include "core/OutputWriters.h"

#include "core/AtomicFile.h"
#include "core/Profile.h"
#include "core/Text.h"

#include <algorithm>

namespace orvane {

std::string BuildListFileBytes(const LinkTable& links, std::int16_t listType, const TextCodec& codec) {
    // Values other than 0 and 1 come only from a hand-edited settings file; the options dialog shows
    // them as the second choice, so they write what that choice writes.
    const bool withName = listType != 0;
    std::u16string text;
    links.ForEachLive([&](int, const LinkRecord& r) {
        if (withName) {
            AppendWithoutLineBreaks(text, r.name);
            text.push_back(u',');
        }
        AppendWithoutLineBreaks(text, r.url);
        text += u"\r\n";
    });
    return codec.EncodeSystem(text);
}

bool WriteListFile(const std::filesystem::path& path, const LinkTable& links, std::int16_t listType,
                   const TextCodec& codec) {
    return WriteFileAtomically(path, BuildListFileBytes(links, listType, codec));
}

std::string BuildShortcutLine(std::u16string_view url, const TextCodec& codec) {
    return codec.EncodeSystem(u"URL=" + StripLineBreaks(url));
}

bool WriteShortcutFile(const std::filesystem::path& path, std::u16string_view url, const TextCodec& codec) {
    const std::string line = BuildShortcutLine(url, codec);
    // A name comes from a web page: a link planted under it must not lead the write to another file.
    return ProfileWriteSection(path, kShortcutSection, std::span<const std::string>(&line, 1),
                               LinkPolicy::Refuse);
}

MessageText ShortcutCompletionMessage(std::u16string_view directory, std::span<const std::u16string> failed,
                                      std::size_t written) {
    std::u16string text = u"ﾊﾟｽ : [";
    text += directory;
    text += u"] に、\r\n";
    if (failed.empty()) {
        text += u"ｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄを作成しました。";
        return {std::move(text), u"完了", MessageIcon::Information};
    }
    text += written == 0 ? u"ｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄは1件も作成されませんでした。" : u"ｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄを作成しました。";
    text += u"\r\n\r\n次のﾌｧｲﾙは作成できませんでした：";
    const std::size_t listed = std::min(failed.size(), kListedFailures);
    for (std::size_t i = 0; i < listed; ++i) {
        text += u"\r\n";
        text += failed[i];
    }
    if (failed.size() > listed) {
        text += u"\r\nほか";
        text += ToU16Number(static_cast<long long>(failed.size() - listed));
        text += u"件";
    }
    return {std::move(text), u"作成失敗", MessageIcon::Exclamation};
}

MessageText EmptyListForListFileMessage() {
    return {u"作成対象となるﾃﾞｰﾀが存在しません、ﾘｽﾄは作成できません。", u"作成失敗",
            MessageIcon::Exclamation};
}

MessageText EmptyListForShortcutsMessage() {
    return {u"作成対象となるﾃﾞｰﾀが存在しません、ｼｮｰﾄｶｯﾄは作成できません。", u"作成失敗",
            MessageIcon::Exclamation};
}

MessageText ListFileDoneMessage() {
    return {u"ﾘｽﾄﾌｧｲﾙを出力しました。", u"完了", MessageIcon::Information};
}

} // namespace orvane
