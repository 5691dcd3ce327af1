// SPDX-License-Identifier: GPL-3.0-or-later
#include "caldav/CalDavClient.h"

#include "Await.h"
#include "RadicaleSuite.h"

#include <gtest/gtest.h>

namespace vantory {
namespace {

using test::Radicale;

QByteArray task(const QString& uid)
{
    return QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Vantory tests//EN\r\nBEGIN:VTODO\r\nUID:%1\r\n"
                          "DTSTAMP:20261207T120000Z\r\nSUMMARY:과제 %1\r\nSTATUS:NEEDS-ACTION\r\nEND:VTODO\r\n"
                          "END:VCALENDAR\r\n")
        .arg(uid)
        .toUtf8();
}

class RadicaleTest : public test::RadicaleSuite {
protected:
    // A new task in the collection, with its href and ETag.
    ResourceTag put(const QString& uid)
    {
        const QUrl href = CalDavClient::memberUrl(collection, uid + QStringLiteral(".ics"));
        const CalDavResult<Written> written = test::await(client.create(href, task(uid)));
        EXPECT_TRUE(written) << calDavFailureText(written.failure());
        return {href, written ? written->etag : QString()};
    }

    // The task's text on the server; empty when it cannot be read.
    QByteArray text(const QUrl& href)
    {
        const CalDavResult<TaskResource> read = test::await(client.get(href));
        EXPECT_TRUE(read);
        return read ? read->text : QByteArray();
    }

    SyncChanges changes(const QString& token)
    {
        const CalDavResult<SyncAnswer> answer = test::await(client.changesSince(collection, token));
        EXPECT_TRUE(answer && std::holds_alternative<SyncChanges>(*answer));
        return answer && std::holds_alternative<SyncChanges>(*answer) ? std::get<SyncChanges>(*answer) : SyncChanges{};
    }
};

TEST_F(RadicaleTest, DiscoversTheCollectionsFromTheBareAddressAndFromTheCollectionItself)
{
    EXPECT_EQ(home.path(), QStringLiteral("/alice/"));
    const CalDavResult<CalendarDiscovery> found = test::await(client.discover(server->url()));
    ASSERT_TRUE(found);
    const auto listed = std::ranges::find_if(
        found->collections, [this](const DiscoveredCollection& candidate) { return candidate.url == collection; });
    ASSERT_NE(listed, found->collections.end());
    EXPECT_TRUE(listed->displayName == QStringLiteral("Vantory") && listed->tasks);

    const CalDavResult<CalendarDiscovery> itself = test::await(client.discover(collection));
    ASSERT_TRUE(itself);
    EXPECT_TRUE(itself->home.isEmpty() && itself->collections.size() == 1 && itself->collections[0].url == collection);
}

TEST_F(RadicaleTest, WritesOnlyOverTheVersionItRead)
{
    const ResourceTag first = put(QStringLiteral("race"));
    ASSERT_FALSE(first.etag.isEmpty());
    EXPECT_EQ(test::await(client.create(first.href, task(QStringLiteral("race")))).failure().kind,
        CalDavFailure::Kind::conflict);

    QByteArray done = task(QStringLiteral("race")).replace("NEEDS-ACTION", "COMPLETED");
    const CalDavResult<Written> second = test::await(client.update(first.href, done, first.etag));
    ASSERT_TRUE(second);
    // The other computer wrote in between: its stale ETag no longer holds.
    const CalDavResult<Written> stale
        = test::await(client.update(first.href, task(QStringLiteral("race")), first.etag));
    EXPECT_TRUE(!stale && stale.failure().kind == CalDavFailure::Kind::conflict);
    EXPECT_TRUE(text(first.href).contains("STATUS:COMPLETED"));
}

TEST_F(RadicaleTest, SyncsOnlyWhatChangedAndReadsManyTextsInBatches)
{
    constexpr int count = CalDavClient::multigetBatch + 20;
    std::vector<QUrl> hrefs;
    for (int index = 0; index < count; ++index)
        hrefs.push_back(put(QStringLiteral("task-%1").arg(index)).href);

    const SyncChanges all = changes({});
    EXPECT_EQ(all.changed.size(), std::size_t(count));
    ASSERT_FALSE(all.token.isEmpty());

    const CalDavResult<TaskResource> one = test::await(client.get(hrefs[7]));
    ASSERT_TRUE(one);
    ASSERT_TRUE(test::await(
        client.update(hrefs[7], task(QStringLiteral("task-7")).replace("NEEDS-ACTION", "COMPLETED"), one->etag)));
    ASSERT_TRUE(test::await(client.remove(hrefs[9], {})));
    const SyncChanges since = changes(all.token);
    ASSERT_EQ(since.changed.size(), 1u);
    EXPECT_EQ(std::tuple(since.changed.front().href, since.removed, changes(since.token).changed.empty()),
        std::tuple(hrefs[7], std::vector{hrefs[9]}, true));
    const CalDavResult<SyncAnswer> unknown
        = test::await(client.changesSince(collection, QStringLiteral("http://radicale.org/ns/sync/unknown")));
    EXPECT_TRUE(unknown && std::get<SyncFallback>(*unknown) == SyncFallback::tokenRejected);

    const CalDavResult<MultigetAnswer> texts = test::await(client.multiget(collection, hrefs));
    ASSERT_TRUE(texts);
    ASSERT_EQ(texts->resources.size(), std::size_t(count - 1));
    EXPECT_EQ(texts->missing, std::vector{hrefs[9]});
    // CR LF again, though XML carried the text with bare line feeds.
    EXPECT_TRUE(texts->resources[7].text.contains("STATUS:COMPLETED\r\n"));

    const CalDavResult<CollectionTags> tags = test::await(client.memberTags(collection));
    ASSERT_TRUE(tags);
    EXPECT_TRUE(
        tags->members.size() == std::size_t(count - 1) && !tags->ctag.isEmpty() && tags->syncToken == since.token);
}

TEST_F(RadicaleTest, SeesATaskCheckedOffOnThePhone)
{
    const ResourceTag ours = put(QStringLiteral("phone"));
    const QString token = changes({}).token;

    ASSERT_TRUE(phoneCompletes(QStringLiteral("phone")));

    const SyncChanges since = changes(token);
    ASSERT_EQ(since.changed.size(), 1u);
    EXPECT_TRUE(since.changed.front().href == ours.href && since.changed.front().etag != ours.etag);
    EXPECT_TRUE(text(ours.href).contains("STATUS:COMPLETED"));
}

TEST_F(RadicaleTest, FailsWithTheServersReason)
{
    EXPECT_EQ(test::await(client.get(CalDavClient::memberUrl(collection, QStringLiteral("none.ics")))).failure().kind,
        CalDavFailure::Kind::notFound);

    client.setCredentials(QString::fromLatin1(Radicale::user), QStringLiteral("wrong"));
    const CalDavResult<CalendarDiscovery> refused = test::await(client.discover(server->url()));
    ASSERT_FALSE(refused);
    EXPECT_EQ(std::tuple(refused.failure().kind, calDavFailureText(refused.failure())),
        std::tuple(CalDavFailure::Kind::unauthorized, "사용자 이름이나 암호가 맞지 않습니다 (HTTP 401)"));
}

} // namespace
} // namespace vantory
