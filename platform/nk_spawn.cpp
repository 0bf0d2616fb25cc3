// platform/nk_spawn.cpp -- posix_spawn with pipes and process groups (see
// nk_spawn.h). Children get default signal dispositions and an empty signal
// mask, whatever the user interface blocked or ignored, and none of our file
// descriptors beyond the three standard ones.
#include "platform/nk_spawn.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

extern char **environ;

namespace {

// Time SIGTERM gets before SIGKILL follows.
const int kStopGraceMs = 300;

// Spawn attributes shared by both kinds of child: own process group,
// default signal handling, nothing blocked.
bool InitAttributes(posix_spawnattr_t *pAttr)
{
    if (posix_spawnattr_init(pAttr) != 0) return false;
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(pAttr, &all);
    posix_spawnattr_setsigmask(pAttr, &none);
    posix_spawnattr_setpgroup(pAttr, 0);
    posix_spawnattr_setflags(pAttr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF |
                                        POSIX_SPAWN_SETSIGMASK);
    return true;
}

void CloseIfOpen(int *pFd)
{
    if (*pFd >= 0) close(*pFd);
    *pFd = -1;
}

// File actions of a captured child: the pipe ends become its standard
// descriptors, everything above 2 is closed, and it starts in the directory.
int BuildCapturedActions(posix_spawn_file_actions_t *pActions, int iOutWrite, int iInRead,
                         const char *pszDirectory)
{
    int e = posix_spawn_file_actions_init(pActions);
    if (e != 0) return e;
    if ((e = posix_spawn_file_actions_adddup2(pActions, iInRead, 0)) != 0 ||
        (e = posix_spawn_file_actions_adddup2(pActions, iOutWrite, 1)) != 0 ||
        (e = posix_spawn_file_actions_adddup2(pActions, iOutWrite, 2)) != 0 ||
        (e = posix_spawn_file_actions_addclosefrom_np(pActions, 3)) != 0 ||
        (pszDirectory != nullptr &&
         (e = posix_spawn_file_actions_addchdir_np(pActions, pszDirectory)) != 0)) {
        posix_spawn_file_actions_destroy(pActions);
        return e;
    }
    return 0;
}

}  // namespace

