// tests/platform/client/request_client.cpp -- a plain POSIX client of the
// request server, run as a child process by the socket tests and the
// program's end-to-end script.
//
//   request_client SOCKET [-n ANSWERS] [-w] [-c] [-r] [-t SECONDS] < requests
//
// Sends standard input to the socket as it is (pipelined, without waiting
// for answers) while it copies every byte that comes back to standard
// output. It ends with status 0 when ANSWERS lines have come back, or when
// the server closes the connection; -w keeps it waiting after its input is
// sent (until it is killed or the server closes); -c only connects and
// closes; -r never reads (a client that lets answers pile up), and ends
// when the server closes; -t gives up after SECONDS (default 60) with status 3. A failed
// connection ends with status 2.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

int Connect(const char *pszPath)
{
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    struct sockaddr_un addr;
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, pszPath, sizeof addr.sun_path - 1);
    if (fd < 0 || connect(fd, reinterpret_cast<struct sockaddr *>(&addr), sizeof addr) != 0) {
        std::perror("request_client: connect");
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

std::string ReadAll(int fd)
{
    std::string data;
    char buffer[65536];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) data.append(buffer, static_cast<size_t>(n));
    return data;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) return 2;
    long iWanted = -1, iSeconds = 60;
    bool bWait = false, bConnectOnly = false, bDeaf = false;
    for (int i = 2; i < argc; i++) {
        if (std::strcmp(argv[i], "-n") == 0 && i + 1 < argc) iWanted = std::atol(argv[++i]);
        if (std::strcmp(argv[i], "-t") == 0 && i + 1 < argc) iSeconds = std::atol(argv[++i]);
        if (std::strcmp(argv[i], "-w") == 0) bWait = true;
        if (std::strcmp(argv[i], "-c") == 0) bConnectOnly = true;
        if (std::strcmp(argv[i], "-r") == 0) bDeaf = true;
    }
    std::signal(SIGPIPE, SIG_IGN);
    int fd = Connect(argv[1]);
    if (fd < 0) return 2;
    if (bConnectOnly) {
        close(fd);
        return 0;
    }
    std::string out = ReadAll(0);
    size_t iSent = 0;
    long iLines = 0;
    time_t tEnd = time(nullptr) + iSeconds;
    while (time(nullptr) < tEnd) {
        if (!bWait && iWanted >= 0 && iLines >= iWanted) return 0;
        short events =
            static_cast<short>((bDeaf ? 0 : POLLIN) | (iSent < out.size() ? POLLOUT : 0));
        struct pollfd p = {fd, events, 0};
        if (poll(&p, 1, 200) < 0 && errno != EINTR) return 2;
        if (p.revents & POLLOUT) {
            ssize_t n = write(fd, out.data() + iSent, out.size() - iSent);
            if (n > 0) iSent += static_cast<size_t>(n);
        }
        if (bDeaf) {
            if (p.revents & (POLLHUP | POLLERR)) return 0;
            continue;
        }
        if (p.revents & (POLLIN | POLLHUP)) {
            char buffer[65536];
            ssize_t n = read(fd, buffer, sizeof buffer);
            if (n == 0) return 0;  // the server closed
            if (n > 0) {
                fwrite(buffer, 1, static_cast<size_t>(n), stdout);
                fflush(stdout);
                for (ssize_t i = 0; i < n; i++) iLines += buffer[i] == '\n';
            }
        }
    }
    return 3;
}
