// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace vantory::test {

// A loopback HTTP server that hands each whole request, its head and its body, to the handler with
// the client's socket, to answer or close.
class RequestServer {
public:
    using Handler = std::function<void(QTcpSocket* socket, const QByteArray& head, const QByteArray& body)>;

    explicit RequestServer(Handler handle)
        : handle_(std::move(handle))
    {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                serve(socket);
        });
    }

    quint16 port() const { return server_.serverPort(); }

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
            const QByteArray body = received->mid(headEnd + 4);
            received->clear();
            handle_(socket, head, body);
        });
    }

    Handler handle_;
    QTcpServer server_;
};

} // namespace vantory::test