int NKSpawnShellCaptured(const char *pszCommand, const char *pszDirectory,
                         NKSpawnedProcess *pProcess)
{
    if (pszCommand == nullptr || pProcess == nullptr) return EINVAL;
    *pProcess = NKSpawnedProcess();
    int out[2] = {-1, -1}, in[2] = {-1, -1};
    if (pipe2(out, O_CLOEXEC) != 0) return errno;
    if (pipe2(in, O_CLOEXEC) != 0) {
        int e = errno;
        CloseIfOpen(&out[0]);
        CloseIfOpen(&out[1]);
        return e;
    }
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    int e = BuildCapturedActions(&actions, out[1], in[0], pszDirectory);
    if (e == 0) {
        if (InitAttributes(&attr)) {
            char *argv[] = {const_cast<char *>("sh"), const_cast<char *>("-c"),
                            const_cast<char *>(pszCommand), nullptr};
            pid_t pid = -1;
            e = posix_spawn(&pid, "/bin/sh", &actions, &attr, argv, environ);
            if (e == 0) pProcess->iPid = pid;
            posix_spawnattr_destroy(&attr);
        } else {
            e = ENOMEM;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    // The child's ends, and the input pipe's write end: closing it at once
    // gives the child end-of-file instead of a read that never returns.
    CloseIfOpen(&out[1]);
    CloseIfOpen(&in[0]);
    CloseIfOpen(&in[1]);
    if (e != 0) {
        CloseIfOpen(&out[0]);
        return e;
    }
    fcntl(out[0], F_SETFL, fcntl(out[0], F_GETFL) | O_NONBLOCK);
    pProcess->iOutputFd = out[0];
    return 0;
}

int NKSpawnDetached(char *const *argv, const char *pszDirectory)
{
    if (argv == nullptr || argv[0] == nullptr || argv[0][0] == '\0') return EINVAL;
    posix_spawn_file_actions_t actions;
    int e = posix_spawn_file_actions_init(&actions);
    if (e != 0) return e;
    if ((e = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0)) != 0 ||
        (e = posix_spawn_file_actions_addclosefrom_np(&actions, 3)) != 0 ||
        (pszDirectory != nullptr &&
         (e = posix_spawn_file_actions_addchdir_np(&actions, pszDirectory)) != 0)) {
        posix_spawn_file_actions_destroy(&actions);
        return e;
    }
    posix_spawnattr_t attr;
    pid_t pid = -1;
    if (InitAttributes(&attr)) {
        e = posix_spawnp(&pid, argv[0], &actions, &attr, argv, environ);
        posix_spawnattr_destroy(&attr);
    } else {
        e = ENOMEM;
    }
    posix_spawn_file_actions_destroy(&actions);
    if (e != 0) return e;
    // Nobody waits for a launched program; this thread keeps it from
    // staying a zombie after it ends.
    std::thread([pid] {
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return 0;
}

long NKSpawnReadOutput(NKSpawnedProcess *pProcess, char *pBuffer, size_t iSize)
{
    if (pProcess == nullptr || pProcess->iOutputFd < 0) return -1;
    for (;;) {
        ssize_t n = read(pProcess->iOutputFd, pBuffer, iSize);
        if (n > 0) return static_cast<long>(n);
        if (n == 0) return -1;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        return -1;
    }
}

void NKSpawnWaitOutput(NKSpawnedProcess *pProcess, int iMilliseconds)
{
    if (pProcess == nullptr) return;
    if (pProcess->iOutputFd >= 0 && !pProcess->bOutputEnded) {
        struct pollfd pfd = {pProcess->iOutputFd, POLLIN, 0};
        int n = poll(&pfd, 1, iMilliseconds);
        if (n <= 0 || (pfd.revents & POLLIN) != 0) return;
        // Every writer has gone; a pipe at its end would wake poll at once
        // from now on, so later waits look at the process instead.
        pProcess->bOutputEnded = true;
        return;
    }
    // Short naps, so that the end of the process is seen soon after it
    // closed its output.
    for (int iWaited = 0; iWaited < iMilliseconds && !NKSpawnHasEnded(pProcess); iWaited += 5)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

bool NKSpawnHasEnded(NKSpawnedProcess *pProcess)
{
    if (pProcess == nullptr || pProcess->iPid <= 0) return true;
    if (pProcess->bEnded) return true;
    siginfo_t info;
    info.si_pid = 0;
    // WNOWAIT leaves the zombie in place: its pid keeps the group id ours.
    if (waitid(P_PID, pProcess->iPid, &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
        if (errno == EINTR) return false;
        pProcess->bEnded = true;  // ECHILD: somebody else reaped it
        return true;
    }
    pProcess->bEnded = info.si_pid == pProcess->iPid;
    return pProcess->bEnded;
}

void NKSpawnStopGroup(NKSpawnedProcess *pProcess)
{
    if (pProcess == nullptr || pProcess->iPid <= 0) return;
    kill(-pProcess->iPid, SIGTERM);
    for (int iWaited = 0; iWaited < kStopGraceMs && !NKSpawnHasEnded(pProcess); iWaited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // The leader may be gone while others of its group ignored SIGTERM; the
    // unreaped leader keeps the group id from being given to anyone else.
    kill(-pProcess->iPid, SIGKILL);
}

int NKSpawnClose(NKSpawnedProcess *pProcess)
{
    if (pProcess == nullptr) return -1;
    int iResult = -1;
    if (pProcess->iPid > 0) {
        int iStatus = 0;
        pid_t r;
        while ((r = waitpid(pProcess->iPid, &iStatus, 0)) < 0 && errno == EINTR) {
        }
        if (r == pProcess->iPid) {
            if (WIFEXITED(iStatus))
                iResult = WEXITSTATUS(iStatus);
            else if (WIFSIGNALED(iStatus))
                iResult = 128 + WTERMSIG(iStatus);
        }
    }
    CloseIfOpen(&pProcess->iOutputFd);
    *pProcess = NKSpawnedProcess();
    return iResult;
}
