// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "caldav/CalDavFailure.h"

#include <QByteArray>
#include <QCoroTask>
#include <QList>
#include <QPair>
#include <QUrl>

#include <chrono>

class QNetworkAccessManager;

namespace vantory {

struct HttpRequest {
    QByteArray method;
    QUrl url;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
};

// The final answer, whatever its status.
struct HttpAnswer {
    int status = 0;
    QUrl url; // where it came from, after redirects
    QByteArray body;
    QString etag; // the ETag header, empty without one
};

struct HttpLimits {
    std::chrono::milliseconds timeout{30'000}; // per request, redirects each their own
    qint64 body = 16 * 1024 * 1024;
    int redirects = 5;
};

// Sends a request and reads its answer within the limits. Redirects keep the method and body, and
// are followed only to https, or to plain http on this computer when the server is on it too.
// Network and TLS errors, a time-out, a body beyond the limit and a refused redirect are failures;
// an HTTP error status is an answer for the caller to read.
QCoro::Task<CalDavResult<HttpAnswer>> exchange(QNetworkAccessManager& network, HttpRequest request, HttpLimits limits);

} // namespace vantory
