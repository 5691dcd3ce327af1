// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendarsync/ServerCheck.h"

#include "caldav/CalDavClient.h"
#include "model/SiteAddress.h"

#include <QCoreApplication>

namespace vantory::ServerCheck {

namespace {

// The client for a typed address, or the problem with it: a password never goes to an address
// the collection's own check refuses (plain http to another computer, credentials in the URL).
std::optional<std::string> prepare(CalDavClient& client, const CalendarServerLogin& login, const std::string& address)
{
    const SiteAddress::Checked checked = SiteAddress::checkCollection(address);
    if (!checked.usable())
        return checked.problem;
    client.setCredentials(QString::fromStdString(login.user), QString::fromStdString(login.password));
    return std::nullopt;
}

} // namespace

QCoro::Task<CalendarServerCheck> check(CalendarServerLogin login)
{
    CalDavClient client;
    if (auto problem = prepare(client, login, login.address))
        co_return CalendarServerCheck{false, std::move(*problem)};
    const QUrl address(QString::fromStdString(SiteAddress::checkCollection(login.address).address));
    const CalDavResult<CalendarDiscovery> found = co_await client.discover(address);
    if (!found)
        co_return CalendarServerCheck{false, calDavFailureText(found.failure())};
    CalendarServerCheck result{true, {}, found->home.toString().toStdString()};
    for (const DiscoveredCollection& collection : found->collections) {
        if (collection.tasks)
            result.collections.push_back(
                {collection.url.toString().toStdString(), collection.displayName.toStdString()});
    }
    // Not a cast inside the call: lupdate would miss the text.
    const int count = static_cast<int>(result.collections.size());
    result.text
        = (count == 0 ? QCoreApplication::translate("ServerCheck", "연결됐어요 · 할 일을 담는 캘린더가 없어요")
                      : QCoreApplication::translate("ServerCheck", "연결됐어요 · 할 일 캘린더 %n개", nullptr, count))
              .toStdString();
    co_return result;
}

QCoro::Task<Created> create(CalendarServerLogin login, std::string home)
{
    CalDavClient client;
    if (auto problem = prepare(client, login, home))
        co_return Created{std::nullopt, std::move(*problem)};
    const QUrl url(QString::fromStdString(home));
    const QString name = QStringLiteral("Vantory");
    const CalDavResult<QUrl> created = co_await client.createCollection(url, name);
    if (!created)
        co_return Created{std::nullopt, calDavFailureText(created.failure())};
    co_return Created{created->toString().toStdString(),
        QCoreApplication::translate("ServerCheck", "Vantory 캘린더를 만들었어요").toStdString()};
}

} // namespace vantory::ServerCheck
