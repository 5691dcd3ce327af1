// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>

#include "../caldav/RequestServer.h"

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
    }

    void setFault(Fault fault) { fault_ = std::move(fault); }
    // The upstream address with the proxy's origin.
    QUrl url(const QUrl& upstream) const
    {
        QUrl url = upstream;
        url.setPort(server_.port());
        return url;
    }

private:
    void serve(QTcpSocket* socket, const QByteArray& head, const QByteArray& body)
    {
        const QByteArray answer = fault_ ? fault_(head) : QByteArray();
        if (answer == closeConnection)
            return socket->abort();
        if (!answer.isEmpty()) {
            socket->write(answer);
            return socket->disconnectFromHost();
        }
        QByteArray request;
        for (const QByteArray& line : head.split('\n'))
            if (!line.toLower().startsWith("connection:"))
                request += line + '\n';
        forward(socket, request + "Connection: close\r\n\r\n" + body);
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
    RequestServer server_{
        [this](QTcpSocket* socket, const QByteArray& head, const QByteArray& body) { serve(socket, head, body); }};
};

} // namespace vantory::test
