// platform/nk_local_server.cpp -- the private line server of
// nk_local_server.h on QLocalServer and QLocalSocket. The folder and socket
// checks are POSIX calls made before Qt binds; the reading, the request
// queue and the pump run on the event loop through lambdas on one context
// object, so no class here needs moc.
#include "platform/nk_local_server.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QStandardPaths>
#include <QTimer>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

struct Connection {
    QLocalSocket *pSocket = nullptr;
    std::string partial;     // bytes of the line being read
    bool bDropping = false;  // the line being read passed the limit
    int iQueued = 0;         // its requests waiting in the queue
    // When it connected or last sent a complete line.
    std::chrono::steady_clock::time_point lastRequest;
};

struct Request {
    int iConnection;
    std::string line;
    bool bTooLong;
};

std::string Errno(const char *pszWhat, const std::string &path)
{
    return std::string(pszWhat) + " " + path + ": " + std::strerror(errno);
}

// The folder must be a real folder of ours that nobody else may enter.
bool CheckFolder(const std::string &folder, std::string *pError)
{
    struct stat st;
    if (::lstat(folder.c_str(), &st) != 0) {
        *pError = Errno("Cannot examine the request folder", folder);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        *pError = "The request folder " + folder + " is not a folder (a link is refused)";
        return false;
    }
    if (st.st_uid != ::getuid() || (st.st_mode & 077) != 0) {
        *pError = "The request folder " + folder +
                  " must belong to this user without group or other permissions";
        return false;
    }
    return true;
}

// True when some server accepts a connection on the socket at path.
bool SocketAnswers(const std::string &path)
{
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    struct sockaddr_un addr;
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    bool bAnswers = ::connect(fd, reinterpret_cast<struct sockaddr *>(&addr), sizeof addr) == 0;
    ::close(fd);
    return bAnswers;
}

// Clears the way for a new socket at path: nothing there, or an old socket
// nobody answers on (removed). A live socket or any other file refuses.
bool ClearSocketPath(const std::string &path, std::string *pError)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return true;
        *pError = Errno("Cannot examine", path);
        return false;
    }
    if (!S_ISSOCK(st.st_mode)) {
        *pError = path + " exists and is not a socket";
        return false;
    }
    if (SocketAnswers(path)) {
        *pError = "Another program already serves requests on " + path;
        return false;
    }
    if (::unlink(path.c_str()) != 0) {
        *pError = Errno("Cannot remove the old socket", path);
        return false;
    }
    return true;
}

bool PeerIsUs(QLocalSocket *pSocket)
{
    struct ucred cred;
    socklen_t iLength = sizeof cred;
    int fd = static_cast<int>(pSocket->socketDescriptor());
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &iLength) != 0) return false;
    return cred.uid == ::getuid();
}

}  // namespace

struct NKLocalServer::Impl {
    NKLocalServerHandler handler;
    QObject context;  // owner of the connections of every lambda below
    QLocalServer *pServer = nullptr;
    QTimer pump;
    std::string path;
    std::map<int, Connection> connections;
    std::deque<Request> queue;
    int iNextId = 1;
    int iRunning = 0;  // the connection whose request runs now
    std::chrono::milliseconds idleLimit{NK_LOCAL_IDLE_LIMIT_MS};
    bool bInRequest = false;
    bool bCloseAfterAnswer = false;

    void Accept();
    bool MakeRoom();
    void Read(int iId, bool bIgnorePause);
    void Consume(int iId, Connection &c, const char *p, size_t n);
    bool Paused(const Connection &c) const;
    void Drop(int iId);
    void Pump();
    void Schedule(int iMs);
    void Write(int iId, const std::string &line);
    void Shut();
};

bool NKLocalServer::Impl::Paused(const Connection &c) const
{
    return c.iQueued >= static_cast<int>(NK_LOCAL_MAX_QUEUED) ||
           c.pSocket->bytesToWrite() >= static_cast<qint64>(NK_LOCAL_PAUSE_UNSENT);
}

// Closes the connection idle longest beyond the limit that may be closed
// (nothing of its own waiting or running, and the handler lets it go: one
// holding an advise loop never goes); false when there is none.
bool NKLocalServer::Impl::MakeRoom()
{
    const auto now = std::chrono::steady_clock::now();
    int iOldest = 0;
    std::chrono::steady_clock::time_point oldest = now - idleLimit;
    for (const auto &entry : connections) {
        const Connection &c = entry.second;
        if (c.lastRequest >= oldest || c.iQueued > 0 || entry.first == iRunning) continue;
        if (handler.pfnMayClose != nullptr && !handler.pfnMayClose(handler.pUser, entry.first))
            continue;
        iOldest = entry.first;
        oldest = c.lastRequest;
    }
    if (iOldest == 0) return false;
    QLocalSocket *pSocket = connections[iOldest].pSocket;
    QObject::disconnect(pSocket, nullptr, &context, nullptr);
    pSocket->abort();
    Drop(iOldest);
    return true;
}

