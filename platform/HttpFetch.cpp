#include "platform/HttpFetch.h"

#include "core/HttpResponse.h"
#include "core/TransferStates.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QRegularExpression>
#include <QSslSocket>
#include <QTimer>
#include <QUrl>
#include <memory>

#include <zlib.h>

namespace orvane::platform {

using namespace Qt::StringLiterals;

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
            // Too big, or the input ended before the stream did.
            if (out.size() > HttpFetch::kMaxBodyBytes || (status == Z_BUF_ERROR && stream.avail_in == 0))
                status = Z_DATA_ERROR;
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

QByteArray HostHeader(const QUrl& url) {
    const QString host = url.host(QUrl::FullyEncoded);
    QByteArray text = host.contains(u':') ? '[' + host.toLatin1() + ']' : host.toLatin1();
    const int port = url.port();
    if (port >= 0 && port != (url.scheme() == u"https" ? 443 : 80))
        text += ':' + QByteArray::number(port);
    return text;
}

// One fetch with its redirects, over connections of its own: the responses are read by
// HttpResponseReader, which knows where each body must end (Qt 6.4's reader takes a chunked body
// cut between two chunks for a whole one, and sends some requests of a redirect chain twice).
// The look-up is made first, so that the states come in the table's order; each step reports
// every state between the last one and its own.
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
        Request(url_);
    }

    // Where a request for `url` must connect: an https address through a proxy is tunnelled (the
    // socket's proxy does that), an http one is asked of the proxy itself.
    QString Endpoint(const QUrl& url) const {
        const bool tunnel = proxy_ && url.scheme() == u"https";
        if (proxy_ && !tunnel)
            return u"proxy "_s + proxy_->hostName() + u':' + QString::number(proxy_->port());
        return url.scheme() + u' ' + url.host() + u':' +
               QString::number(url.port(url.scheme() == u"https" ? 443 : 80));
    }

    void Request(const QUrl& url) {
        current_ = url;
        const QString endpoint = Endpoint(url);
        const bool reuse = socket_ && keepAlive_ && endpoint_ == endpoint &&
                           socket_->state() == QAbstractSocket::ConnectedState;
        if (!reuse)
            Connect(url, endpoint);
        reused_ = reuse;
        reader_.emplace(static_cast<std::size_t>(HttpFetch::kMaxBodyBytes));
        if (connected_)
            Send();
    }

    void Connect(const QUrl& url, const QString& endpoint) {
        CloseSocket();
        Advance(kStateConnecting);
        endpoint_ = endpoint;
        connected_ = false;
        socket_ = std::make_unique<QSslSocket>();
        QSslSocket* socket = socket_.get();
        const bool tls = url.scheme() == u"https";
        QObject::connect(socket, &QAbstractSocket::connected, &guard_, [this, tls] {
            Touch();
            if (!tls)
                Connected();
        });
        QObject::connect(socket, &QSslSocket::encrypted, &guard_, [this] { Connected(); });
        QObject::connect(socket, &QIODevice::bytesWritten, &guard_, [this] { Touch(); });
        QObject::connect(socket, &QIODevice::readyRead, &guard_, [this] { BytesIn(); });
        QObject::connect(socket, &QAbstractSocket::disconnected, &guard_, [this] { ConnectionClosed(); });
        QObject::connect(socket, &QAbstractSocket::errorOccurred, &guard_,
                         [this](QAbstractSocket::SocketError error) {
                             if (error == QAbstractSocket::RemoteHostClosedError)
                                 ConnectionClosed();
                             else
                                 Fail();
                         });
        // Explicitly no proxy when none is chosen, so the environment's proxy variables never apply.
        const bool tunnel = proxy_ && tls;
        socket->setProxy(tunnel ? *proxy_ : QNetworkProxy(QNetworkProxy::NoProxy));
        if (proxy_ && !tunnel)
            socket->connectToHost(proxy_->hostName(), proxy_->port());
        else if (tls)
            socket->connectToHostEncrypted(url.host(), static_cast<quint16>(url.port(443)));
        else
            socket->connectToHost(url.host(), static_cast<quint16>(url.port(80)));
    }

    void Connected() {
        if (done_)
            return;
        Touch();
        Advance(kStateConnected);
        connected_ = true;
        keepAlive_ = true;
        Send();
    }

    void Send() {
        Advance(kStateRequesting);
        // Through a proxy the request names the whole address; otherwise only the path.
        const bool viaProxy = proxy_ && current_.scheme() != u"https";
        QByteArray target =
            viaProxy ? current_.toEncoded(QUrl::RemoveUserInfo | QUrl::RemoveFragment)
                     : current_.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
        if (target.isEmpty())
            target = "/";
        // No compression is asked for; a server that compresses all the same is inflated below,
        // where the end of the stream is checked.
        const QByteArray request = "GET " + target + " HTTP/1.1\r\nHost: " + HostHeader(current_) +
                                   "\r\nAccept-Encoding: identity\r\nConnection: keep-alive\r\n"
                                   "User-Agent: Mozilla/5.0\r\nAccept: */*\r\n\r\n";
        socket_->write(request);
        Touch();
        Advance(kStateRequestSent);
    }

    void BytesIn() {
        if (done_ || !reader_)
            return;
        Touch();
        const QByteArray bytes = socket_->readAll();
        if (bytes.isEmpty())
            return;
        Advance(kStateReceivingResponse);
        reader_->Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        Settle();
    }

    void ConnectionClosed() {
        if (done_ || !reader_)
            return;
        BytesIn(); // what came before the close
        if (done_ || !reader_ || reader_->state() != HttpResponseReader::State::Head ||
            !reader_->NothingReceived()) {
            if (!done_ && reader_) {
                reader_->Closed();
                Settle();
            }
            return;
        }
        // A kept-alive connection that the server had already closed: once more on a new one.
        if (reused_) {
            keepAlive_ = false;
            Request(current_);
            return;
        }
        Fail();
    }

    // Acts on the response once it is whole, or has failed.
    void Settle() {
        if (done_)
            return;
        switch (reader_->state()) {
        case HttpResponseReader::State::Head:
        case HttpResponseReader::State::Body:
            return;
        case HttpResponseReader::State::Failed:
            Fail();
            return;
        case HttpResponseReader::State::Done:
            break;
        }
        keepAlive_ = keepAlive_ && reader_->KeepAlive();
        const int status = reader_->Status();
        if (FollowRedirect(status))
            return;
        std::string& body = reader_->Body();
        body_ = QByteArray(body.data(), static_cast<qsizetype>(body.size()));
        const std::string_view coding = reader_->Header("Content-Encoding");
        if (!IsSuccess(status) ||
            !UndoContentCoding(QByteArray(coding.data(), static_cast<qsizetype>(coding.size())), body_)) {
            Fail();
            return;
        }
        finalUrl_ = current_.toString(QUrl::FullyEncoded);
        Advance(kStateResponseReceived);
        End();
    }

    static bool IsSuccess(int status) { return status >= 200 && status < 300; }

    // Follows a redirect response; false when it is none, or one that cannot be followed (no usable
    // Location, one too many, a step down from https to http, not a web address).
    bool FollowRedirect(int status) {
        if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308)
            return false;
        const std::string_view location = reader_->Header("Location");
        const QUrl next = current_.resolved(QUrl::fromEncoded(
            QByteArray(location.data(), static_cast<qsizetype>(location.size())), QUrl::TolerantMode));
        const bool downgrade = current_.scheme() == u"https" && next.scheme() != u"https";
        if (location.empty() || !next.isValid() || !IsWebScheme(next.scheme()) || next.host().isEmpty() ||
            downgrade || ++redirects_ > HttpFetch::kMaxRedirects)
            return false;
        Request(next.adjusted(QUrl::RemoveFragment));
        return true;
    }

    void CloseSocket() {
        if (!socket_)
            return;
        QObject::disconnect(socket_.get(), nullptr, &guard_, nullptr);
        socket_->abort();
        // Deleted later: this may run inside one of the socket's own signals.
        socket_.release()->deleteLater();
        connected_ = false;
    }

    // Closes the connection; leftover callbacks are cut first.
    void Teardown() {
        if (lookupId_ >= 0) {
            QHostInfo::abortHostLookup(lookupId_);
            lookupId_ = -1;
        }
        stall_.stop();
        total_.stop();
        CloseSocket();
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
    int lookupId_ = -1;

    std::unique_ptr<QSslSocket> socket_;
    QString endpoint_; // where socket_ leads
    bool connected_ = false;
    bool keepAlive_ = false; // socket_ may carry the next request
    bool reused_ = false;    // the request under way went out on a connection used before
    std::optional<HttpResponseReader> reader_;

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
    QString address = scheme.match(typed).hasMatch() ? typed : QStringLiteral("http://") + typed;
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
