// SPDX-License-Identifier: GPL-3.0-or-later
#include "caldav/HttpExchange.h"

#include <QCoroNetworkReply>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <memory>

namespace vantory {

namespace {

struct LaterDelete {
    void operator()(QNetworkReply* reply) const
    {
        reply->disconnect();
        reply->deleteLater();
    }
};

bool isLoopback(const QUrl& url)
{
    const QString host = url.host();
    return host == u"localhost" || QHostAddress(host).isLoopback();
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

CalDavFailure networkFailure(const QNetworkReply& reply, const QList<QSslError>& sslErrors)
{
    if (!sslErrors.isEmpty())
        return {CalDavFailure::Kind::tls, sslErrors.front().error()};
    if (reply.error() == QNetworkReply::SslHandshakeFailedError)
        return {CalDavFailure::Kind::tls, reply.error()};
    if (reply.error() == QNetworkReply::ProtocolFailure)
        return {CalDavFailure::Kind::badAnswer};
    return {CalDavFailure::Kind::network, reply.error()};
}

// Errors of the connection itself (below 200), as opposed to those Qt derives from an HTTP status.
bool isConnectionError(QNetworkReply::NetworkError error)
{
    return (error > QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied)
        || error == QNetworkReply::ProtocolFailure;
}

// Qt ends a reply whose connection closed before its announced length without an error.
bool cutShort(const QNetworkReply& reply, const QByteArray& body)
{
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    return length.isValid() && !reply.hasRawHeader("Content-Encoding") && body.size() < length.toLongLong();
}

bool redirectAllowed(const QUrl& from, const QUrl& to)
{
    if (!to.isValid() || !to.userInfo().isEmpty())
        return false;
    return to.scheme() == u"https" || (to.scheme() == u"http" && isLoopback(from) && isLoopback(to));
}

} // namespace

QCoro::Task<CalDavResult<HttpAnswer>> exchange(QNetworkAccessManager& network, HttpRequest request, HttpLimits limits)
{
    for (int hop = 0; hop <= limits.redirects; ++hop) {
        QNetworkRequest message(request.url);
        message.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        message.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        for (const auto& [name, value] : request.headers)
            message.setRawHeader(name, value);
        const std::unique_ptr<QNetworkReply, LaterDelete> reply(
            network.sendCustomRequest(message, request.method, request.body));

        // Read as it arrives, so a server cannot make the answer grow beyond the limit.
        QByteArray body;
        bool oversized = false;
        QList<QSslError> sslErrors;
        QNetworkReply* const raw = reply.get();
        QObject::connect(raw, &QNetworkReply::readyRead, raw, [raw, &body, &oversized, &limits] {
            if (oversized) {
                raw->skip(raw->bytesAvailable());
                return;
            }
            body += raw->readAll();
            if (body.size() > limits.body) {
                oversized = true;
                body.clear();
                // Not from inside the reply's own signal: aborting finishes the reply, which resumes
                // the coroutine at once.
                QMetaObject::invokeMethod(raw, &QNetworkReply::abort, Qt::QueuedConnection);
            }
        });
        QObject::connect(
            raw, &QNetworkReply::sslErrors, raw, [&sslErrors](const QList<QSslError>& errors) { sslErrors += errors; });

        if (!co_await qCoro(raw).waitForFinished(limits.timeout)) {
            raw->abort();
            co_return CalDavFailure{CalDavFailure::Kind::timedOut,
                static_cast<int>(std::chrono::ceil<std::chrono::seconds>(limits.timeout).count())};
        }
        if (raw->isOpen())
            body += raw->readAll();
        if (oversized || body.size() > limits.body)
            co_return CalDavFailure{CalDavFailure::Kind::badAnswer};
        if (isConnectionError(raw->error()))
            co_return networkFailure(*raw, sslErrors);
        const QVariant status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (!status.isValid())
            co_return networkFailure(*raw, sslErrors);
        if (cutShort(*raw, body))
            co_return CalDavFailure{CalDavFailure::Kind::network, QNetworkReply::RemoteHostClosedError};

        if (isRedirect(status.toInt())) {
            const QUrl target = request.url.resolved(QUrl(QString::fromUtf8(raw->rawHeader("Location"))));
            if (!redirectAllowed(request.url, target))
                co_return CalDavFailure{CalDavFailure::Kind::badRedirect};
            request.url = target;
            continue;
        }
        co_return HttpAnswer{status.toInt(), request.url, std::move(body), QString::fromLatin1(raw->rawHeader("ETag"))};
    }
    co_return CalDavFailure{CalDavFailure::Kind::badRedirect};
}

} // namespace vantory
