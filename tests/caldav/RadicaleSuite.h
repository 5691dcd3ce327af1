// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Radicale.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace vantory::test {

// One server for the suite and, for each test, a task collection of its own, made by the client
// signed in as Radicale::user.
class RadicaleSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new Radicale; }
    static void TearDownTestSuite() { delete server; }

    void SetUp() override
    {
        ASSERT_TRUE(server->url().isValid());
        client.setCredentials(QString::fromLatin1(Radicale::user), QString::fromLatin1(Radicale::password));
        const CalDavResult<CalendarDiscovery> found = await(client.discover(server->url()));
        ASSERT_TRUE(found) << calDavFailureText(found.failure());
        home = found->home;
        const CalDavResult<QUrl> created = await(client.createCollection(home, QStringLiteral("Vantory")));
        ASSERT_TRUE(created) << calDavFailureText(created.failure());
        collection = *created;
    }

    // A phone's task app checks the task of that UID off; whether it could.
    bool phoneCompletes(const QString& uid) const
    {
        return QProcess::execute(QStringLiteral(VANTORY_PYTHON3),
                   {QStringLiteral(VANTORY_TESTS "/caldav/phone.py"), collection.toString(),
                       QString::fromLatin1(Radicale::user), QString::fromLatin1(Radicale::password), uid})
            == 0;
    }

    static inline Radicale* server = nullptr;
    CalDavClient client;
    QUrl home;
    QUrl collection;
};

} // namespace vantory::test
