// SPDX-License-Identifier: GPL-3.0-or-later
#include "caldav/CalDavClient.h"

#include "caldav/DavBodies.h"

#include <QUuid>

#include <algorithm>
#include <optional>
#include <span>

namespace vantory {

namespace {

const QByteArray xmlType = "application/xml; charset=utf-8";
const QByteArray calendarType = "text/calendar; charset=utf-8";

CalDavFailure statusFailure(int status)
{
    using Kind = CalDavFailure::Kind;
    switch (status) {
    case 401:
        return {Kind::unauthorized, status};
    case 403:
        return {Kind::forbidden, status};
    case 404:
    case 410:
        return {Kind::notFound, status};
    case 412:
        return {Kind::conflict, status};
    case 507:
        return {Kind::insufficientStorage, status};
    default:
        return {Kind::httpStatus, status};
    }
}

bool succeeded(int status)
{
    return status >= 200 && status < 300;
}

std::optional<QUrl> hrefInside(const DavResponse& response, QStringView space, QStringView name)
{
    const XmlElement* property = response.prop(space, name);
    const XmlElement* href = property ? property->child(davNamespace, u"href") : nullptr;
    return href ? resolveHref(response.href, href->text) : std::nullopt;
}

bool isCalendar(const DavResponse& response)
{
    const XmlElement* type = response.prop(davNamespace, u"resourcetype");
    return type && type->child(calDavNamespace, u"calendar");
}

bool isCollection(const DavResponse& response)
{
    const XmlElement* type = response.prop(davNamespace, u"resourcetype");
    return type && type->child(davNamespace, u"collection");
}

DiscoveredCollection collection(const DavResponse& response)
{
    const XmlElement* name = response.prop(davNamespace, u"displayname");
    const XmlElement* components = response.prop(calDavNamespace, u"supported-calendar-component-set");
    const bool tasks = !components || std::ranges::any_of(components->children, [](const XmlElement& component) {
        return component.is(calDavNamespace, u"comp") && component.nameAttribute == u"VTODO";
    });
    return {response.href, name ? name->text.trimmed() : QString(), tasks};
}

QString propText(const DavResponse& response, QStringView space, QStringView name)
{
    const XmlElement* property = response.prop(space, name);
    return property ? property->text.trimmed() : QString();
}

// Failures after which the server's well-known address may still lead to a calendar home.
bool worthWellKnown(const CalDavFailure& failure)
{
    using Kind = CalDavFailure::Kind;
    return failure.kind == Kind::notFound || failure.kind == Kind::forbidden || failure.kind == Kind::httpStatus
        || failure.kind == Kind::badAnswer;
}

// Where a discovery step's answer leads.
struct Lead {
    std::optional<DiscoveredCollection> taskCollection;
    std::optional<QUrl> home;
    std::optional<QUrl> principal;
};

Lead lead(const Multistatus& answer)
{
    if (answer.responses.empty())
        return {};
    const DavResponse& self = answer.responses.front();
    Lead found{std::nullopt, hrefInside(self, calDavNamespace, u"calendar-home-set"),
        hrefInside(self, davNamespace, u"current-user-principal")};
    if (isCalendar(self) && collection(self).tasks)
        found.taskCollection = collection(self);
    return found;
}

// The precondition an error answer names (<D:error><D:valid-sync-token/></D:error>), if any.
bool namesPrecondition(const QByteArray& body, QStringView name)
{
    const std::optional<XmlElement> error = readXml(body);
    return error && error->is(davNamespace, u"error") && error->child(davNamespace, name);
}

std::optional<SyncFallback> syncFallback(const HttpAnswer& answer, const QString& token)
{
    if (namesPrecondition(answer.body, u"valid-sync-token"))
        return SyncFallback::tokenRejected;
    if (namesPrecondition(answer.body, u"supported-report"))
        return SyncFallback::unsupported;
    if ((answer.status == 403 || answer.status == 409) && !token.isEmpty())
        return SyncFallback::tokenRejected;
    if (answer.status == 400 || answer.status == 405 || answer.status == 415 || answer.status == 501)
        return SyncFallback::unsupported;
    return std::nullopt;
}

// calendar-data as bytes with CR LF line ends: XML turned them into LF on the way.
QByteArray calendarText(const QString& data)
{
    QByteArray text = data.toUtf8();
    text.replace("\r\n", "\n");
    text.replace("\n", "\r\n");
    return text;
}

} // namespace

CalDavClient::CalDavClient(HttpLimits limits)
    : limits_(limits)
{
    network_.setCookieJar(nullptr);
}

void CalDavClient::setCredentials(const QString& user, const QString& password)
{
    authorization_ = "Basic " + (user + u':' + password).toUtf8().toBase64();
}

QUrl CalDavClient::memberUrl(const QUrl& collection, const QString& name)
{
    QUrl folder = collection;
    if (!folder.path().endsWith(u'/'))
        folder.setPath(folder.path() + u'/');
    return folder.resolved(QUrl(QString::fromLatin1(QUrl::toPercentEncoding(name)), QUrl::StrictMode));
}

QCoro::Task<CalDavResult<HttpAnswer>> CalDavClient::send(HttpRequest request)
{
    if (!authorization_.isEmpty())
        request.headers.append({"Authorization", authorization_});
    ++requests_;
    co_return co_await exchange(network_, std::move(request), limits_);
}

QCoro::Task<CalDavResult<Multistatus>> CalDavClient::propfind(QUrl url, int depth, QByteArray body)
{
    HttpRequest request{
        "PROPFIND", std::move(url), {{"Depth", QByteArray::number(depth)}, {"Content-Type", xmlType}}, std::move(body)};
    const CalDavResult<HttpAnswer> answer = co_await send(std::move(request));
    if (!answer)
        co_return answer.failure();
    if (answer->status != 207)
        co_return statusFailure(answer->status);
    std::optional<Multistatus> multistatus = readMultistatus(answer->body, answer->url);
    if (!multistatus)
        co_return CalDavFailure{CalDavFailure::Kind::badAnswer};
    co_return std::move(*multistatus);
}

QCoro::Task<CalDavResult<CalendarDiscovery>> CalDavClient::discover(QUrl address)
{
    using Kind = CalDavFailure::Kind;
    const CalDavResult<Multistatus> given = co_await propfind(address, 0, DavBodies::discovery());
    if (!given && !worthWellKnown(given.failure()))
        co_return given.failure();
    Lead found = given ? lead(*given) : Lead{};
    if (found.taskCollection)
        co_return CalendarDiscovery{{}, {*found.taskCollection}};

    if (!found.home && !found.principal) {
        const QUrl wellKnownAddress = address.resolved(QUrl(QStringLiteral("/.well-known/caldav")));
        const CalDavResult<Multistatus> wellKnown = co_await propfind(wellKnownAddress, 0, DavBodies::discovery());
        if (!wellKnown && !worthWellKnown(wellKnown.failure()))
            co_return wellKnown.failure();
        if (wellKnown)
            found = lead(*wellKnown);
    }
    if (!found.home && found.principal) {
        const CalDavResult<Multistatus> principal = co_await propfind(*found.principal, 0, DavBodies::discovery());
        if (!principal)
            co_return principal.failure();
        found.home = lead(*principal).home;
    }
    if (!found.home)
        co_return CalDavFailure{Kind::notCalendarServer};

    const CalDavResult<Multistatus> home = co_await propfind(*found.home, 1, DavBodies::discovery());
    if (!home)
        co_return home.failure();
    CalendarDiscovery discovery{home->base};
    for (const DavResponse& response : home->responses)
        if (isCalendar(response) && !sameResource(response.href, home->base))
            discovery.collections.push_back(collection(response));
    co_return discovery;
}

QCoro::Task<CalDavResult<QUrl>> CalDavClient::createCollection(QUrl home, QString displayName)
{
    // A fresh name, so that an existing collection is never touched.
    QUrl url = memberUrl(home, QStringLiteral("vantory-") + QUuid::createUuid().toString(QUuid::WithoutBraces));
    url.setPath(url.path() + u'/');
    HttpRequest request{"MKCALENDAR", url, {{"Content-Type", xmlType}}, DavBodies::makeCalendar(displayName)};
    const CalDavResult<HttpAnswer> answer = co_await send(std::move(request));
    if (!answer)
        co_return answer.failure();
    if (!succeeded(answer->status))
        co_return statusFailure(answer->status);
    co_return answer->url;
}

QCoro::Task<CalDavResult<CollectionTags>> CalDavClient::readTags(QUrl collection, int depth)
{
    const CalDavResult<Multistatus> answer = co_await propfind(collection, depth, DavBodies::tags());
    if (!answer)
        co_return answer.failure();
    CollectionTags tags;
    for (const DavResponse& response : answer->responses) {
        if (sameResource(response.href, answer->base) || (depth == 0 && &response == &answer->responses.front())) {
            tags.ctag = propText(response, calendarServerNamespace, u"getctag");
            tags.syncToken = propText(response, davNamespace, u"sync-token");
        } else if (!isCollection(response) && response.prop(davNamespace, u"getetag")) {
            tags.members.push_back({response.href, propText(response, davNamespace, u"getetag")});
        }
    }
    co_return tags;
}

QCoro::Task<CalDavResult<CollectionTags>> CalDavClient::collectionTags(QUrl collection)
{
    co_return co_await readTags(std::move(collection), 0);
}

QCoro::Task<CalDavResult<CollectionTags>> CalDavClient::memberTags(QUrl collection)
{
    co_return co_await readTags(std::move(collection), 1);
}

QCoro::Task<CalDavResult<SyncAnswer>> CalDavClient::changesSince(QUrl collection, QString token)
{
    HttpRequest request{
        "REPORT", collection, {{"Depth", "0"}, {"Content-Type", xmlType}}, DavBodies::syncCollection(token)};
    const CalDavResult<HttpAnswer> answer = co_await send(std::move(request));
    if (!answer)
        co_return answer.failure();
    if (answer->status != 207) {
        if (const std::optional<SyncFallback> fallback = syncFallback(*answer, token))
            co_return SyncAnswer{*fallback};
        co_return statusFailure(answer->status);
    }
    const std::optional<Multistatus> multistatus = readMultistatus(answer->body, answer->url);
    if (!multistatus)
        co_return CalDavFailure{CalDavFailure::Kind::badAnswer};
    // A server that ignored the report's kind answers without a token.
    if (multistatus->syncToken.isEmpty())
        co_return SyncAnswer{SyncFallback::unsupported};

    SyncChanges changes{{}, {}, multistatus->syncToken};
    for (const DavResponse& response : multistatus->responses) {
        if (sameResource(response.href, multistatus->base))
            changes.truncated = changes.truncated || response.status == 507;
        else if (response.status == 404)
            changes.removed.push_back(response.href);
        else if (!isCollection(response) && response.prop(davNamespace, u"getetag"))
            changes.changed.push_back({response.href, propText(response, davNamespace, u"getetag")});
    }
    co_return SyncAnswer{std::move(changes)};
}

QCoro::Task<CalDavResult<MultigetAnswer>> CalDavClient::multiget(QUrl collection, std::vector<QUrl> hrefs)
{
    MultigetAnswer result;
    for (std::size_t first = 0; first < hrefs.size(); first += multigetBatch) {
        const std::span<const QUrl> batch
            = std::span(hrefs).subspan(first, std::min<std::size_t>(multigetBatch, hrefs.size() - first));
        HttpRequest request{
            "REPORT", collection, {{"Depth", "1"}, {"Content-Type", xmlType}}, DavBodies::multiget(batch)};
        const CalDavResult<HttpAnswer> answer = co_await send(std::move(request));
        if (!answer)
            co_return answer.failure();
        if (answer->status != 207)
            co_return statusFailure(answer->status);
        const std::optional<Multistatus> multistatus = readMultistatus(answer->body, answer->url);
        if (!multistatus)
            co_return CalDavFailure{CalDavFailure::Kind::badAnswer};
        // Each href asked for is found with its text or missing, spelt as the caller spelt it.
        for (const QUrl& href : batch) {
            const auto response = std::ranges::find_if(multistatus->responses,
                [&href](const DavResponse& candidate) { return sameResource(candidate.href, href); });
            const XmlElement* data = response == multistatus->responses.end()
                ? nullptr
                : response->prop(calDavNamespace, u"calendar-data");
            if (data)
                result.resources.push_back(
                    {href, propText(*response, davNamespace, u"getetag"), calendarText(data->text)});
            else
                result.missing.push_back(href);
        }
    }
    co_return result;
}

QCoro::Task<CalDavResult<TaskResource>> CalDavClient::get(QUrl href)
{
    HttpRequest request{"GET", href};
    const CalDavResult<HttpAnswer> answer = co_await send(std::move(request));
    if (!answer)
        co_return answer.failure();
    if (answer->status != 200)
        co_return statusFailure(answer->status);
    co_return TaskResource{std::move(href), answer->etag, answer->body};
}

QCoro::Task<CalDavResult<Written>> CalDavClient::put(QUrl href, QByteArray text, QByteArray condition, QByteArray value)
{
    HttpRequest request{"PUT", std::move(href), {{condition, value}, {"Content-Type", calendarType}}, std::move(text)};
    const CalDavResult<HttpAnswer> answer = co_await send(std::move(request));
    if (!answer)
        co_return answer.failure();
    if (!succeeded(answer->status))
        co_return statusFailure(answer->status);
    co_return Written{answer->etag};
}

QCoro::Task<CalDavResult<Written>> CalDavClient::create(QUrl href, QByteArray text)
{
    co_return co_await put(
        std::move(href), std::move(text), QByteArrayLiteral("If-None-Match"), QByteArrayLiteral("*"));
}

QCoro::Task<CalDavResult<Written>> CalDavClient::update(QUrl href, QByteArray text, QString etag)
{
    co_return co_await put(std::move(href), std::move(text), QByteArrayLiteral("If-Match"), etag.toLatin1());
}

QCoro::Task<CalDavResult<Removed>> CalDavClient::remove(QUrl href, QString etag)
{
    HttpRequest request{"DELETE", std::move(href)};
    if (!etag.isEmpty())
        request.headers.append({"If-Match", etag.toLatin1()});
    const CalDavResult<HttpAnswer> answer = co_await send(std::move(request));
    if (!answer)
        co_return answer.failure();
    if (!succeeded(answer->status))
        co_return statusFailure(answer->status);
    co_return Removed{};
}

} // namespace vantory
