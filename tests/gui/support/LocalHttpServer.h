#pragma once
// A tiny HTTP/1.0 server on 127.0.0.1 for window tests: every request gets the response set for
// its path (or 404).

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <functional>

namespace orvane::test {

class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    LocalHttpServer();

    quint16 Port() const { return server_.serverPort(); }
    QString Url(const QString& path) const;
    /// Answers `path` with `status` and `body`.
    void Serve(const QByteArray& path, const QByteArray& body, int status = 200);
    /// Runs `action` with the path of each request as it arrives, before it is answered: while the
    /// client waits for the response.
    void OnRequest(std::function<void(const QByteArray& path)> action) { onRequest_ = std::move(action); }

private:
    void OnConnection();

    QTcpServer server_;
    QHash<QByteArray, QPair<int, QByteArray>> pages_;
    std::function<void(const QByteArray& path)> onRequest_;
};

} // namespace orvane::test
