// orvane-cli: the links of HTML documents (files, web pages, standard input) into one list, converted
// exactly as the main window converts them, written as a list or as Internet shortcuts. No windows.

#include "cli/CliOptions.h"
#include "cli/ListFormats.h"
#include "cli/Messages.h"
#include "cli/Modules.h"
#include "cli/Shortcuts.h"
#include "cli/TempFile.h"
#include "core/AtomicFile.h"
#include "core/Conversion.h"
#include "core/Globals.h"
#include "core/OutputCommands.h"
#include "core/OutputWriters.h"
#include "core/Text.h"
#include "core/UriReference.h"
#include "platform/SystemCodec.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace {

using namespace orvane;
using namespace orvane::cli;

enum ExitStatus : int {
    kLinksWritten = 0,
    kNoLinks = 1,
    kUsageError = 2,
    kInputFailed = 3,
    kOutputFailed = 4,
};

bool IsWebAddress(std::string_view input) {
    const auto startsNoCase = [&](std::string_view prefix) {
        if (input.size() < prefix.size())
            return false;
        for (std::size_t i = 0; i < prefix.size(); ++i)
            if (static_cast<char>(FoldAscii(static_cast<unsigned char>(input[i]))) != prefix[i])
                return false;
        return true;
    };
    return startsNoCase("http://") || startsNoCase("https://");
}

class Run {
public:
    Run(const CliOptions& options, const TextCodec& codec, Messages& messages)
        : options_(options), codec_(codec), messages_(messages), host_(messages) {}

    /// Converts every input in order; false when any could not be read or fetched.
    bool ConvertInputs() {
        bool allRead = true;
        for (const std::string& input : options_.inputs) {
            messages_.SetInput(FromUtf8(input));
            bool read = false;
            if (input == "-")
                read = ConvertStandardInput();
            else if (IsWebAddress(input))
                read = ConvertAddress(input);
            else
                read = Convert(FromUtf8(input), FromUtf8(input), {});
            allRead = allRead && read;
        }
        messages_.SetInput({});
        return allRead;
    }

private:
    bool Convert(const std::u16string& path, std::u16string target, std::u16string_view documentAddress) {
        host_.target = std::move(target);
        return RunConversion(path, host_, codec_, documentAddress) == ConversionOutcome::Converted;
    }

    // Read into a file first, as every conversion reads a file. What lies beyond the size bound is
    // counted, not kept: the file is then extended without data to the whole length, so the
    // conversion refuses it with the true size and no disk space is spent on it.
    bool ConvertStandardInput() {
        TempFile file;
        if (!file.IsOpen()) {
            messages_.Show(u"標準入力を一時ﾌｧｲﾙに書き込めませんでした。", u"警告");
            return false;
        }
        const std::uintmax_t keep = (gLinkLevel == 2 ? kMaxTagInputBytes : kMaxInputBytes) + 1;
        std::uintmax_t total = 0;
        std::array<char, 65536> buffer{};
        while (true) {
            const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), stdin);
            if (n == 0)
                break;
            if (total < keep)
                file.Write(std::string_view(
                    buffer.data(), static_cast<std::size_t>(std::min<std::uintmax_t>(n, keep - total))));
            total += n;
        }
        if (std::ferror(stdin)) {
            std::clearerr(stdin);
            messages_.Show(u"標準入力を読めませんでした。", u"ﾌｧｲﾙｵｰﾌﾟﾝ失敗");
            return false;
        }
        if (total > keep)
            file.Extend(total);
        if (!file.Finish()) {
            messages_.Show(u"標準入力を一時ﾌｧｲﾙに書き込めませんでした。\r\n" + FromUtf8(file.Path()),
                           u"警告");
            return false;
        }
        // Relative links resolve as for a file read in the working directory.
        std::error_code ec;
        const std::filesystem::path cwd = std::filesystem::current_path(ec);
        const std::string base = ec ? std::string() : FileUrlFromPath((cwd / "").string());
        return Convert(FromUtf8(file.Path()), u"-", FromUtf8(base));
    }

    // As the window's fetch: the page's bytes as sent, in one quoted value, in a file of its own,
    // converted with the address it finally came from.
    bool ConvertAddress(const std::string& input) {
        FetchRequest request;
        request.text = input;
        request.useProxy = gProxyUse;
        request.proxy = ToUtf8(gProxyAddress);
        std::string error;
        const std::optional<FetchReply> reply = Fetch(request, error);
        if (!reply) {
            messages_.Show(u"URLから取得する機能を読み込めませんでした。\r\n" + FromUtf8(error), u"警告");
            return false;
        }
        switch (reply->outcome) {
        case FetchReply::Outcome::BadAddress:
            messages_.Show(u"指定したURLが異常です。", u"警告");
            return false;
        case FetchReply::Outcome::Failed:
            messages_.Show(u"指定されたURLから情報を取得できませんでした。\r\n処理を中断します。", u"Orvane");
            return false;
        case FetchReply::Outcome::Ok:
            break;
        }
        TempFile page;
        if (!page.IsOpen() || !page.Write("\"") || !page.Write(reply->body) || !page.Write("\"\r\n") ||
            !page.Finish()) {
            messages_.Show(u"取得したﾍﾟｰｼﾞを一時ﾌｧｲﾙに書き込めませんでした。\r\n" + FromUtf8(page.Path()),
                           u"警告");
            return false;
        }
        return Convert(FromUtf8(page.Path()), FromUtf8(reply->address), FromUtf8(reply->finalUrl));
    }

    const CliOptions& options_;
    const TextCodec& codec_;
    Messages& messages_;
    CliConversionHost host_;
};

