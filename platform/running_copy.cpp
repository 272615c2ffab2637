#include "platform/running_copy.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include "platform/paths.h"

namespace platform {
namespace {

// A call is one line of UTF-8: the word and a line feed. Anything longer is
// no word of a dictionary, and is dropped unread.
constexpr qint64 kCallLimit = 1024;
constexpr int kCallTimeoutMs = 1000;

}  // namespace

QString RunningCopyChannel() {
    // The user's own folder, which only the user may enter; without one there
    // is no channel, rather than a socket in a folder others share.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty()) return QString();
    QString folder;
    MakeModulePath(folder);
    const QByteArray hash =
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return runtime + QStringLiteral("/lexivane-") + QString::fromLatin1(hash);
}

CRunningCopyListener::CRunningCopyListener() = default;

CRunningCopyListener::~CRunningCopyListener() = default;

bool CRunningCopyListener::Listen(std::function<void(const QString& word)> onCall) {
    const QString channel = RunningCopyChannel();
    if (channel.isEmpty()) return false;
    m_pServer = std::make_unique<QLocalServer>();
    m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(channel);
    if (!m_pServer->listen(channel)) return false;
    QObject::connect(m_pServer.get(), &QLocalServer::newConnection, m_pServer.get(),
                     [server = m_pServer.get(), onCall = std::move(onCall)] {
                         while (QLocalSocket* caller = server->nextPendingConnection()) {
                             QObject::connect(caller, &QLocalSocket::disconnected, caller,
                                              &QObject::deleteLater);
                             QObject::connect(
                                 caller, &QLocalSocket::readyRead, caller, [caller, onCall] {
                                     if (!caller->canReadLine()) {
                                         if (caller->bytesAvailable() > kCallLimit) caller->abort();
                                         return;
                                     }
                                     const QByteArray line = caller->readLine(kCallLimit + 1);
                                     caller->disconnectFromServer();
                                     if (!line.endsWith('\n')) return;
                                     onCall(QString::fromUtf8(line.chopped(1)));
                                 });
                         }
                     });
    return true;
}

bool CallRunningCopy(const QString& word) {
    const QString channel = RunningCopyChannel();
    if (channel.isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(channel);
    if (!socket.waitForConnected(kCallTimeoutMs)) return false;
    QByteArray line = word.toUtf8();
    line.replace('\n', ' ');
    line.append('\n');
    if (line.size() > kCallLimit) return false;
    socket.write(line);
    if (!socket.waitForBytesWritten(kCallTimeoutMs)) return false;
    socket.disconnectFromServer();
    return true;
}

}  // namespace platform
