#include "platform/running_copy.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/paths.h"

namespace platform {
namespace {

// A call is one line of UTF-8: the word and a line feed. Anything longer is
// no word of a dictionary, and the call is dropped.
constexpr qsizetype kCallLimit = 1024;
constexpr int kCallTimeoutSeconds = 1;

// The socket address of `path`; none when the path is too long for one.
std::optional<sockaddr_un> Address(const QByteArray& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || static_cast<size_t>(path.size()) >= sizeof(address.sun_path))
        return std::nullopt;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    return address;
}

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

CRunningCopyListener::~CRunningCopyListener() {
    if (m_nSocket < 0) return;
    m_pNotifier.reset();
    close(m_nSocket);
    unlink(m_path.constData());
}

bool CRunningCopyListener::Listen(std::function<void(const QString& word)> onCall) {
    if (m_nSocket >= 0) return false;
    m_path = RunningCopyChannel().toLocal8Bit();
    const std::optional<sockaddr_un> address = Address(m_path);
    if (!address) return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    unlink(m_path.constData());
    if (bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) != 0 ||
        listen(fd, 4) != 0) {
        close(fd);
        return false;
    }
    m_nSocket = fd;
    m_onCall = std::move(onCall);
    m_pNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(m_pNotifier.get(), &QSocketNotifier::activated, m_pNotifier.get(),
                     [this] { Accept(); });
    return true;
}

void CRunningCopyListener::Accept() {
    const int fd = accept4(m_nSocket, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    // A child of the listening socket's notifier, so that the listener takes
    // it along when it goes; the call's socket closes with it.
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, m_pNotifier.get());
    QObject::connect(notifier, &QObject::destroyed, [fd] { close(fd); });
    auto line = std::make_shared<QByteArray>();
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this, notifier, fd, line] {
        char buffer[256];
        const ssize_t got = read(fd, buffer, sizeof(buffer));
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (got > 0) line->append(buffer, got);
        const qsizetype end = line->indexOf('\n');
        // The rest of the line is still on its way.
        if (end < 0 && got > 0 && line->size() <= kCallLimit) return;
        // Destroyed from its own signal: by the event loop, afterwards.
        notifier->setEnabled(false);
        notifier->deleteLater();
        if (end >= 0 && end <= kCallLimit) m_onCall(QString::fromUtf8(line->left(end)));
    });
}

bool CallRunningCopy(const QString& word) {
    const std::optional<sockaddr_un> address = Address(RunningCopyChannel().toLocal8Bit());
    if (!address) return false;
    QByteArray line = word.toUtf8();
    line.replace('\n', ' ');
    line.append('\n');
    if (line.size() > kCallLimit) return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const timeval timeout{kCallTimeoutSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
    bool sent = connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) == 0;
    for (qsizetype done = 0; sent && done < line.size();) {
        const ssize_t wrote = send(fd, line.constData() + done,
                                   static_cast<size_t>(line.size() - done), MSG_NOSIGNAL);
        sent = wrote > 0;
        if (sent) done += wrote;
    }
    close(fd);
    return sent;
}

}  // namespace platform
