#include "core/Conversion.h"

#include "core/DocumentDecoding.h"
#include "core/FsPath.h"
#include "core/Globals.h"
#include "core/LinkScan.h"
#include "core/NestingDepth.h"
#include "core/TagScan.h"
#include "core/UriReference.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <system_error>
#include <utility>

namespace orvane {

namespace {

constexpr std::u16string_view kCrLf = u"\r\n";
// The target label's text after the list was cleared: there is nothing to convert.
constexpr std::u16string_view kResetTarget = u"ﾀｰｹﾞｯﾄﾌｧｲﾙ ：";

struct InputFile {
    std::string bytes;
    std::uintmax_t size = 0; // the length at opening, which the messages and the status line show
};

enum class OpenResult { Ok, CannotOpen, TooLarge, Empty };

OpenResult OpenInput(const std::u16string& path, std::uintmax_t maxBytes, InputFile& file) {
    const std::filesystem::path fsPath = ToFsPath(path);
    std::error_code ec;
    // An ifstream opens a directory here without complaint, and a pipe or device would block or
    // never end: only a regular file is input.
    if (!std::filesystem::is_regular_file(fsPath, ec))
        return OpenResult::CannotOpen;
    std::ifstream in(fsPath, std::ios::binary);
    if (!in)
        return OpenResult::CannotOpen;
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (!in || length < 0)
        return OpenResult::CannotOpen;
    file.size = static_cast<std::uintmax_t>(length);
    if (file.size > maxBytes)
        return OpenResult::TooLarge;
    if (file.size == 0)
        return OpenResult::Empty;
    in.seekg(0, std::ios::beg);
    file.bytes.resize(static_cast<std::size_t>(file.size));
    in.read(file.bytes.data(), static_cast<std::streamsize>(file.size));
    if (in.bad())
        return OpenResult::CannotOpen;
    // A file that shrank since it was measured gives what is left.
    file.bytes.resize(static_cast<std::size_t>(in.gcount()));
    return OpenResult::Ok;
}

// The message lines, each but the last ended by CR LF.
std::u16string MessageLines(std::initializer_list<std::u16string_view> lines) {
    std::u16string text;
    bool first = true;
    for (const std::u16string_view line : lines) {
        if (!first)
            text += kCrLf;
        text += line;
        first = false;
    }
    return text;
}

std::u16string SizeMessage(std::uintmax_t size, std::u16string_view reason) {
    const std::u16string first =
        u"入力ファイルサイズ：" + ToU16Number(static_cast<long long>(size)) + u" byte";
    return MessageLines({first, reason, u"処理を中止します。"});
}

// Feeds the scan's links and keys to the windows.
class HostSink final : public ScanSink {
public:
    explicit HostSink(ConversionHost& host) : host_(host) {}

    bool CancelRequested() override { return gCancelRequested; }
    bool TableFull() override { return gLinks.Full(); }
    void Link(std::u16string_view url, std::u16string_view name, std::int16_t seq) override {
        host_.AddLinkRecord(std::u16string(url), std::u16string(name), seq);
    }
    void KeyDone(int links) override {
        // The cancel button can only act here.
        host_.PumpEvents();
        std::u16string status = u"処理状況：データ ";
        status += ToU16Number(links);
        status += u" を編集中...";
        host_.SetStatusText(status);
    }

private:
    ConversionHost& host_;
};

// Puts the windows back as they were before the conversion, once: by an explicit Now() where a
// closing message must come after it, and otherwise whenever the conversion is left, so that no
// path out of it (an exception included) leaves the main window disabled or the pointer busy.
class WindowsRestore {
public:
    explicit WindowsRestore(ConversionHost& host) : host_(host) {}
    WindowsRestore(const WindowsRestore&) = delete;
    WindowsRestore& operator=(const WindowsRestore&) = delete;
    ~WindowsRestore() { Now(); }

    /// The main window is disabled and the progress window shown from here on.
    void WindowsTaken() { taken_ = true; }

