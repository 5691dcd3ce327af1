// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace vantory::test {

// A loopback proxy in front of a real server that can answer a request itself or drop it: each
// whole request's head goes to the fault, which returns the bytes to answer with, closeConnection,
// or nothing to pass it on (one connection upstream per request, closed after its answer).
class FaultyProxy {
public:
    using Fault = std::function<QByteArray(const QByteArray& head)>;
    static inline const QByteArray closeConnection = "close";

    explicit FaultyProxy(QUrl upstream)
        : upstream_(std::move(upstream))
    {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                serve(socket);
        });
    }

    void setFault(Fault fault) { fault_ = std::move(fault); }
    // The upstream address with the proxy's origin.
    QUrl url(const QUrl& upstream) const
    {
        QUrl url = upstream;
        url.setPort(server_.serverPort());
        return url;
    }

private:
    void serve(QTcpSocket* socket)
    {
        auto received = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
            *received += socket->readAll();
            const qsizetype headEnd = received->indexOf("\r\n\r\n");
            if (headEnd < 0)
                return;
            const QByteArray head = received->left(headEnd);
            const qsizetype length = head.toLower().indexOf("content-length:");
            const qsizetype bodyLength
                = length < 0 ? 0 : head.mid(length + 15).split('\r').front().trimmed().toLongLong();
            if (received->size() < headEnd + 4 + bodyLength)
                return;
            const QByteArray answer = fault_ ? fault_(head) : QByteArray();
            if (answer == closeConnection)
                return socket->abort();
            if (!answer.isEmpty()) {
                socket->write(answer);
                return socket->disconnectFromHost();
            }
            QByteArray request;
            for (const QByteArray& line : head.split('\n')) {
                if (!line.toLower().startsWith("connection:"))
                    request += line + '\n';
            }
            request += "Connection: close\r\n\r\n" + received->mid(headEnd + 4);
            received->clear();
            forward(socket, request);
        });
    }

    void forward(QTcpSocket* client, const QByteArray& request)
    {
        auto* upstream = new QTcpSocket(client);
        auto response = std::make_shared<QByteArray>();
        QObject::connect(upstream, &QTcpSocket::connected, upstream, [upstream, request] { upstream->write(request); });
        QObject::connect(
            upstream, &QTcpSocket::readyRead, upstream, [upstream, response] { *response += upstream->readAll(); });
        QObject::connect(upstream, &QTcpSocket::disconnected, client, [client, upstream, response] {
            *response += upstream->readAll();
            client->write(*response);
            client->disconnectFromHost();
        });
        upstream->connectToHost(QHostAddress::LocalHost, quint16(upstream_.port()));
    }

    QUrl upstream_;
    Fault fault_;
    QTcpServer server_;
};

} // namespace vantory::test
