// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "protocol/WebPage.h"

namespace vantory::test {

constexpr int webWaitMs = 20000;

inline const auto text = [](std::string value) -> ScriptOutcome { return ScriptValue{ScriptValue::Kind::text, value}; };
inline const auto thrown
    = [](const ScriptOutcome& o) { return o.index() == 1 ? std::get<1>(o).message : std::string(); };

// A Python test server that prints its port on its first line and stops when its stdin closes.
struct TestServer {
    explicit TestServer(const char* script)
    {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(VANTORY_PYTHON3), {QString::fromUtf8(script)});
        if (QTest::qWaitFor([this] { return process.canReadLine(); }, webWaitMs))
            port = QString::fromLatin1(process.readLine()).trimmed().toInt();
        network.setProxy(QNetworkProxy::NoProxy);
    }
    ~TestServer()
    {
        process.closeWriteChannel();
        if (!process.waitForFinished(5000))
            process.kill();
    }

    std::string base(std::string host = "127.0.0.1") const { return "http://" + host + ":" + std::to_string(port); }

    bool setScenario(const nlohmann::json& scenario)
    {
        QNetworkRequest request(QUrl(QString::fromStdString(base() + "/__control")));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        std::unique_ptr<QNetworkReply> reply(network.post(request, QByteArray::fromStdString(scenario.dump())));
        return QTest::qWaitFor([&] { return reply->isFinished(); }, webWaitMs)
            && reply->error() == QNetworkReply::NoError;
    }

    QProcess process;
    QNetworkAccessManager network;
    int port = 0;
};

enum class Ending { none, finished, failed, terminated };

// Records how each load of a page ends, with the page's URL and loading state at that moment.
struct PageWatch {
    explicit PageWatch(WebPage& page)
        : page(page)
    {
        const auto end = [this](Ending how) {
            endings.push_back(how);
            urlAtEnd = this->page.url();
            loadingAtEnd = this->page.isLoading();
        };
        page.onFinished = [end] { end(Ending::finished); };
        page.onFailed = [end](const PageError&) { end(Ending::failed); };
        page.onTerminated = [end] { end(Ending::terminated); };
    }

    Ending load(const std::string& url)
    {
        endings.clear();
        page.load(url, 35);
        return QTest::qWaitFor([this] { return !endings.empty(); }, webWaitMs) ? endings.front() : Ending::none;
    }

    // The outcome of a script, or of an async body; terminated when none comes.
    ScriptOutcome run(const std::string& script, bool async = false)
    {
        std::optional<ScriptOutcome> outcome;
        auto done = [&outcome](ScriptOutcome o) { outcome = std::move(o); };
        async ? page.callAsync(script, done) : page.evaluate(script, done);
        EXPECT_TRUE(QTest::qWaitFor([&outcome] { return outcome.has_value(); }, webWaitMs))
            << "no outcome of " << script;
        return outcome.value_or(PageError{PageError::Kind::terminated});
    }

    WebPage& page;
    std::vector<Ending> endings;
    std::string urlAtEnd;
    bool loadingAtEnd = true;
};

} // namespace vantory::test
