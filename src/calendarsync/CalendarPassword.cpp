// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendarsync/CalendarPassword.h"

#include <QUrl>
#include <qt6keychain/keychain.h>

namespace vantory {

namespace {

const QString service = QStringLiteral("Vantory");

} // namespace

QString CalendarPassword::key(const QString& user, const QString& collection)
{
    return user + QLatin1Char('@') + QUrl(collection).authority(QUrl::FullyEncoded);
}

void CalendarPassword::read(const QString& key, std::function<void(QString)> done)
{
    // What this run was given is newer than anything stored.
    if (const auto known = memory_.find(key); known != memory_.end()) {
        QMetaObject::invokeMethod(
            &context_, [password = known->second, done = std::move(done)] { done(password); }, Qt::QueuedConnection);
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(service);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, &context_, [this, key, job, done = std::move(done)] {
        if (job->error() != QKeychain::NoError)
            return done({});
        memory_[key] = job->textData();
        done(job->textData());
    });
    job->start();
}

void CalendarPassword::keep(const QString& key, const QString& password, std::function<void(Kept)> done)
{
    memory_[key] = password;
    auto* job = new QKeychain::WritePasswordJob(service);
    job->setKey(key);
    job->setTextData(password);
    QObject::connect(job, &QKeychain::Job::finished, &context_, [job, done = std::move(done)] {
        done(job->error() == QKeychain::NoError ? Kept::secretStore : Kept::thisRunOnly);
    });
    job->start();
}

} // namespace vantory