    void Now() {
        if (done_)
            return;
        done_ = true;
        if (taken_) {
            host_.SetMainWindowEnabled(true);
            host_.ShowProgress(false);
            host_.SetPhaseText(u"");
            host_.SetStatusVisible(true);
            host_.SetStatusText(u"");
        }
        host_.SetBusyPointer(false);
    }

private:
    ConversionHost& host_;
    bool taken_ = false;
    bool done_ = false;
};

// Puts the windows back and drops what this conversion appended; earlier entries stay.
void Cancel(ConversionHost& host, WindowsRestore& restore, int mark) {
    gCancelRequested = false;
    restore.Now();
    host.ShowMessage(u"ｷｬﾝｾﾙされました。", u"処理の中断", MessageIcon::Information);
    gLinks.TruncateTo(mark);
}

} // namespace

void RemoveLineBreaks(std::u16string& text) {
    // Usually there is nothing to remove (CR LF files): find that out at vector speed, in one pass.
    const std::size_t first = FindEitherChar(text, u'\r', u'\n');
    if (first == npos)
        return;
    const auto from = text.begin() + static_cast<std::ptrdiff_t>(first);
    text.erase(std::remove_if(from, text.end(), [](char16_t c) { return c == u'\r' || c == u'\n'; }),
               text.end());
}

ConversionOutcome RunConversion(const std::u16string& path, ConversionHost& host, const TextCodec& codec,
                                std::u16string_view documentAddress) {
    const std::u16string target = Trim(host.TargetText());
    if (target.empty() || target == kResetTarget)
        return ConversionOutcome::Skipped;

    const LinkLevel level = LinkLevelFromOption(gLinkLevel);
    const bool tags = level == LinkLevel::Tags;
    host.SetBusyPointer(true);
    WindowsRestore restore(host);
    InputFile file;
    switch (OpenInput(path, tags ? kMaxTagInputBytes : kMaxInputBytes, file)) {
    case OpenResult::Ok:
        break;
    case OpenResult::CannotOpen:
        restore.Now();
        host.ShowMessage(u"入力ﾌｧｲﾙ「" + path + u"」を開けません。", u"ﾌｧｲﾙｵｰﾌﾟﾝ失敗", MessageIcon::Critical);
        return ConversionOutcome::Unreadable;
    case OpenResult::TooLarge:
        restore.Now();
        host.ShowMessage(
            SizeMessage(file.size, tags ? u"ファイルサイズが8Mバイトを越えるファイルは処理できません。"
                                        : u"ファイルサイズが128Kバイトを越えるファイルは処理できません。"),
            u"ﾌｧｲﾙｻｲｽﾞｵｰﾊﾞｰ", MessageIcon::Critical);
        return ConversionOutcome::Unreadable;
    case OpenResult::Empty:
        restore.Now();
        host.ShowMessage(SizeMessage(file.size, u"ファイルサイズが0バイトのファイルは処理できません。"),
                         u"ﾌｧｲﾙｻｲｽﾞｴﾗｰ", MessageIcon::Critical);
        return ConversionOutcome::Unreadable;
    }

    // Records at or after this position are the ones this conversion appends.
    const int mark = gLinks.Size();

    host.SetMainWindowEnabled(false);
    host.ShowProgress(true);
    restore.WindowsTaken();
    host.SetPhaseText(u"入力データをコンバート中...");
    host.RepaintProgress();
    if (!gShowStatus)
        host.SetStatusVisible(false);

    std::u16string decoded = DecodeDocument(file.bytes, codec);
    file.bytes = {};
    // A NUL would pass into names and addresses, and a name becomes a file name that the system cuts
    // at the NUL. Browsers show U+FFFD in its place.
    if (FindChar(decoded, u'\0') != npos)
        std::replace(decoded.begin(), decoded.end(), u'\0', u'\uFFFD');
    std::u16string bytesPart = u"/";
    bytesPart += ToU16Number(static_cast<long long>(file.size));
    bytesPart += u" byte";
    std::u16string status;
    const auto showRead = [&](std::size_t chars) {
        status = u"処理状況：";
        status += ToU16Number(static_cast<long long>(chars));
        status += bytesPart;
        host.SetStatusText(status);
    };
    HostSink sink(host);
    ScanResult scan;
    if (tags) {
        // The parser takes the document whole, line ends and all.
        showRead(decoded.size());
        if (gCancelRequested) {
            Cancel(host, restore, mark);
            return ConversionOutcome::Cancelled;
        }
        host.SetPhaseText(u"コンバートされたデータを編集中...");
        host.RepaintProgress();
        TagScanOptions options;
        options.nameRule = NameRuleFromOption(gNameMode);
        options.countBase = gLinkCount();
        if (documentAddress.empty()) {
            std::error_code ec;
            const std::filesystem::path absolute = std::filesystem::absolute(ToFsPath(path), ec);
            options.documentAddress =
                FileUrlFromPath(ToUtf8(ec ? std::u16string(path) : FromFsPath(absolute)));
        } else {
            options.documentAddress = ToUtf8(documentAddress);
        }
        std::string utf8 = ToUtf8(decoded);
        decoded = {};
        scan = ScanTags(utf8, options, sink);
    } else {
        std::u16string work = JoinLines(std::move(decoded), showRead);
        if (gCancelRequested) {
            Cancel(host, restore, mark);
            return ConversionOutcome::Cancelled;
        }
        RemoveLineBreaks(work);

        host.SetPhaseText(u"コンバートされたデータを編集中...");
        host.RepaintProgress();
        ScanOptions options;
        options.level = level;
        options.nameRule = NameRuleFromOption(gNameMode);
        options.countBase = gLinkCount();
        scan = ScanLinks(work, options, sink);
    }
    if (scan.end != ScanEnd::Cancelled)
        host.SetBusyPointer(false);
    if (scan.end == ScanEnd::UnexpectedEnd) {
        const std::u16string first = u"入力ﾌｧｲﾙ「" + target + u"」に、";
        host.ShowMessage(MessageLines({first, u"予期しないEOFが検出されました。",
                                       u"全てのリンクを抽出できなかった可能性があります。"}),
                         u"入力ﾌｧｲﾙ異常", MessageIcon::Critical);
    }
    if (scan.end == ScanEnd::TooDeep) {
        const std::u16string first = u"入力ﾌｧｲﾙ「" + target + u"」は、";
        host.ShowMessage(
            MessageLines({first,
                          u"ﾀｸﾞの入れ子が" + ToU16Number(static_cast<long long>(kMaxTagNesting)) +
                              u"段を越えるため処理できません。",
                          u"処理を中止します。"}),
            u"入力ﾌｧｲﾙ異常", MessageIcon::Critical);
    }
    if (gCancelRequested) {
        Cancel(host, restore, mark);
        return ConversionOutcome::Cancelled;
    }

    host.SetPhaseText(u"編集されたデータをリストに追加中...");
    host.RepaintProgress();
    // A full table stopped the scan although the file has links: "no link data" would be wrong.
    if (scan.links == 0 && scan.end != ScanEnd::TableFull && scan.end != ScanEnd::TooDeep) {
        const std::u16string first = u"「" + target + u"」に、";
        host.ShowMessage(MessageLines({first, u"ﾘﾝｸﾃﾞｰﾀが存在しません。", u"ﾘｽﾄを作成できません。"}),
                         u"データなし", MessageIcon::Information);
    }
    host.ShowNewLinks(scan.links);
    restore.Now();
    if (scan.end == ScanEnd::TableFull) {
        host.ShowMessage(
            MessageLines({u"ﾘｽﾄに登録できるﾃﾞｰﾀは最大32767件です。", u"以降のﾘﾝｸは追加されませんでした。"}),
            u"ﾃﾞｰﾀ件数ｵｰﾊﾞｰ", MessageIcon::Exclamation);
    }
    return scan.end == ScanEnd::TooDeep ? ConversionOutcome::Refused : ConversionOutcome::Converted;
}

} // namespace orvane
