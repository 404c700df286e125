#include "support/LocalHttpServer.h"

#include <QTcpSocket>

namespace orvane::test {

LocalHttpServer::LocalHttpServer() {
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, &LocalHttpServer::OnConnection);
}

QString LocalHttpServer::Url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(Port()).arg(path);
}

void LocalHttpServer::Serve(const QByteArray& path, const QByteArray& body, int status) {
    pages_.insert(path, {status, body});
}

void LocalHttpServer::OnConnection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            *buffer += socket->readAll();
            if (!buffer->contains("\r\n\r\n"))
                return;
            const QByteArray target = buffer->left(buffer->indexOf("\r\n")).split(' ').value(1);
            if (onRequest_)
                onRequest_(target);
            const auto page = pages_.value(target, {404, QByteArray("not found")});
            socket->write("HTTP/1.0 " + QByteArray::number(page.first) +
                          " X\r\nContent-Length: " + QByteArray::number(page.second.size()) +
                          "\r\nConnection: close\r\n\r\n" + page.second);
            socket->disconnectFromHost();
        });
    }
}

} // namespace orvane::test
