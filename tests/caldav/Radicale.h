// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "caldav/CalDavClient.h"

#include "Await.h"
#include "support/TemporaryFolder.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

#include <fstream>
#include <gtest/gtest.h>

namespace vantory::test {

// Debian's Radicale on a loopback port the system picks, with a fresh storage folder and two users
// in a plain htpasswd file; stopped when the object goes.
class Radicale {
public:
    static constexpr const char* user = "alice";
    static constexpr const char* password = "correct horse";

    Radicale()
    {
        std::ofstream(folder_ / "users") << user << ':' << password << "\nbob:battery staple\n";
        const auto path = [this](const char* name) { return QString::fromStdString((folder_ / name).string()); };
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start(QStringLiteral(VANTORY_PYTHON3),
            {QStringLiteral("-m"), QStringLiteral("radicale"), QStringLiteral("--config="),
                QStringLiteral("--server-hosts=127.0.0.1:0"),
                QStringLiteral("--storage-filesystem-folder=") + path("storage"),
                QStringLiteral("--auth-type=htpasswd"), QStringLiteral("--auth-htpasswd-filename=") + path("users"),
                QStringLiteral("--auth-htpasswd-encryption=plain"), QStringLiteral("--logging-level=info")});
        // The port is in the log line "Listening on '[127.0.0.1]:PORT'", written before it serves.
        static const QRegularExpression listening(QStringLiteral(R"(Listening on '\[127\.0\.0\.1\]:(\d+)')"));
        QByteArray log;
        (void)QTest::qWaitFor(
            [&] {
                log += process_.readAllStandardError();
                const QRegularExpressionMatch match = listening.match(QString::fromUtf8(log));
                if (match.hasMatch())
                    url_ = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(match.captured(1)));
                return url_.isValid() || process_.state() == QProcess::NotRunning;
            },
            15'000);
        EXPECT_TRUE(url_.isValid()) << log.toStdString();
        // Its log goes on with every request; a full pipe would stop the server.
        QObject::connect(
            &process_, &QProcess::readyReadStandardError, &process_, [this] { process_.readAllStandardError(); });
    }
    ~Radicale()
    {
        process_.terminate();
        if (!process_.waitForFinished(5'000))
            process_.kill();
    }
    Radicale(const Radicale&) = delete;
    Radicale& operator=(const Radicale&) = delete;

    // The server's bare address, as a student would type it.
    const QUrl& url() const { return url_; }

private:
    TemporaryFolder folder_;
    QProcess process_;
    QUrl url_;
};

} // namespace vantory::test
