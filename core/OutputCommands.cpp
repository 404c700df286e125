#include "core/OutputCommands.h"

#include "core/FileNameRules.h"
#include "core/FsPath.h"
#include "core/OutputWriters.h"

#include <filesystem>
#include <system_error>

namespace orvane {

namespace {

// A file in `dir`; a root keeps its single separator.
std::u16string InDirectory(std::u16string_view dir, std::u16string_view fileName) {
    std::u16string path(dir);
    if (path.empty() || (path.back() != u'/' && path.back() != u'\\'))
        path.push_back(u'/');
    path += fileName;
    return path;
}

bool Exists(std::u16string_view path) {
    std::error_code ec;
    return std::filesystem::exists(ToFsPath(path), ec);
}

// Makes the entry's name usable as a file name, asking where the rules say to. Returns false when
// nothing usable is left even after asking.
bool SettleName(std::u16string& name, OutputHost& host) {
    // Asked only for a name the check refuses; its conversion is the suggestion.
    const auto ask = [&] {
        std::u16string converted;
        CheckFileName(name, converted);
        // A typed name may have been pasted with controls in it; an empty one would end the table.
        std::u16string answer = RemoveUnsafeNameChars(host.AskFileName(name, converted));
        if (!answer.empty())
            name = std::move(answer);
    };
    // Controls, direction overrides and a hiding leading dot go first; a name with nothing left is
    // asked for like one with a forbidden character.
    if (RemoveUnsafeNameChars(name).empty())
        ask();
    name = RemoveUnsafeNameChars(name);
    if (name.empty())
        return false;
    // Each row is tested against the name as it stands now: a typed name may bring one back.
    for (std::size_t row = 0; row < kForbiddenChars.size(); ++row) {
        if (HoldsForbiddenChar(name, row))
            ask();
    }
    if (IsReservedDeviceName(name)) {
        host.ShowMessage(ReservedNameMessage(name));
        name = ToFullWidth(name);
    }
    return true;
}

} // namespace

MessageText ListFileFailedMessage(std::u16string_view path) {
    return {u"ﾘｽﾄﾌｧｲﾙを出力できませんでした。\r\n" + std::u16string(path), u"作成失敗",
            MessageIcon::Critical};
}

MessageText DuplicateFileMessage() {
    return {u"同名のﾌｧｲﾙが存在しました。\r\n出力ﾌｧｲﾙ名を指定して下さい。", u"ﾌｧｲﾙ名の重複",
            MessageIcon::Information};
}

std::optional<std::u16string> MakeListFile(const LinkTable& links, std::int16_t listType,
                                           std::u16string_view directory, const TextCodec& codec,
                                           OutputHost& host) {
    std::optional<std::u16string> path = host.AskOutputFileName(OutputKind::ListFile, directory, u"");
    if (!path || path->empty())
        return std::nullopt;
    if (!WriteListFile(ToFsPath(*path), links, listType, codec)) {
        // Nothing was replaced, so the output directory stays where it was.
        host.ShowMessage(ListFileFailedMessage(*path));
        return std::nullopt;
    }
    host.ShowMessage(ListFileDoneMessage());
    return path;
}

ShortcutOutcome MakeShortcutFiles(LinkTable& links, const ShortcutOptions& options, const TextCodec& codec,
                                  OutputHost& host) {
    ShortcutOutcome outcome;
    const std::u16string& dir = options.directory;
    const LinkTable& reader = links; // reads through here do not count as changes of the table

    for (int pos = 0; pos <= LinkTable::kMaxRecords && pos <= reader.Size(); ++pos) {
        if (reader.At(pos).name.empty())
            break;
        if (reader.At(pos).deleted)
            continue;

        std::u16string name = reader.At(pos).name;
        if (!SettleName(name, host)) {
            outcome.failed.push_back(reader.At(pos).name);
            continue;
        }
        if (name != reader.At(pos).name)
            links.At(pos).name = name; // the list and a later list file show the name written

        // A name longer than the file system takes is shortened to fit, ".url" kept (and the
        // suggestion for another name fits as well).
        const auto fitted = [&](std::u16string_view suffix) {
            return FitFileName(name, suffix, options.nameMax, FsNameLength) + std::u16string(suffix);
        };
        std::u16string file = InDirectory(dir, fitted(u".url"));
        if (options.confirmOverwrite && Exists(file)) {
            const auto chosen =
                host.AskOutputFileName(OutputKind::Shortcut, dir, InDirectory(dir, fitted(u"_.url")));
            if (!chosen || chosen->empty()) {
                ++outcome.skipped;
                continue;
            }
            file = *chosen;
        }
        if (WriteShortcutFile(ToFsPath(file), reader.At(pos).url, codec))
            ++outcome.written;
        else
            outcome.failed.push_back(file.substr(file.find_last_of(u"/\\") + 1));
    }

    host.ShowMessage(ShortcutCompletionMessage(dir, outcome.failed, outcome.written));
    return outcome;
}

} // namespace orvane
