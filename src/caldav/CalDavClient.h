// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "caldav/CalDavFailure.h"
#include "caldav/HttpExchange.h"
#include "caldav/Multistatus.h"

#include <QCoroTask>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>

#include <cstddef>
#include <variant>
#include <vector>

namespace vantory {

struct DiscoveredCollection {
    QUrl url;
    QString displayName;
    bool tasks = true; // holds VTODO (a collection that does not say holds everything)
};

struct CalendarDiscovery {
    QUrl home; // where new collections go; empty when the address given was itself a task collection
    std::vector<DiscoveredCollection> collections;
};

struct ResourceTag {
    QUrl href;
    QString etag;
};

struct CollectionTags {
    QString ctag; // calendarserver.org's getctag, empty when the server has none
    QString syncToken; // empty when the server has none
    std::vector<ResourceTag> members; // only from memberTags
};

struct SyncChanges {
    std::vector<ResourceTag> changed;
    std::vector<QUrl> removed;
    QString token;
    bool truncated = false; // the server sent part of the changes: ask again with the new token
};

// Why changes since a token cannot be had, and the caller compares ETags itself instead.
enum class SyncFallback {
    tokenRejected, // invalid or expired: start over with an empty token
    unsupported, // the server has no sync-collection report: compare ETags (memberTags)
};
using SyncAnswer = std::variant<SyncChanges, SyncFallback>;

struct TaskResource {
    QUrl href;
    QString etag;
    QByteArray text; // iCalendar, UTF-8, lines ended by CR LF
};

struct MultigetAnswer {
    std::vector<TaskResource> resources;
    std::vector<QUrl> missing; // asked for, but not on the server (any more)
};

// What a removal leaves (not std::monostate: QCoro's promise keeps its "no value yet" in one).
struct Removed { };

struct Written {
    QString etag; // empty when the server gave none (it may have changed the text): read it again
};

// One user's requests to a CalDAV server, over one network manager. Every request carries Basic
// authentication from the credentials given, which live only in this object's memory. Operations
// are coroutines the object must outlive; each ends in a value or a CalDavFailure, never throws.
// URLs in and out are absolute; hrefs of answers are kept on the origin that gave them.
class CalDavClient {
public:
    explicit CalDavClient(HttpLimits limits = {});
    CalDavClient(const CalDavClient&) = delete;
    CalDavClient& operator=(const CalDavClient&) = delete;

    void setCredentials(const QString& user, const QString& password);

    // The calendar collections from an address the student typed: the address itself when it is a
    // task collection, else its calendar home through the current user's principal, trying the
    // server's /.well-known/caldav when the address does not lead there.
    QCoro::Task<CalDavResult<CalendarDiscovery>> discover(QUrl address);
    // A new task collection in a calendar home; its address.
    QCoro::Task<CalDavResult<QUrl>> createCollection(QUrl home, QString displayName);

    // The collection's ctag and sync token; memberTags adds each member's ETag.
    QCoro::Task<CalDavResult<CollectionTags>> collectionTags(QUrl collection);
    QCoro::Task<CalDavResult<CollectionTags>> memberTags(QUrl collection);
    // The members changed and removed since a sync token (empty: all members).
    QCoro::Task<CalDavResult<SyncAnswer>> changesSince(QUrl collection, QString token);
    // The texts of many members, a bounded number per request.
    QCoro::Task<CalDavResult<MultigetAnswer>> multiget(QUrl collection, std::vector<QUrl> hrefs);

    QCoro::Task<CalDavResult<TaskResource>> get(QUrl href);
    // Writes only where nothing is yet (create) or the ETag still holds (update); otherwise the
    // failure is a conflict (HTTP 412).
    QCoro::Task<CalDavResult<Written>> create(QUrl href, QByteArray text);
    QCoro::Task<CalDavResult<Written>> update(QUrl href, QByteArray text, QString etag);
    QCoro::Task<CalDavResult<Removed>> remove(QUrl href, QString etag);

    // A member's address in a collection, with the name percent-encoded as one path segment.
    static QUrl memberUrl(const QUrl& collection, const QString& name);

    static constexpr int multigetBatch = 100;

    // Requests sent so far (redirects followed count once): what a sync costs the server.
    std::size_t requestsSent() const { return requests_; }

private:
    // The request with the credentials. Callers build requests before awaiting: GCC 12 loses
    // temporaries made from string literals inside a co_await's own expression.
    QCoro::Task<CalDavResult<HttpAnswer>> send(HttpRequest request);
    QCoro::Task<CalDavResult<Multistatus>> propfind(QUrl url, int depth, QByteArray body);
    QCoro::Task<CalDavResult<CollectionTags>> readTags(QUrl collection, int depth);
    QCoro::Task<CalDavResult<Written>> put(QUrl href, QByteArray text, QByteArray condition, QByteArray value);

    QNetworkAccessManager network_;
    QByteArray authorization_;
    HttpLimits limits_;
    std::size_t requests_ = 0;
};

} // namespace vantory
