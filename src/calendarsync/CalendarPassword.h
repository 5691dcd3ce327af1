// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <map>

namespace vantory {

// The calendar server's password: in the desktop's secret store (Secret Service or KWallet) under
// the service "Vantory" and the key user@server, and in this object's memory once read or given.
// Where there is no secret store it lives in memory only, for this run. Never written anywhere else.
class CalendarPassword {
public:
    enum class Kept { secretStore, thisRunOnly };

    // "alice@cal.example.org:8443": one password per user and server, whichever collection.
    static QString key(const QString& user, const QString& collection);

    // The password for key, empty when none is known; done is called later, from the event loop.
    void read(const QString& key, std::function<void(QString)> done);
    // Keeps the password in memory at once and in the secret store where there is one.
    void keep(const QString& key, const QString& password, std::function<void(Kept)> done);

private:
    std::map<QString, QString> memory_;
    // Owns the jobs' connections, so a reply after this object is gone calls nothing.
    QObject context_;
};

} // namespace vantory
