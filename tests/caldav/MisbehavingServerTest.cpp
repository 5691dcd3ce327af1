// SPDX-License-Identifier: GPL-3.0-or-later
#include "caldav/CalDavClient.h"

#include "Await.h"
#include "RequestServer.h"

#include <QFile>
#include <QNetworkReply>
#include <QSslKey>
#include <QSslServer>

#include <functional>
#include <gtest/gtest.h>

namespace vantory {

// Found by argument-dependent lookup, so not in the unnamed namespace.
void PrintTo(const CalDavFailure& failure, std::ostream* out)
{
    *out << calDavFailureText(failure);
}

namespace {

using namespace std::chrono_literals;

// A loopback HTTP server that answers each whole request with the bytes a script gives for it,
// then closes; an empty answer leaves the client waiting.
class ScriptedServer {
public:
    using Script = std::function<QByteArray(const QByteArray& requestLine)>;

    explicit ScriptedServer(const Script& script)
        : server_([script](QTcpSocket* socket, const QByteArray& head, const QByteArray&) {
            const QByteArray answer = script(head.left(head.indexOf("\r\n")));
            if (answer.isEmpty())
                return;
            socket->write(answer);
            socket->disconnectFromHost();
        })
    {
    }

    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.port()).arg(path));
    }

private:
    test::RequestServer server_;
};

QByteArray answer(const QByteArray& status, const QByteArray& body, const QByteArray& headers = {})
{
    return "HTTP/1.1 " + status + "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n"
        + headers + "\r\n" + body;
}

QByteArray multistatus(const QByteArray& href)
{
    return answer("207 Multi-Status",
        R"(<?xml version="1.0"?><multistatus xmlns="DAV:"><response><href>)" + href
            + R"(</href><propstat><prop><getetag>"1"</getetag></prop><status>HTTP/1.1 200 OK</status>)"
              "</propstat></response></multistatus>");
}

template <typename T> CalDavFailure failureOf(QCoro::Task<CalDavResult<T>>&& task)
{
    const CalDavResult<T> result = test::await(std::move(task));
    EXPECT_FALSE(result);
    return result ? CalDavFailure{} : result.failure();
}

enum class Operation { put, list };

struct Case {
    const char* name;
    Operation operation;
    QByteArray answer; // empty: no answer at all
    CalDavFailure expected;
};

void PrintTo(const Case& scripted, std::ostream* out)
{
    *out << scripted.name;
}

class MisbehavingServerTest : public ::testing::TestWithParam<Case> { };

TEST_P(MisbehavingServerTest, EndsInTheFailureThatSaysWhy)
{
    ScriptedServer server([](const QByteArray&) { return GetParam().answer; });
    CalDavClient client(HttpLimits{500ms, 64 * 1024});
    client.setCredentials(QStringLiteral("alice"), QStringLiteral("secret"));
    const QUrl collection = server.url(QStringLiteral("/alice/tasks/"));
    const CalDavFailure failure = GetParam().operation == Operation::put
        ? failureOf(client.create(CalDavClient::memberUrl(collection, QStringLiteral("a.ics")), "BEGIN:VCALENDAR"))
        : failureOf(client.memberTags(collection));
    EXPECT_EQ(failure, GetParam().expected) << calDavFailureText(failure);
}

using Kind = CalDavFailure::Kind;
const QByteArray illFormed = answer("207 Multi-Status", R"(<multistatus xmlns="DAV:"><response><href>/a)");
const QByteArray entities = answer("207 Multi-Status",
    R"(<?xml version="1.0"?><!DOCTYPE m [<!ENTITY a "aaaaaaaaaa">]>)"
    R"(<multistatus xmlns="DAV:"><response><href>&a;</href></response></multistatus>)");
const QByteArray deep = answer("207 Multi-Status",
    R"(<multistatus xmlns="DAV:">)" + QByteArray("<a>").repeated(40) + QByteArray("</a>").repeated(40)
        + "</multistatus>");

