#include "platform/HttpFetch.h"

#include "core/TransferStates.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace orvane::platform {

namespace {

std::chrono::milliseconds& StallTimeout() {
    static std::chrono::milliseconds timeout = HttpFetch::kDefaultStallTimeout;
    return timeout;
}

bool IsWebScheme(const QString& scheme) {
    return scheme == u"http" || scheme == u"https";
}

// Qt reports no look-up, connect or close events of its own, so the states are emulated around
// what it does report. Each step reports every state between the last one and its own, which
// keeps the table's order even when Qt skips a signal (a reused connection sends no requestSent).
class Transfer {
public:
    Transfer(QUrl url, std::optional<QNetworkProxy> proxy, const HttpFetch::StateCallback& onState)
        : url_(std::move(url)), proxy_(std::move(proxy)), onState_(onState) {
        stall_.setSingleShot(true);
        stall_.setInterval(StallTimeout());
        QObject::connect(&stall_, &QTimer::timeout, &guard_, [this] { Fail(); });
    }

    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    ~Transfer() { Teardown(); }

    HttpFetchResult Run() {
        Touch();
        Advance(kStateResolvingHost);
        const QString host = proxy_ ? proxy_->hostName() : url_.host();
        if (QHostAddress().setAddress(host)) {
            // A literal address needs no look-up (QHostInfo would do a reverse one).
            LookedUp();
        } else {
            lookupId_ = QHostInfo::lookupHost(host, &guard_, [this](const QHostInfo& info) {
                lookupId_ = -1;
                if (info.error() != QHostInfo::NoError || info.addresses().isEmpty())
                    Fail();
                else
                    LookedUp();
            });
        }
        if (!done_)
            loop_.exec(QEventLoop::ExcludeUserInputEvents);

        if (failed_)
            return {HttpFetchResult::Outcome::Failed, {}};
        Advance(kStateDisconnecting);
        Teardown();
        Advance(kStateDisconnected);
        Advance(kStateResponseCompleted);
        return {HttpFetchResult::Outcome::Ok, std::move(body_)};
    }

private:
    void Advance(int state) {
        while (!failed_ && last_ < state) {
            ++last_;
            if (last_ == kStateError)
                continue; // reported by Fail() only
            if (onState_)
                onState_(last_);
        }
    }

    void Touch() { stall_.start(); }

    void End() {
        done_ = true;
        stall_.stop();
        loop_.exit();
    }

    void Fail() {
        if (done_)
            return;
        failed_ = true;
        End();
        body_.clear();
        if (onState_)
            onState_(kStateError);
    }

    void LookedUp() {
        Touch();
        Advance(kStateHostResolved);
        Advance(kStateConnecting);

        manager_ = std::make_unique<QNetworkAccessManager>();
        // Explicitly no proxy when none is chosen, so the environment's proxy variables never apply.
        manager_->setProxy(proxy_ ? *proxy_ : QNetworkProxy(QNetworkProxy::NoProxy));
        manager_->setAutoDeleteReplies(false);

        QNetworkRequest request(url_);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::UserVerifiedRedirectPolicy);
        reply_ = manager_->get(request);

        QNetworkReply* reply = reply_;
        QObject::connect(reply, &QNetworkReply::socketStartedConnecting, &guard_, [this] { Touch(); });
        QObject::connect(reply, &QNetworkReply::encrypted, &guard_, [this] { Touch(); });
        QObject::connect(reply, &QNetworkReply::requestSent, &guard_, [this] {
            Touch();
            Advance(kStateRequestSent);
        });
        QObject::connect(reply, &QNetworkReply::uploadProgress, &guard_, [this] { Touch(); });
        QObject::connect(reply, &QNetworkReply::downloadProgress, &guard_, [this] { Touch(); });
        QObject::connect(reply, &QNetworkReply::metaDataChanged, &guard_, [this] { HeadersIn(); });
        QObject::connect(reply, &QNetworkReply::readyRead, &guard_, [this] { BytesIn(); });
        QObject::connect(reply, &QNetworkReply::redirected, &guard_,
                         [this](const QUrl& target) { Redirected(target); });
        QObject::connect(reply, &QNetworkReply::finished, &guard_, [this] { Finished(); });
    }