void NKLocalServer::Impl::Accept()
{
    while (QLocalSocket *pSocket = pServer->nextPendingConnection()) {
        if (!PeerIsUs(pSocket) || (connections.size() >= NK_LOCAL_MAX_CONNECTIONS && !MakeRoom())) {
            pSocket->abort();
            pSocket->deleteLater();
            continue;
        }
        int iId = iNextId++;
        pSocket->setParent(nullptr);  // ours: it may outlive the listening socket
        // Qt stops taking bytes from the system when its buffer is full, so
        // a paused connection's client blocks instead of filling our memory.
        pSocket->setReadBufferSize(64 * 1024);
        connections[iId].pSocket = pSocket;
        connections[iId].lastRequest = std::chrono::steady_clock::now();
        QObject::connect(pSocket, &QLocalSocket::readyRead, &context,
                         [this, iId] { Read(iId, false); });
        QObject::connect(pSocket, &QLocalSocket::bytesWritten, &context,
                         [this, iId] { Read(iId, false); });
        QObject::connect(pSocket, &QLocalSocket::disconnected, &context,
                         [this, iId] { Drop(iId); });
        Read(iId, false);
    }
}

// Reads what the connection holds into lines; a paused connection is left
// alone unless it is ending (its complete lines still count then).
void NKLocalServer::Impl::Read(int iId, bool bIgnorePause)
{
    auto it = connections.find(iId);
    if (it == connections.end()) return;
    char buffer[16384];
    while (bIgnorePause || !Paused(it->second)) {
        if (it->second.pSocket->bytesAvailable() <= 0) break;
        qint64 n = it->second.pSocket->read(buffer, sizeof buffer);
        if (n <= 0) break;
        Consume(iId, it->second, buffer, static_cast<size_t>(n));
    }
}

void NKLocalServer::Impl::Consume(int iId, Connection &c, const char *p, size_t n)
{
    while (n > 0) {
        const char *pEnd = static_cast<const char *>(std::memchr(p, '\n', n));
        size_t iTake = pEnd != nullptr ? static_cast<size_t>(pEnd - p) : n;
        if (!c.bDropping) {
            c.partial.append(p, iTake);
            if (c.partial.size() > NK_LOCAL_LINE_LIMIT + 1) {  // room for a final CR
                c.bDropping = true;
                std::string().swap(c.partial);
            }
        }
        if (pEnd == nullptr) break;
        if (!c.bDropping && !c.partial.empty() && c.partial.back() == '\r') c.partial.pop_back();
        bool bTooLong = c.bDropping || c.partial.size() > NK_LOCAL_LINE_LIMIT;
        queue.push_back({iId, bTooLong ? std::string() : std::move(c.partial), bTooLong});
        c.partial.clear();
        c.bDropping = false;
        c.iQueued++;
        c.lastRequest = std::chrono::steady_clock::now();
        Schedule(0);
        p += iTake + 1;
        n -= iTake + 1;
    }
}

void NKLocalServer::Impl::Drop(int iId)
{
    auto it = connections.find(iId);
    if (it == connections.end()) return;
    Read(iId, true);
    it->second.pSocket->deleteLater();
    connections.erase(it);
    if (handler.pfnClosed != nullptr) handler.pfnClosed(handler.pUser, iId);
}

void NKLocalServer::Impl::Schedule(int iMs)
{
    if (pServer == nullptr) return;
    if (!pump.isActive() || pump.remainingTime() > iMs) pump.start(iMs);
}

void NKLocalServer::Impl::Write(int iId, const std::string &line)
{
    auto it = connections.find(iId);
    if (it == connections.end()) return;
    std::string data = line + "\n";
    it->second.pSocket->write(data.data(), static_cast<qint64>(data.size()));
    if (it->second.pSocket->bytesToWrite() >= static_cast<qint64>(NK_LOCAL_CLOSE_UNSENT)) {
        it->second.pSocket->abort();  // emits disconnected, which drops it
        Drop(iId);
    }
}

// Runs the oldest request, unless one is running or a command is busy.
void NKLocalServer::Impl::Pump()
{
    if (bInRequest || queue.empty()) return;
    if (handler.pfnBusy != nullptr && handler.pfnBusy(handler.pUser)) {
        Schedule(10);
        return;
    }
    Request request = std::move(queue.front());
    queue.pop_front();
    auto it = connections.find(request.iConnection);
    if (it != connections.end()) it->second.iQueued--;
    bInRequest = true;
    iRunning = request.iConnection;
    std::string answer =
        handler.pfnRequest(handler.pUser, request.iConnection, request.line, request.bTooLong);
    iRunning = 0;
    bInRequest = false;
    Write(request.iConnection, answer);
    if (bCloseAfterAnswer) {
        Shut();
        return;
    }
    if (connections.count(request.iConnection) != 0) Read(request.iConnection, false);
    if (!queue.empty()) Schedule(0);
}