INSTANTIATE_TEST_SUITE_P(Answers, MisbehavingServerTest,
    ::testing::Values(Case{"Forbidden", Operation::put, answer("403 Forbidden", {}), {Kind::forbidden, 403}},
        Case{"Full", Operation::put, answer("507 Insufficient Storage", {}), {Kind::insufficientStorage, 507}},
        Case{"OtherStatus", Operation::put, answer("503 Service Unavailable", {}), {Kind::httpStatus, 503}},
        Case{"StopsMidAnswer", Operation::list, multistatus("/alice/tasks/a.ics").chopped(40),
            {Kind::network, QNetworkReply::RemoteHostClosedError}},
        Case{"Silent", Operation::list, {}, {Kind::timedOut, 1}},
        Case{"Oversized", Operation::list, answer("207 Multi-Status", QByteArray(70'000, ' ')), {Kind::badAnswer}},
        Case{"IllFormed", Operation::list, illFormed, {Kind::badAnswer}},
        Case{"Entities", Operation::list, entities, {Kind::badAnswer}},
        Case{"TooDeep", Operation::list, deep, {Kind::badAnswer}},
        Case{"ForeignHref", Operation::list, multistatus("https://elsewhere.example/a.ics"), {Kind::badAnswer}},
        Case{"RedirectToHttp", Operation::list,
            answer("301 Moved Permanently", {}, "Location: http://calendar.example/\r\n"), {Kind::badRedirect}}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(CalDavFailureTest, SaysWhyInAFewWordsWithTheNumberForSupport)
{
    const std::pair<CalDavFailure, const char*> cases[]
        = {{{Kind::network, QNetworkReply::ConnectionRefusedError}, "캘린더 서버가 연결을 거부했습니다 (오류 1)"},
            {{Kind::timedOut, 30}, "캘린더 서버가 30초 동안 응답하지 않았습니다"},
            {{Kind::tls, 11}, "캘린더 서버와 보안 연결에 실패했습니다 (오류 11)"},
            {{Kind::insufficientStorage, 507}, "캘린더 서버의 저장 공간이 부족합니다 (HTTP 507)"},
            {{Kind::notCalendarServer}, "이 주소에서 캘린더를 찾을 수 없습니다"}};
    for (const auto& [failure, text] : cases)
        EXPECT_EQ(calDavFailureText(failure), text);
}

TEST(ScriptedServerTest, RefusesACertificateItCannotTrust)
{
    const auto read = [](const char* name) {
        QFile file(QStringLiteral(VANTORY_TESTS "/caldav/") + QString::fromLatin1(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    };
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate(read("self-signed.crt")));
    tls.setPrivateKey(QSslKey(read("self-signed.key"), QSsl::Rsa));
    QSslServer server;
    server.setSslConfiguration(tls);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    CalDavClient client;
    const QUrl address(QStringLiteral("https://127.0.0.1:%1/alice/").arg(server.serverPort()));
    EXPECT_EQ(failureOf(client.discover(address)), (CalDavFailure{Kind::tls, QSslError::SelfSignedCertificate}));
}

TEST(ScriptedServerTest, DiscoversThroughTheWellKnownAddressAndThePrincipal)
{
    // Each "<r>…</r>" is a response about href with those properties.
    const auto propfind = [](const QByteArray& href, QByteArray props) {
        return answer("207 Multi-Status",
            R"(<multistatus xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav">)"
                + props.replace("<r>", "<response><href>" + href + "</href><propstat><prop>")
                      .replace("</r>", "</prop><status>HTTP/1.1 200 OK</status></propstat></response>")
                + "</multistatus>");
    };
    ScriptedServer server([&](const QByteArray& line) {
        if (line.startsWith("PROPFIND /.well-known/caldav "))
            return answer("301 Moved Permanently", {}, "Location: /dav/\r\n");
        if (line.startsWith("PROPFIND /dav/ "))
            return propfind(
                "/dav/", "<r><current-user-principal><href>principals/alice/</href></current-user-principal></r>");
        if (line.startsWith("PROPFIND /dav/principals/alice/ "))
            return propfind(
                "/dav/principals/alice/", "<r><C:calendar-home-set><href>/cal/</href></C:calendar-home-set></r>");
        if (line.startsWith("PROPFIND /cal/ "))
            return propfind("/cal/",
                "<r><resourcetype><collection/></resourcetype></r>"
                "<response><href>/cal/events/</href><propstat><prop><resourcetype><collection/>"
                "<C:calendar/></resourcetype><C:supported-calendar-component-set><C:comp name=\"VEVENT\"/>"
                "</C:supported-calendar-component-set></prop><status>HTTP/1.1 200 OK</status></propstat>"
                "</response><response><href>/cal/tasks/</href><propstat><prop><resourcetype>"
                "<collection/><C:calendar/></resourcetype><displayname>할 일</displayname></prop>"
                "<status>HTTP/1.1 200 OK</status></propstat></response>");
        return answer("404 Not Found", {});
    });
    CalDavClient client;
    const CalDavResult<CalendarDiscovery> found = test::await(client.discover(server.url(QStringLiteral("/"))));
    ASSERT_TRUE(found) << calDavFailureText(found.failure());
    ASSERT_EQ(found->collections.size(), 2u);
    const DiscoveredCollection& tasks = found->collections[1];
    EXPECT_EQ(std::tuple(found->home, found->collections[0].tasks, tasks.url, tasks.displayName, tasks.tasks),
        std::tuple(server.url(QStringLiteral("/cal/")), false, server.url(QStringLiteral("/cal/tasks/")),
            QStringLiteral("할 일"), true));
}

} // namespace
} // namespace vantory
