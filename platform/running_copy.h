// Copies of the program started from one program folder find each other
// through a local socket named after that folder, in the user's runtime
// folder ($XDG_RUNTIME_DIR): the copy that runs listens on it, and a copy that
// cannot start because of it tells it to come to the front, passing on the
// word it was given. Plain POSIX sockets watched by the event loop: the
// program loads no network library for them.
#ifndef LEXIVANE_PLATFORM_RUNNING_COPY_H_
#define LEXIVANE_PLATFORM_RUNNING_COPY_H_

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace platform {

// The socket's path for the program's folder as it is now: "lexivane-" and
// a hash of the folder's path, in the user's runtime folder; empty when the
// user has no runtime folder.
QString RunningCopyChannel();

class CRunningCopyListener {
  public:
    CRunningCopyListener();
    CRunningCopyListener(const CRunningCopyListener&) = delete;
    CRunningCopyListener& operator=(const CRunningCopyListener&) = delete;
    // Stops listening, drops the calls still coming in and removes the socket.
    ~CRunningCopyListener();

    // Listens on the channel, replacing a socket an ended copy left behind:
    // only the copy that holds the program folder's files may call this.
    // `onCall` runs from the event loop for each copy that calls, with the
    // word it passed on (empty for none). False when the socket cannot be made.
    bool Listen(std::function<void(const QString& word)> onCall);

  private:
    // A copy calls: its line is read as it comes in.
    void Accept();

    int m_nSocket = -1;
    QByteArray m_path;
    std::unique_ptr<QSocketNotifier> m_pNotifier;
    std::function<void(const QString& word)> m_onCall;
};

// Calls the copy that listens on the channel, passing on `word` (empty for
// none). False when no copy listens or the call did not go through within a
// second.
bool CallRunningCopy(const QString& word);

}  // namespace platform

#endif  // LEXIVANE_PLATFORM_RUNNING_COPY_H_
