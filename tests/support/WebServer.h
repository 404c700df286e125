#pragma once
// A web server of the tests on 127.0.0.1 that behaves like real sites: kept-alive connections,
// redirects, chunked, compressed and slowly dripped bodies, bodies cut off by a closed connection,
// responses held until the test releases them, and TLS with a certificate that only the test
// process trusts.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

class QTcpServer;
class QTcpSocket;

namespace orvane::test {

/// What the server sends for one request. A CONNECT request is always answered as a proxy does:
/// the connection becomes a tunnel to the address it names (on this machine only).
struct WebResponse {
    QByteArray bytes;                 // status line, headers and body, exactly as sent
    bool close = false;               // close the connection after sending (else keep it alive)
    std::chrono::milliseconds drip{}; // when set: the body one byte per interval
    bool drop = false;                // close the connection without sending anything
    bool hold = false;                // sent only at ReleaseHeld(), then the connection closes
};

/// A 200 (or `status`) response with a Content-Length, kept alive.
WebResponse Page(const QByteArray& body, int status = 200, const QByteArray& extraHeaders = {});
/// A redirect with `status` and, unless empty, a Location header.
WebResponse Redirect(const QByteArray& location, int status = 302);
/// The body in chunks of 4 KiB; without `lastChunk` the connection closes after the last data
/// chunk, as a server that dies mid-body does.
WebResponse Chunked(const QByteArray& body, bool lastChunk = true);
/// `body` compressed in gzip form.
QByteArray Gzip(const QByteArray& body);

class WebServer {
public:
    struct Request {
        QByteArray head; // request line and headers
        QByteArray target() const { return head.left(head.indexOf("\r\n")).split(' ').value(1); }
    };
    using Handler = std::function<WebResponse(const Request&)>;

    /// With `tls` the server speaks HTTPS; call TrustTestCertificate() before fetching from it.
    explicit WebServer(bool tls = false);
    ~WebServer();

    /// Answers `path` (the request target) through `handler`; unknown paths get a 404 page.
    void Route(const QByteArray& path, const Handler& handler) { routes_.insert(path, handler); }
    /// Answers every request no route takes (a proxy's absolute targets among them).
    void Fallback(Handler handler) { fallback_ = std::move(handler); }
    /// Answers `path` with a fixed page.
    void Serve(const QByteArray& path, const QByteArray& body, int status = 200) {
        Route(path, [body, status](const Request&) { return Page(body, status); });
    }

    quint16 Port() const;
    QString Url(const QString& path = QStringLiteral("/")) const;
    /// Every request head in the order they came, and the connections accepted so far.
    const QList<QByteArray>& Heads() const { return heads_; }
    int Connections() const { return connections_; }
    /// Held responses whose connection is still open; ReleaseHeld() sends them all.
    int Held() const;
    void ReleaseHeld();

    /// Makes the test certificate (issued to 127.0.0.1) trusted by the process's default TLS
    /// configuration until the returned guard goes.
    [[nodiscard]] static std::shared_ptr<void> TrustTestCertificate();

private:
    void Accept();
    void Answer(QTcpSocket* socket);
    void Tunnel(QTcpSocket* socket, const QByteArray& authority);

    QHash<QByteArray, Handler> routes_;
    Handler fallback_;
    QList<QByteArray> heads_;
    QList<QPair<QPointer<QTcpSocket>, QByteArray>> held_;
    int connections_ = 0;
    std::unique_ptr<QTcpServer> server_; // last: gone before what its connections use
};

} // namespace orvane::test
