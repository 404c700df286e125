#include "cli/Shortcuts.h"

#include "core/FsPath.h"
#include "core/Globals.h"
#include "core/OutputCommands.h"
#include "core/Text.h"

#include <filesystem>
#include <system_error>

namespace orvane::cli {

namespace {

// The shortcut command's questions, answered without asking: a name with a forbidden character
// takes its converted form, and an existing file is kept (the command asks only when it is to be
// kept, see MakeShortcuts).
class CliOutputHost final : public OutputHost {
public:
    explicit CliOutputHost(Messages& messages) : messages_(messages) {}

    void ShowMessage(const MessageText& message) override { messages_.Show(message); }

    std::u16string AskFileName(std::u16string_view, std::u16string_view converted) override {
        // Empty when nothing usable was left: the entry then fails and the completion lists it.
        return std::u16string(converted);
    }

    std::optional<std::u16string> AskOutputFileName(OutputKind kind, std::u16string_view,
                                                    std::u16string_view suggestedPath) override {
        if (kind == OutputKind::Shortcut) {
            // The suggestion is the existing file's name with "_" before ".url".
            std::u16string existing(suggestedPath);
            constexpr std::u16string_view kSuggested = u"_.url";
            if (existing.ends_with(kSuggested))
                existing.replace(existing.size() - kSuggested.size(), kSuggested.size(), u".url");
            messages_.Show(u"同名のﾌｧｲﾙが存在するため、上書きせずに残しました。\r\n" + existing,
                           u"ﾌｧｲﾙ名の重複");
        }
        return std::nullopt;
    }

private:
    Messages& messages_;
};

} // namespace

bool MakeShortcuts(const std::string& directory, bool overwrite, const TextCodec& codec, Messages& messages) {
    std::string dir = directory;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    std::error_code ec;
    if (!std::filesystem::is_directory(std::filesystem::path(dir), ec)) {
        messages.Show(u"出力先のﾌｫﾙﾀﾞ「" + FromUtf8(directory) + u"」がありません。", u"作成失敗");
        return false;
    }
    ShortcutOptions options;
    options.directory = FromUtf8(dir);
    // Without --overwrite an existing file brings the path question, which keeps it.
    options.confirmOverwrite = !overwrite;
    options.nameMax = FsNameMax(options.directory);
    CliOutputHost host(messages);
    return MakeShortcutFiles(gLinks, options, codec, host).failed.empty();
}

} // namespace orvane::cli
