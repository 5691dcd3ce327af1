// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QObject>
#include <QStringList>

#include <filesystem>
#include <memory>

class QLocalServer;

namespace vantory {

// One process per state file. The first launch for a file takes a lock keyed by the file's path
// and listens on a local socket; a later launch for the same file sends its arguments there and
// exits, so two processes never write one state file. Another "--data-dir" is another instance.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const std::filesystem::path& stateFile, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Claim {
        owner, // this process owns the state file now
        handedOver, // another process owns it and has the arguments
        ownerUnreachable, // another process owns it but could not be reached
    };
    Claim claim(const QStringList& arguments);

    // Whether a later launch can reach this owner. False when the local socket could not be
    // opened: the process still owns the state file, but a later launch cannot hand over.
    bool acceptsHandOver() const;

Q_SIGNALS:
    // A later launch for the same state file asked this instance to show itself.
    void activationRequested(const QStringList& arguments);

private:
    void receive();

    QString key_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

} // namespace vantory
