// platform/nk_local_server.h -- a line server on a private local socket,
// the transport under the request server (commands/nk_dde_server.cpp).
//
// The server listens on a socket file in a folder that must belong to the
// user alone; connections from another user are closed at once. Each
// connection's bytes are cut into lines (LF ends a line, a final CR is
// dropped); every complete line becomes one request, and the requests of all
// connections run one at a time, in arrival order, on the thread of the
// event loop, through the handler given at construction. A request waits
// while the busy test says a command is running, so requests never nest.
// Each request's answer line is written back before the next request runs.
//
// Limits that keep a client from hurting the program: a line over
// NK_LOCAL_LINE_LIMIT bytes is dropped as it arrives and reaches the handler
// marked too long; at most NK_LOCAL_MAX_CONNECTIONS connections (when a new
// client finds them all taken, the one idle longest -- no request for longer
// than the idle limit, nothing waiting or running -- is closed for it,
// unless the handler keeps it: a connection with an advise loop stays); a
// connection with NK_LOCAL_MAX_QUEUED requests waiting or
// NK_LOCAL_PAUSE_UNSENT bytes not yet sent is not read until it drains, and
// one with NK_LOCAL_CLOSE_UNSENT unsent bytes is closed. A partial line dies
// with its connection; its complete lines still run. Writing to a peer that
// has gone never raises SIGPIPE.
//
// A Qt core application must exist (the sockets run on its event loop). No
// Qt types appear here.
#pragma once

#include <cstddef>
#include <string>

enum : size_t {
    NK_LOCAL_LINE_LIMIT = 1024 * 1024,
    NK_LOCAL_MAX_CONNECTIONS = 64,
    NK_LOCAL_MAX_QUEUED = 256,
    NK_LOCAL_PAUSE_UNSENT = 1024 * 1024,
    NK_LOCAL_CLOSE_UNSENT = 4 * 1024 * 1024,
    NK_LOCAL_IDLE_LIMIT_MS = 60 * 1000
};

// What the server calls; every call comes on the event loop's thread.
struct NKLocalServerHandler {
    // One request line of connection iConnection (ids start at 1 and are
    // never reused). bTooLong: the line passed the limit and line is empty.
    // Returns the answer line, without its LF. The connection may have closed
    // meanwhile; its answer is then dropped.
    std::string (*pfnRequest)(void *pUser, int iConnection, const std::string &line,
                              bool bTooLong) = nullptr;
    // True while requests must wait. Null: never.
    bool (*pfnBusy)(void *pUser) = nullptr;
    // Connection iConnection has ended (no further answers reach it). Null: nothing.
    void (*pfnClosed)(void *pUser, int iConnection) = nullptr;
    // False when connection iConnection must stay open although idle (it
    // holds an advise loop). Null: every idle connection may be closed.
    bool (*pfnMayClose)(void *pUser, int iConnection) = nullptr;
    void *pUser = nullptr;
};

class NKLocalServer {
public:
    explicit NKLocalServer(const NKLocalServerHandler &handler);
    ~NKLocalServer();  // Close()
    NKLocalServer(const NKLocalServer &) = delete;
    NKLocalServer &operator=(const NKLocalServer &) = delete;

    // Listens on pszPath. Refused, with the reason in *pError: no Qt
    // application; a folder that is not a real folder (a symbolic link is
    // not one) of this user without group and other permissions (it is never
    // changed); a path that holds something other than a socket, or a socket
    // some server answers on. A socket nobody answers on is removed first.
    // The socket file gets the user's permissions only.
    bool Listen(const char *pszPath, std::string *pError);
    bool IsListening() const;
    const std::string &GetPath() const;
    // Stops listening and removes the socket; each connection's unsent bytes
    // get up to a second to leave, then it is closed; waiting requests are
    // dropped. Called from inside a request, this happens right after that
    // request's answer is written.
    void Close();

    // Queues the line and an LF for a connection; false when it is gone.
    bool Send(int iConnection, const std::string &line);
    // Open connections.
    int GetNumConnections() const;
    // Requests read and waiting to run (not the one running now).
    int GetNumWaitingRequests() const;
    // How long a connection must have sent no request before a new client
    // may take its place (NK_LOCAL_IDLE_LIMIT_MS unless tests lower it).
    void SetIdleLimit(int iMilliseconds);

    struct Impl;

private:
    Impl *m_pImpl;
};

// The socket path for the name: "$XDG_RUNTIME_DIR/<name>", or, when that
// variable is unset or empty, the name in Qt's private runtime folder. ""
// when neither can be had.
std::string NKLocalServerDefaultPath(const char *pszName);