// The list to a file (replaced atomically) or to standard output; false when it could not be written.
bool WriteList(const CliOptions& options, const TextCodec& codec, Messages& messages) {
    const std::string bytes = BuildList(gLinks, options.format, codec);
    if (options.output && *options.output != "-") {
        if (WriteFileAtomically(std::filesystem::path(*options.output), bytes))
            return true;
        messages.Show(ListFileFailedMessage(FromUtf8(*options.output)));
        return false;
    }
    const bool ok =
        std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
    if (!ok)
        messages.Show(u"ﾘｽﾄを標準出力に書き込めませんでした。", u"作成失敗");
    return ok;
}

int Main(int argc, char** argv) {
    // The codec of the window, with ICU's detector loaded only for a page that needs it.
    const platform::SystemCodec codec(&DetectCharsetLazily);
    Messages messages(codec, stderr);
    const ParsedCommandLine parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    const CliOptions& options = parsed.options;
    std::u16string usageError = parsed.error;
    if (usageError.empty() && options.proxy) {
        std::string error;
        // A module that cannot be loaded is reported by the fetches themselves.
        if (ProxyUsable(*options.proxy, error) == std::optional<bool>(false))
            usageError = u"ﾌﾟﾛｷｼｻｰﾊﾞｰのｱﾄﾞﾚｽ「" + FromUtf8(*options.proxy) + u"」は使えません（HOST:PORT）。";
    }
    if (!usageError.empty()) {
        messages.Show(usageError + u"\r\n使い方は orvane-cli --help で表示されます。");
        return kUsageError;
    }
    if (options.help) {
        const std::string text = codec.EncodeSystem(UsageText());
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? kLinksWritten : kOutputFailed;
    }

    gLinkLevel = options.linkLevel;
    gNameMode = options.nameMode;
    gProxyUse = options.proxy.has_value();
    gProxyAddress = options.proxy ? FromUtf8(*options.proxy) : std::u16string();
    gConfirmOverwrite = !options.overwrite;

    Run run(options, codec, messages);
    const bool allRead = run.ConvertInputs();

    // With --shortcuts alone the list goes nowhere; --output names a file or "-".
    const bool listWanted = !options.shortcuts || options.output;
    if (gLinkCount() == 0) {
        if (listWanted)
            messages.Show(EmptyListForListFileMessage());
        if (options.shortcuts)
            messages.Show(EmptyListForShortcutsMessage());
        return allRead ? kNoLinks : kInputFailed;
    }
    // The list first: it holds the names as they were taken, before any became a file name.
    bool written = !listWanted || WriteList(options, codec, messages);
    if (options.shortcuts)
        written = MakeShortcuts(*options.shortcuts, options.overwrite, codec, messages) && written;
    if (!written)
        return kOutputFailed;
    return allRead ? kLinksWritten : kInputFailed;
}

} // namespace

int main(int argc, char** argv) {
    const int status = Main(argc, argv);
    EndFetching();
    return status;
}
