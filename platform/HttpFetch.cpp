#include "platform/HttpFetch.h"

#include "core/TransferStates.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>
#include <memory>

#include <zlib.h>

namespace orvane::platform {

namespace {

std::chrono::milliseconds& StallTimeout() {
    static std::chrono::milliseconds timeout = HttpFetch::kDefaultStallTimeout;
    return timeout;
}

std::chrono::milliseconds& TotalTimeout() {
    static std::chrono::milliseconds timeout = HttpFetch::kDefaultTotalTimeout;
    return timeout;
}

// Undoes a gzip or deflate coding that a server applied although only "identity" was asked for.
// Only a stream that reaches its proper end with nothing after it counts: a cut-off one fails.
bool Inflate(QByteArray& body, bool rawDeflateAllowed) {
    for (const int windowBits : {15 + 32, -15}) { // gzip or zlib header; then bare deflate
        if (windowBits < 0 && !rawDeflateAllowed)
            break;
        z_stream stream{};
        if (inflateInit2(&stream, windowBits) != Z_OK)
            return false;
        QByteArray out;
        stream.next_in = reinterpret_cast<Bytef*>(body.data());
        stream.avail_in = static_cast<uInt>(body.size());
        int status = Z_OK;
        char chunk[16384];
        while (status == Z_OK) {
            stream.next_out = reinterpret_cast<Bytef*>(chunk);
            stream.avail_out = sizeof chunk;
            status = inflate(&stream, Z_NO_FLUSH);
            out.append(chunk, static_cast<qsizetype>(sizeof chunk - stream.avail_out));
            if (out.size() > HttpFetch::kMaxBodyBytes)
                status = Z_DATA_ERROR;
            else if (status == Z_BUF_ERROR && stream.avail_in == 0)
                status = Z_DATA_ERROR; // the input ended before the stream did
        }
        const bool whole = status == Z_STREAM_END && stream.avail_in == 0;
        inflateEnd(&stream);
        if (whole) {
            body = std::move(out);
            return true;
        }
    }
    return false;
}

bool UndoContentCoding(const QByteArray& coding, QByteArray& body) {
    const QByteArray name = coding.trimmed().toLower();
    if (name.isEmpty() || name == "identity")
        return true;
    if (name == "gzip" || name == "x-gzip")
        return Inflate(body, false);
    if (name == "deflate")
        return Inflate(body, true);
    return false; // br, zstd, compress or a list of codings: nothing we can check
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
        total_.setSingleShot(true);
        total_.setInterval(TotalTimeout());
        QObject::connect(&total_, &QTimer::timeout, &guard_, [this] { Fail(); });
    }

    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    ~Transfer() { Teardown(); }

    HttpFetchResult Run() {
        total_.start();
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
            return {HttpFetchResult::Outcome::Failed, {}, {}};
        Advance(kStateDisconnecting);
        Teardown();
        Advance(kStateDisconnected);
        Advance(kStateResponseCompleted);
        return {HttpFetchResult::Outcome::Ok, std::move(body_), finalUrl_};
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
        total_.stop();
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

        Request(url_);
    }

    // Redirects are followed here, not by Qt: Qt 6.4 sends some requests of a chain twice and ends
    // others without an error or a page. Every step goes out on the same manager, so a kept-alive
    // connection carries the whole chain.
    void Request(const QUrl& url) {
        current_ = url;
        body_.clear();
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        // Qt would inflate a compressed body without noticing that it was cut off; asked for none,
        // a server that compresses all the same is inflated here, where the end is checked.
        request.setRawHeader("Accept-Encoding", "identity");
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
        QObject::connect(reply, &QNetworkReply::finished, &guard_, [this] { Finished(); });
    }

    // Follows a redirect response; false when it is none (or not one that can be followed).
    bool FollowRedirect(int status) {
        if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308)
            return false;
        const QByteArray location = reply_->rawHeader("Location").trimmed();
        const QUrl next = current_.resolved(QUrl::fromEncoded(location, QUrl::TolerantMode));
        const bool downgrade = current_.scheme() == u"https" && next.scheme() != u"https";
        if (location.isEmpty() || !next.isValid() || !IsWebScheme(next.scheme()) || next.host().isEmpty() ||
            downgrade || ++redirects_ > HttpFetch::kMaxRedirects)
            return false;
        QObject::disconnect(reply_, nullptr, &guard_, nullptr);
        reply_->deleteLater(); // inside its own signal
        reply_ = nullptr;
        Request(next);
        return true;
    }

    void HeadersIn() {
        if (done_)
            return;
        Touch();
        Advance(kStateReceivingResponse);
        // A declared oversize body is refused before any of it arrives (redirects carry none).
        const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        if (IsSuccess(status) && length.isValid() && length.toLongLong() > HttpFetch::kMaxBodyBytes)
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

    static bool IsSuccess(int status) { return status >= 200 && status < 300; }

    void Finished() {
        if (done_)
            return;
        BytesIn();
        if (done_)
            return;
        // Qt ends a reply cut short with an error; only a whole 2xx response is a page, and a
        // redirect that cannot be followed (no usable Location, too many, down to http) is none.
        const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply_->error() == QNetworkReply::NoError && FollowRedirect(status))
            return;
        if (reply_->error() != QNetworkReply::NoError || !IsSuccess(status) ||
            !UndoContentCoding(reply_->rawHeader("Content-Encoding"), body_)) {
            Fail();
            return;
        }
        finalUrl_ = current_.toString(QUrl::FullyEncoded);
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
        total_.stop();
        if (reply_) {
            QObject::disconnect(reply_, nullptr, &guard_, nullptr);
            reply_->abort();
            delete reply_;
            reply_ = nullptr;
        }
        manager_.reset();
    }

    QUrl url_;
    QUrl current_; // the address of the request under way
    QString finalUrl_;
    int redirects_ = 0;
    std::optional<QNetworkProxy> proxy_;
    const HttpFetch::StateCallback& onState_;

    QObject guard_; // context of every connection, so none outlives the transfer
    QEventLoop loop_;
    QTimer stall_; // restarted by every sign of progress
    QTimer total_; // never restarted
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

    const QString address = TypedAddress(url);
    if (address.isEmpty())
        return {};
    const QUrl target(address, QUrl::TolerantMode);
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

QString HttpFetch::TypedAddress(const QString& text) {
    const QString typed = text.trimmed();
    // "name:" starts a scheme ("http://", "mailto:") unless digits up to the end, "/", "?" or "#"
    // make it a host with its port ("localhost:8080/x").
    static const QRegularExpression scheme(
        QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?://|(?![0-9]*(?:[/?#]|$)))"));
    const QString address = scheme.match(typed).hasMatch() ? typed : QStringLiteral("http://") + typed;
    // Parsed leniently (a space inside becomes %20), but it must name a web scheme and a valid host.
    const QUrl url(address, QUrl::TolerantMode);
    if (!url.isValid() || !IsWebScheme(url.scheme()) || url.host().isEmpty())
        return {};
    return address;
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

void HttpFetch::SetTimeLimitsForTest(std::chrono::milliseconds stall, std::chrono::milliseconds total) {
    StallTimeout() = stall.count() > 0 ? stall : kDefaultStallTimeout;
    TotalTimeout() = total.count() > 0 ? total : kDefaultTotalTimeout;
}

} // namespace orvane::platform
