// frmMain: the input commands (the open dialog, drops, fetching a page) and the conversion.

#include "forms/frmMain.h"

#include "core/Conversion.h"
#include "core/Globals.h"
#include "core/Text.h"
#include "core/TransferStates.h"
#include "forms/frmInfo.h"
#include "forms/frmOpenURL.h"
#include "modules/modCmOpen.h"
#include "platform/ElidedLabel.h"
#include "platform/HttpFetch.h"
#include "platform/MessageBox.h"
#include "platform/Qt.h"
#include "platform/SystemCodec.h"

#include <QDragEnterEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryFile>
#include <QUrl>

#include <filesystem>
#include <system_error>

namespace orvane {

using platform::Q;
using platform::U;

namespace {

constexpr int kDropLimit = 100;

QStringList LocalFiles(const QMimeData* mime) {
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    const QList<QUrl> urls = mime->urls();
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    return paths;
}

QString FirstWebAddress(const QMimeData* mime) {
    if (!mime)
        return {};
    QList<QUrl> urls = mime->urls();
    if (urls.isEmpty() && mime->hasText())
        urls.append(QUrl(mime->text().trimmed()));
    for (const QUrl& url : urls) {
        const QString scheme = url.scheme().toLower();
        if (scheme == u"http" || scheme == u"https")
            return url.toString();
    }
    return {};
}
} // namespace

// Marks a conversion or a fetch as running. When the outermost work ends with a close request
// pending, the window closes from the event loop, once the handler that started the work is done.
class frmMain::WorkScope {
public:
    WorkScope(frmMain& window, Work kind) : window_(window), outer_(window.work_) { window.work_ = kind; }
    ~WorkScope() {
        window_.work_ = outer_;
        if (outer_ == Work::None && window_.closePending_)
            QMetaObject::invokeMethod(
                &window_, [w = &window_] { w->close(); }, Qt::QueuedConnection);
    }
    WorkScope(const WorkScope&) = delete;
    WorkScope& operator=(const WorkScope&) = delete;

private:
    frmMain& window_;
    Work outer_;
};

void frmMain::ConvertHtmlFile(const QString& path, const QString& documentAddress) {
    // The window is closing: no new work starts (the rest of a drop, the page of a fetch).
    if (closePending_)
        return;
    const WorkScope work(*this, Work::Conversion);
    RunConversion(U(path), *this, platform::SystemCodec::Instance(), U(documentAddress));
}

void frmMain::mOpen_Click() {
    const QString path = modCmOpen::OpenFileDialog(this, modCmOpen::HtmlFilter(), Q(gInputDir));
    if (!path.isEmpty()) {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        gInputDir = U(path.left(slash + 1));
    }
    lblTgtFile_->setText(path);
    ConvertHtmlFile(path);
}

void frmMain::InputDroppedFiles(const QStringList& paths) {
    if (paths.size() > kDropLimit) {
        platform::MessageBox::Show(this, QStringLiteral("一度に処理できるﾌｧｲﾙ数は、最大100件です。"),
                                   QStringLiteral("ﾌｧｲﾙ入力失敗"), MessageIcon::Critical);
        return;
    }
    // One disabled stretch for the whole drop, and one insert into the view: enabling the window
    // after each file and disabling it for the next repainted all of it, list included, and each
    // insert laid out every row of the view again. Nothing can reach the window between two files
    // (their messages are modal) and the list's picture is held while it is disabled, so only the
    // time differs.
    struct DropScope {
        frmMain& window;
        explicit DropScope(frmMain& w) : window(w) { window.dropping_ = true; }
        ~DropScope() {
            window.dropping_ = false;
            window.ShowHeldRecords();
            if (window.enablePending_) {
                window.enablePending_ = false;
                window.SetMainWindowEnabled(true);
            }
        }
        DropScope(const DropScope&) = delete;
        DropScope& operator=(const DropScope&) = delete;
    } const drop(*this);
    for (const QString& path : paths) {
        if (closePending_)
            break;
        lblTgtFile_->setText(path);
        ConvertHtmlFile(path);
    }
}

void frmMain::InputDroppedUrl(const QString& url) {
    FetchAndConvert(url);
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty() || !FirstWebAddress(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMain::dragMoveEvent(QDragMoveEvent* event) {
    event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    const QString web = files.isEmpty() ? FirstWebAddress(event->mimeData()) : QString();
    event->acceptProposedAction();
    if (!files.isEmpty())
        InputDroppedFiles(files);
    else if (!web.isEmpty())
        InputDroppedUrl(web);
}

void frmMain::mWWWOpen_Click() {
    setEnabled(false);
    frmOpenURL& dialog = frmOpenURL::Load(this);
    dialog.exec();
    setEnabled(true);
    if (gCancelRequested) {
        gCancelRequested = false;
        return;
    }
    FetchAndConvert(dialog.Url());
}

void frmMain::Inet_StateChanged(int state) {
    if (IsErrorState(state))
        gCancelRequested = true;
    const auto text = TransferStatusText(state);
    if (!text)
        return;
    frmInfo& info = frmInfo::Load(this);
    info.SetStatusText(Q(*text));
    info.Repaint();
}

void frmMain::FetchAndConvert(const QString& url) {
    const WorkScope work(*this, Work::Fetch);
    // Text typed without a scheme is fetched as http; the label names what was fetched.
    const QString address = platform::HttpFetch::TypedAddress(url);
    setEnabled(false);
    frmInfo& info = frmInfo::Load(this);
    info.SetCancelVisible(false);
    info.show();
    info.SetPhaseText(QStringLiteral("URLから情報を取得中..."));
    info.SetStatusText(QString());
    info.Repaint();

    // Each fetch writes a file of its own, created exclusively, and converts from it; only then is
    // it renamed to the well-known name. So a second running copy never reads this page, nor this
    // one the other's, and the well-known file still holds the last fetched page.
    const QString tempPath = dataDir_ + QStringLiteral("HTML_TMP.htm");
    QTemporaryFile page(dataDir_ + QStringLiteral("HTML_TMP-XXXXXX.htm"));
    enum class Failure { None, Address, Transfer, File } failure = Failure::None;
    QString finalUrl;
    if (address.isEmpty()) {
        failure = Failure::Address;
    } else if (!page.open()) {
        failure = Failure::File;
    } else {
        const platform::HttpFetchResult result = platform::HttpFetch::Fetch(
            address, gProxyUse, Q(gProxyAddress), [this](int state) { Inet_StateChanged(state); });
        if (result.outcome == platform::HttpFetchResult::Outcome::Invalid) {
            failure = Failure::Address;
        } else if (result.outcome == platform::HttpFetchResult::Outcome::Failed) {
            failure = Failure::Transfer;
        } else {
            finalUrl = result.finalUrl;
            // One quoted value; its bytes stay as sent, so the conversion decodes them by the
            // page's own declaration.
            const QByteArray content = '"' + result.body + "\"\r\n";
            if (page.write(content) != content.size() || !page.flush())
                failure = Failure::File;
        }
        page.close();
    }

    setEnabled(true);
    info.SetCancelVisible(true);
    info.hide();
    info.SetPhaseText(QString());
    info.SetStatusText(QString());
    // The transfer's error state has been reported through gCancelRequested as well.
    const bool transferFailed = failure == Failure::Transfer || gCancelRequested;
    gCancelRequested = false;
    switch (transferFailed ? Failure::Transfer : failure) {
    case Failure::Address:
        platform::MessageBox::Show(this, QStringLiteral("指定したURLが異常です。"), QStringLiteral("警告"),
                                   MessageIcon::Exclamation);
        return;
    case Failure::File:
        platform::MessageBox::Show(this,
                                   QStringLiteral("取得したﾍﾟｰｼﾞを一時ﾌｧｲﾙに書き込めませんでした。") +
                                       QStringLiteral("\r\n") +
                                       (page.fileName().isEmpty() ? tempPath : page.fileName()),
                                   QStringLiteral("警告"), MessageIcon::Critical);
        return;
    case Failure::Transfer:
        platform::MessageBox::Show(
            this, QStringLiteral("指定されたURLから情報を取得できませんでした。\r\n処理を中断します。"),
            platform::MessageBox::AppTitle(), MessageIcon::None);
        return;
    case Failure::None:
        break;
    }
    lblTgtFile_->setText(address);
    // Relative links resolve against where the page finally came from, after its redirects.
    ConvertHtmlFile(page.fileName(), finalUrl);
    // Replaces the previous page in one step; a failure only leaves the fetched page under its own name.
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(page.fileName()).toStdString(),
                            QFile::encodeName(tempPath).toStdString(), error);
    if (!error)
        page.setAutoRemove(false);
}

} // namespace orvane
