// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace vantory {

namespace {

constexpr int handOverTimeoutMs = 2000;

QString runtimeDirectory()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

} // namespace

SingleInstance::SingleInstance(const std::filesystem::path& stateFile, QObject* parent)
    : QObject(parent)
{
    const QByteArray path = QByteArray::fromStdString(std::filesystem::absolute(stateFile).lexically_normal().string());
    key_ = QStringLiteral("vantory-")
        + QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(24));
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Claim SingleInstance::claim(const QStringList& arguments)
{
    lock_ = std::make_unique<QLockFile>(QDir(runtimeDirectory()).filePath(key_ + QStringLiteral(".lock")));
    lock_->setStaleLockTime(0); // a lock is stale only when its process is gone
    if (!lock_->tryLock(0)) {
        QLocalSocket socket;
        socket.connectToServer(key_);
        if (!socket.waitForConnected(handOverTimeoutMs))
            return Claim::ownerUnreachable;
        socket.write(arguments.join(QLatin1Char('\n')).toUtf8());
        const bool written = socket.waitForBytesWritten(handOverTimeoutMs) || socket.bytesToWrite() == 0;
        socket.disconnectFromServer();
        return written ? Claim::handedOver : Claim::ownerUnreachable;
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(key_); // left behind by a process that held the lock and died
    // Without the socket this process still owns the state file: the lock, not the socket,
    // keeps a second writer out. Only the hand-over from later launches is lost.
    if (server_->listen(key_))
        connect(server_, &QLocalServer::newConnection, this, &SingleInstance::receive);
    return Claim::owner;
}

bool SingleInstance::acceptsHandOver() const
{
    return server_ && server_->isListening();
}

void SingleInstance::receive()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readChannelFinished, this, [this, socket] {
            const QString message = QString::fromUtf8(socket->readAll());
            Q_EMIT activationRequested(message.split(QLatin1Char('\n')));
        });
    }
}

} // namespace vantory