    void HeadersIn() {
        if (done_)
            return;
        Touch();
        Advance(kStateReceivingResponse);
        // A declared oversize body is refused before any of it arrives (redirects carry none).
        const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        if ((status < 300 || status >= 400) && length.isValid() &&
            length.toLongLong() > HttpFetch::kMaxBodyBytes)
            Fail();
    }

    void BytesIn() {
        if (done_)
            return;
        Touch();
        Advance(kStateReceivingResponse);
        // Read no more than one byte past the limit, so an oversize body never sits in memory.
        const qint64 room = HttpFetch::kMaxBodyBytes + 1 - body_.size();
        body_ += reply_->read(room);
        if (body_.size() > HttpFetch::kMaxBodyBytes)
            Fail();
    }

    void Redirected(const QUrl& target) {
        if (done_)
            return;
        Touch();
        const QUrl next = current_.isEmpty() ? url_.resolved(target) : current_.resolved(target);
        const QUrl& from = current_.isEmpty() ? url_ : current_;
        const bool downgrade = from.scheme() == u"https" && next.scheme() != u"https";
        if (!IsWebScheme(next.scheme()) || downgrade || next.host().isEmpty()) {
            Fail();
            return;
        }
        current_ = next;
        Q_EMIT reply_->redirectAllowed();
    }

    void Finished() {
        if (done_)
            return;
        BytesIn();
        if (done_)
            return;
        const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply_->error() != QNetworkReply::NoError || status >= 400) {
            Fail();
            return;
        }
        Advance(kStateResponseReceived);
        End();
    }

    // Closes the reply and, with the manager, its connection; leftover callbacks are cut first.
    void Teardown() {
        if (lookupId_ >= 0) {
            QHostInfo::abortHostLookup(lookupId_);
            lookupId_ = -1;
        }
        stall_.stop();
        if (reply_) {
            QObject::disconnect(reply_, nullptr, &guard_, nullptr);
            reply_->abort();
            delete reply_;
            reply_ = nullptr;
        }
        manager_.reset();
    }

    QUrl url_;
    QUrl current_; // where the last allowed redirect led
    std::optional<QNetworkProxy> proxy_;
    const HttpFetch::StateCallback& onState_;

    QObject guard_; // context of every connection, so none outlives the transfer
    QEventLoop loop_;
    QTimer stall_;
    std::unique_ptr<QNetworkAccessManager> manager_;
    QNetworkReply* reply_ = nullptr;
    int lookupId_ = -1;

    QByteArray body_;
    int last_ = kStateNone;
    bool done_ = false;
    bool failed_ = false;
};

} // namespace

HttpFetchResult HttpFetch::Fetch(const QString& url, bool useProxy, const QString& proxyAddress,
                                 const StateCallback& onState) {
    static bool running = false;
    if (running)
        return {};

    // Typed addresses are parsed leniently (a space becomes %20), but must name a web scheme and a host.
    const QUrl target(url, QUrl::TolerantMode);
    if (!target.isValid() || !IsWebScheme(target.scheme()) || target.host().isEmpty())
        return {};
    std::optional<QNetworkProxy> proxy;
    if (useProxy) {
        proxy = ParseProxyAddress(proxyAddress);
        if (!proxy)
            return {};
    }

    running = true;
    Transfer transfer(target, std::move(proxy), onState);
    HttpFetchResult result = transfer.Run();
    running = false;
    return result;
}

std::optional<QNetworkProxy> HttpFetch::ParseProxyAddress(const QString& address) {
    const QString text = address.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    const QUrl url(text.contains(u"://") ? text : u"http://" + text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != u"http" || url.host().isEmpty() || !url.userInfo().isEmpty() ||
        url.hasQuery() || url.hasFragment() || (!url.path().isEmpty() && url.path() != u"/"))
        return std::nullopt;
    const int port = url.port(80);
    if (port <= 0 || port > 65535)
        return std::nullopt;
    return QNetworkProxy(QNetworkProxy::HttpProxy, url.host(), static_cast<quint16>(port));
}

void HttpFetch::SetStallTimeoutForTest(std::chrono::milliseconds timeout) {
    StallTimeout() = timeout.count() > 0 ? timeout : kDefaultStallTimeout;
}

} // namespace orvane::platform
