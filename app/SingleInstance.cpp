#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QLockFile>

namespace vantrelo {
namespace {

const QByteArray ShowRequest = "show\n";
constexpr int WaitMs = 2000;

} // namespace

TSingleInstance::TSingleInstance(QString key, QObject* parent) : QObject(parent), FKey(std::move(key)) {
    FServer.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&FServer, &QLocalServer::newConnection, this, &TSingleInstance::Accept);
}

QString TSingleInstance::KeyFor(const QString& executablePath) {
    QByteArray who = QDir::cleanPath(executablePath).toUtf8() + '|' + QDir::homePath().toUtf8();
#ifdef _WIN32
    who = who.toLower();  // one file, however its path is spelled
#endif
    return QStringLiteral("vantrelo-") + QString::fromLatin1(QCryptographicHash::hash(who, QCryptographicHash::Sha1).toHex().left(20));
}

bool TSingleInstance::HandOver() {
    // Two launches at the same moment must not both decide they are the first.
    QLockFile lock(QDir::temp().filePath(FKey + QStringLiteral(".lock")));
    lock.tryLock(WaitMs);

    QLocalSocket peer;
    peer.connectToServer(FKey);
    if (peer.waitForConnected(WaitMs)) {
        peer.write(ShowRequest);
        peer.waitForBytesWritten(WaitMs);
        peer.disconnectFromServer();
        return true;
    }
    // A copy that crashed leaves its socket file behind.
    QLocalServer::removeServer(FKey);
    FServer.listen(FKey);
    return false;
}

void TSingleInstance::Accept() {
    while (QLocalSocket* peer = FServer.nextPendingConnection()) {
        auto read = [this, peer] {
            if (peer->canReadLine() && peer->readLine() == ShowRequest) emit Activated();
        };
        connect(peer, &QLocalSocket::readyRead, this, read);
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        read();  // the request may have come with the connection
    }
}

} // namespace vantrelo
