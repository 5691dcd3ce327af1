// SPDX-License-Identifier: GPL-3.0-or-later
// The worker protocol as untrusted input: every message survives a round trip, anything else decodes to nothing.

#include "protocol/WorkerProtocol.h"

#include <QList>

#include <cmath>
#include <gtest/gtest.h>

using namespace vantory;
using namespace vantory::WorkerProtocol;

namespace {

// Each message one line: a newline at its end and nowhere else.
template <typename Message, typename Decode> void expectRoundTrips(const std::vector<Message>& messages, Decode decode)
{
    for (const Message& message : messages) {
        const QByteArray line = encode(message);
        const auto decoded = line.count('\n') == 1 && line.endsWith('\n') ? decode(line.chopped(1)) : std::nullopt;
        ASSERT_TRUE(decoded) << line.left(200).toStdString();
        EXPECT_EQ(encode(*decoded), line);
    }
}

TEST(WorkerProtocol, EveryMessageSurvivesARoundTrip)
{
    expectRoundTrips<Command>(
        {Hello{}, Load{PageId::canvas, 7, QStringLiteral("https://x/?a=1&b=\"2\""), 35}, Stop{PageId::assessmentLogin},
            Evaluate{PageId::assessment, 12, QStringLiteral("var x = '한글\\n';\nx"), false},
            Evaluate{PageId::canvasLogin, 13, QStringLiteral("return 1;"), true}, ShowLogin{PageId::canvasLogin, true},
            LoginTexts{PageId::assessmentLogin, QStringLiteral("최근"), QString(), false}, Quit{}},
        decodeCommand);
    // A non-finite timeout is sent as none.
    const QByteArray load = encode(Load{PageId::canvas, 1, {}, std::nan("")});
    EXPECT_EQ(std::get<Load>(*decodeCommand(load.chopped(1))).timeout, 0);

    using Nav = Navigation;
    expectRoundTrips<Event>(
        {Ready{}, Nav{PageId::assessment, 3, Nav::State::started, QStringLiteral("about:blank")},
            Nav{PageId::canvas, 4, Nav::State::finished, QStringLiteral("https://canvas.example/login")},
            Nav{PageId::canvas, 4, Nav::State::finished, QStringLiteral("https://canvas.example/"), false, {}, 503},
            Nav{PageId::canvasLogin, 5, Nav::State::failed, QString(), true, {LoadFailure::Kind::network, -3}},
            Nav{PageId::assessment, 6, Nav::State::failed, QString(), false, {LoadFailure::Kind::timedOut, 35}},
            Nav{PageId::assessment, 7, Nav::State::failed, QString(), false, {LoadFailure::Kind::badAddress, 0}},
            UrlChanged{PageId::assessmentLogin, QStringLiteral("https://sso.example/")}, Terminated{PageId::canvas},
            Result{1, ScriptValue{ScriptValue::Kind::text, std::string(300'000, 'x') + "끝"}},
            Result{2, ScriptValue{ScriptValue::Kind::flag, {}, true}}, Result{3, ScriptValue{}},
            Result{4, PageError{PageError::Kind::script, "boom"}}, Result{5, PageError{PageError::Kind::terminated}},
            LoginButton{PageId::canvasLogin, LoginButton::Button::closed},
            LoginButton{PageId::assessmentLogin, LoginButton::Button::addresses}},
        decodeEvent);
}

TEST(WorkerProtocol, RejectsAnythingThatIsNotExactlyAMessage)
{
    const QByteArray nested = QByteArray(100'000, '[') + QByteArray(100'000, ']');
    QByteArray oversized = R"({"type":"result","call":1,"kind":"text","text":")";
    oversized += QByteArray(maxMessageBytes, 'x') + R"("})";
    const auto navigation = [](const char* rest) {
        return R"({"type":"navigation","page":"canvas","load":1,"state":)" + QByteArray(rest) + "}";
    };
    const auto failed = [&](const char* reason) {
        return navigation(R"("failed","url":"","cancelled":false,)" + QByteArray(reason));
    };
    const std::pair<const char*, QByteArray> cases[] = {{"empty", ""}, {"not JSON", "garbage"},
        {"truncated", R"({"type":"ready","version":1)"}, {"trailing bytes", R"({"type":"ready","version":1} x)"},
        {"array", R"([{"type":"ready","version":1}])"}, {"no type", R"({"version":1})"},
        {"unknown type", R"({"type":"hello","version":1})"}, // a command, not an event
        {"missing field", R"({"type":"url","page":"canvas"})"},
        {"unknown field", R"({"type":"ready","version":1,"extra":true})"},
        {"wrong type of field", R"({"type":"terminated","page":1})"},
        {"unknown page", R"({"type":"terminated","page":"other"})"},
        {"hidden page for a window", R"({"type":"loginButton","page":"canvas","button":"sync"})"},
        {"unknown button", R"({"type":"loginButton","page":"canvasLogin","button":"open"})"},
        {"number as text", R"({"type":"result","call":"1","kind":"other"})"},
        {"negative integer", R"({"type":"result","call":-1,"kind":"other"})"},
        {"fraction in an integer", R"({"type":"result","call":1.5,"kind":"other"})"},
        {"integer beyond 2^53", R"({"type":"result","call":1e300,"kind":"other"})"},
        {"infinite number", R"({"type":"result","call":1e999,"kind":"other"})"},
        {"NaN literal", R"({"type":"result","call":NaN,"kind":"other"})"},
        {"version zero", R"({"type":"ready","version":0})"},
        {"unknown outcome", R"({"type":"result","call":1,"kind":"network","message":"x"})"},
        {"text outcome without text", R"({"type":"result","call":1,"kind":"text"})"},
        {"flag outcome with a number", R"({"type":"result","call":1,"kind":"flag","flag":1})"},
        {"extra field on a finished navigation", navigation(R"("finished","url":"","httpStatus":0,"cancelled":false)")},
        {"finished navigation without its status", navigation(R"("finished","url":"")")},
        {"a status that is no error", navigation(R"("finished","url":"","httpStatus":200)")},
        {"failed navigation without its reason", navigation(R"("failed","url":"","cancelled":false)")},
        {"the last version's text for a reason", failed(R"("message":"x")")},
        {"a failed navigation as an error page", failed(R"("failure":"httpStatus","code":503)")},
        {"a net error above zero", failed(R"("failure":"network","code":102)")},
        {"a time-out of no length", failed(R"("failure":"timedOut","code":0)")},
        {"unknown reason", failed(R"("failure":"dns","code":-105)")},
        {"unknown navigation state", navigation(R"("done","url":"")")}, {"deep nesting", nested},
        {"nested object as a field", R"({"type":"url","page":"canvas","url":{"href":"x"}})"},
        {"invalid UTF-8", "{\"type\":\"url\",\"page\":\"canvas\",\"url\":\"\xff\xfe\"}"}, {"oversized", oversized}};
    for (const auto& [why, line] : cases)
        EXPECT_FALSE(decodeEvent(line)) << why;

    EXPECT_FALSE(decodeCommand(R"({"type":"load","page":"canvas","load":1,"url":"x","timeout":-1})"));
    EXPECT_FALSE(decodeCommand(R"({"type":"ready","version":1})")); // an event, not a command
    EXPECT_FALSE(decodeCommand(R"({"type":"quit","now":true})"));
}

// Every reason a load gives reads as its own Korean text, with its number kept for support.
TEST(LoadFailure, EachEngineErrorAndStatusReadsAsItsOwnText)
{
    using Kind = LoadFailure::Kind;
    // -802 is of the resolver's range, -202 an untrusted certificate, -107 a TLS handshake, -753 of the certificate
    // manager's range.
    const std::pair<const char*, std::vector<int>> network[]
        = {{"사이트가 연결을 거부했습니다", {-102}}, {"사이트 주소를 찾을 수 없습니다", {-105, -137, -802}},
            {"보안 연결에 실패했습니다", {-202, -107, -753}}, {"사이트가 응답하지 않습니다", {-7, -118}},
            {"인터넷에 연결되어 있지 않습니다", {-106, -21}}, {"사이트와의 연결이 끊어졌습니다", {-101, -324}},
            {"사이트에 연결할 수 없습니다", {-109}}, {"이 포트로는 연결할 수 없습니다", {-312}},
            {"사이트가 페이지를 너무 여러 번 옮겼습니다", {-310}}, {"페이지를 불러오지 못했습니다", {-3}}};
    for (const auto& [text, codes] : network)
        for (const int code : codes)
            EXPECT_EQ(
                loadFailureText({Kind::network, code}), std::string(text) + " (오류 " + std::to_string(code) + ")");
    const std::pair<LoadFailure, const char*> others[] = {
        {{Kind::httpStatus, 503}, "사이트가 오류 페이지로 답했습니다 (HTTP 503)"},
        {{Kind::httpStatus, 404}, "사이트가 오류 페이지로 답했습니다 (HTTP 404)"},
        {{Kind::timedOut, 35}, "사이트가 35초 동안 응답하지 않았습니다"}, {{Kind::badAddress, 0}, "잘못된 주소입니다"}};
    for (const auto& [failure, text] : others)
        EXPECT_EQ(loadFailureText(failure), text) << failure.code;
}

// An unending line from the worker is RemoteWebHostTest's (FakeWorkerTest "oversized").
TEST(LineBuffer, SplitsAStreamWhereverItIsCutUpToTheLongestMessage)
{
    const QByteArray stream = encode(Ready{}) + encode(Terminated{PageId::canvas}) + encode(Quit{});
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        LineBuffer buffer;
        QList<QByteArray> lines;
        for (const QByteArray& part : {stream.left(cut), stream.mid(cut)}) {
            buffer.append(part);
            while (const auto line = buffer.take())
                lines.append(*line);
        }
        ASSERT_EQ(lines.size(), 3) << cut;
        EXPECT_TRUE(decodeEvent(lines[0]) && decodeEvent(lines[1]) && decodeCommand(lines[2]) && !buffer.overflowed());
    }

    LineBuffer complete;
    complete.append(QByteArray(maxMessageBytes + 1, 'x') + "\n" + encode(Ready{}));
    EXPECT_FALSE(complete.take() || !complete.overflowed() || complete.take()) << "nothing after it is trusted either";

    LineBuffer largest;
    largest.append(QByteArray(maxMessageBytes, 'x') + "\n");
    EXPECT_EQ(largest.take().value_or(QByteArray()).size(), maxMessageBytes);
}

} // namespace