void NKLocalServer::Impl::Shut()
{
    bCloseAfterAnswer = false;
    pump.stop();
    queue.clear();
    while (!connections.empty()) {
        auto it = connections.begin();
        QLocalSocket *pSocket = it->second.pSocket;
        int iId = it->first;
        connections.erase(it);
        QObject::disconnect(pSocket, nullptr, &context, nullptr);
        pSocket->flush();
        if (pSocket->bytesToWrite() > 0) pSocket->waitForBytesWritten(1000);
        pSocket->abort();
        delete pSocket;
        if (handler.pfnClosed != nullptr) handler.pfnClosed(handler.pUser, iId);
    }
    if (pServer != nullptr) {
        pServer->close();  // removes the socket file
        delete pServer;
        pServer = nullptr;
    }
}

NKLocalServer::NKLocalServer(const NKLocalServerHandler &handler) : m_pImpl(new Impl)
{
    m_pImpl->handler = handler;
    m_pImpl->pump.setSingleShot(true);
    QObject::connect(&m_pImpl->pump, &QTimer::timeout, &m_pImpl->context,
                     [this] { m_pImpl->Pump(); });
}

NKLocalServer::~NKLocalServer()
{
    m_pImpl->Shut();
    delete m_pImpl;
}

bool NKLocalServer::Listen(const char *pszPath, std::string *pError)
{
    std::string path = pszPath != nullptr ? pszPath : "";
    std::string error;
    if (m_pImpl->bCloseAfterAnswer && m_pImpl->path == path) {
        // Stopped and started again inside one request: it simply serves on.
        m_pImpl->bCloseAfterAnswer = false;
        if (pError != nullptr) pError->clear();
        return true;
    }
    size_t iSlash = path.rfind('/');
    if (QCoreApplication::instance() == nullptr) {
        error = "No event loop to serve requests on " + path;
    } else if (m_pImpl->pServer != nullptr) {
        error = "Already serving requests on " + m_pImpl->path;
    } else if (iSlash == std::string::npos || iSlash == 0) {
        error = "The request socket " + path + " is not in a folder of its own";
    } else if (CheckFolder(path.substr(0, iSlash), &error) && ClearSocketPath(path, &error)) {
        // Writes to a peer that has gone must fail, not end the program.
        if (std::signal(SIGPIPE, SIG_IGN) == SIG_ERR) error = "Cannot ignore SIGPIPE";
        QLocalServer *pServer = new QLocalServer;
        pServer->setSocketOptions(QLocalServer::UserAccessOption);
        pServer->setMaxPendingConnections(static_cast<int>(NK_LOCAL_MAX_CONNECTIONS));
        if (error.empty() && !pServer->listen(QString::fromStdString(path)))
            error = "Cannot listen on " + path + ": " + pServer->errorString().toStdString();
        if (!error.empty()) {
            delete pServer;
        } else {
            m_pImpl->pServer = pServer;
            m_pImpl->path = path;
            QObject::connect(pServer, &QLocalServer::newConnection, &m_pImpl->context,
                             [this] { m_pImpl->Accept(); });
        }
    }
    if (pError != nullptr) *pError = error;
    return error.empty();
}

bool NKLocalServer::IsListening() const { return m_pImpl->pServer != nullptr; }

const std::string &NKLocalServer::GetPath() const { return m_pImpl->path; }

void NKLocalServer::Close()
{
    if (m_pImpl->bInRequest)
        m_pImpl->bCloseAfterAnswer = true;
    else
        m_pImpl->Shut();
}

bool NKLocalServer::Send(int iConnection, const std::string &line)
{
    if (m_pImpl->connections.count(iConnection) == 0) return false;
    m_pImpl->Write(iConnection, line);
    return m_pImpl->connections.count(iConnection) != 0;
}

void NKLocalServer::SetIdleLimit(int iMilliseconds)
{
    m_pImpl->idleLimit = std::chrono::milliseconds(iMilliseconds > 0 ? iMilliseconds : 0);
}

int NKLocalServer::GetNumConnections() const
{
    return static_cast<int>(m_pImpl->connections.size());
}

int NKLocalServer::GetNumWaitingRequests() const { return static_cast<int>(m_pImpl->queue.size()); }

std::string NKLocalServerDefaultPath(const char *pszName)
{
    const char *pszRuntime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder;
    if (pszRuntime != nullptr && pszRuntime[0] != '\0') {
        folder = pszRuntime;
    } else if (QCoreApplication::instance() != nullptr) {
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toStdString();
    }
    if (folder.empty()) return std::string();
    return folder + "/" + pszName;
}
