// export/mpgenc/mpgenc.cpp -- the MPEG-1 encoder program beside quolin.
//
// "mpgenc <parameter file>" reads the parameter file that WriteMpegParamFile
// (export/nk_mpeg_movie.cpp) writes: INPUT_DIR, the INPUT lines between
// INPUT and END_INPUT ("name*.ext [a-b]": names a..b, zero-padded to the
// width of a), OUTPUT, IQSCALE (ffmpeg's -qscale:v), GOP_SIZE (-g) and
// PATTERN (its run of B frames: -bf); BASE_FILE_FORMAT must be PPM, other
// keys are skipped. The PPM frames are piped to ffmpeg, which writes an
// MPEG-1 stream at 30 frames/s into a temporary file beside OUTPUT, renamed
// when ffmpeg succeeded. Exit status 0 only with the movie written; else a
// message on standard error and 1. SIGTERM removes the temporary file.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

char sg_szTemp[4096];
volatile pid_t sg_iChild = 0;

void OnTerminate(int)
{
    if (sg_iChild > 0) {
        kill(sg_iChild, SIGKILL);
        waitpid(sg_iChild, nullptr, 0);
    }
    if (sg_szTemp[0] != 0) unlink(sg_szTemp);
    _exit(1);
}

struct Parameters {
    std::string inputDir = ".";
    std::vector<std::string> inputs;
    std::string output;
    std::string format;
    int iQScale = 8, iGop = 6, iBFrames = 2;
};

int Fail(const std::string &message)
{
    std::fprintf(stderr, "mpgenc: %s\n", message.c_str());
    return 1;
}

// The longest run of B in the pattern.
int BRun(const std::string &pattern)
{
    int iBest = 0, iRun = 0;
    for (char c : pattern) {
        iRun = (c == 'B' || c == 'b') ? iRun + 1 : 0;
        if (iRun > iBest) iBest = iRun;
    }
    return iBest;
}

bool ReadParameters(const char *pszFile, Parameters *p)
{
    std::ifstream in(pszFile);
    if (!in) return false;
    std::string line;
    bool bInInput = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t iBlank = line.find(' ');
        const std::string key = line.substr(0, iBlank);
        const std::string value = iBlank == std::string::npos ? "" : line.substr(iBlank + 1);
        if (bInInput) {
            if (key == "END_INPUT")
                bInInput = false;
            else if (!line.empty())
                p->inputs.push_back(line);
        } else if (key == "INPUT") {
            bInInput = true;
        } else if (key == "INPUT_DIR") {
            p->inputDir = value;
        } else if (key == "OUTPUT") {
            p->output = value;
        } else if (key == "BASE_FILE_FORMAT") {
            p->format = value;
        } else if (key == "IQSCALE") {
            p->iQScale = std::atoi(value.c_str());
        } else if (key == "GOP_SIZE") {
            p->iGop = std::atoi(value.c_str());
        } else if (key == "PATTERN") {
            p->iBFrames = BRun(value);
        }
    }
    return true;
}

// The frame paths of one INPUT line; false for a line that is not
// "name*.ext [a-b]" or a frame that does not exist.
bool ExpandInput(const Parameters &p, const std::string &line, std::vector<std::string> *pFrames,
                 std::string *pError)
{
    const size_t iStar = line.find('*'), iOpen = line.find(" ["), iDash = line.find('-', iOpen),
                 iClose = line.find(']', iOpen);
    if (iStar == std::string::npos || iOpen == std::string::npos || iDash == std::string::npos ||
        iClose == std::string::npos || iStar > iOpen) {
        *pError = "bad INPUT line: " + line;
        return false;
    }
    const std::string prefix = line.substr(0, iStar),
                      suffix = line.substr(iStar + 1, iOpen - iStar - 1);
    const std::string first = line.substr(iOpen + 2, iDash - iOpen - 2);
    const int iFirst = std::atoi(first.c_str()), iLast = std::atoi(line.c_str() + iDash + 1);
    for (int i = iFirst; i <= iLast; i++) {
        char szNumber[32];
        std::snprintf(szNumber, sizeof szNumber, "%0*d", static_cast<int>(first.size()), i);
        const std::string path = p.inputDir + "/" + prefix + szNumber + suffix;
        if (access(path.c_str(), R_OK) != 0) {
            *pError = "missing frame: " + path;
            return false;
        }
        pFrames->push_back(path);
    }
    return true;
}

// Starts ffmpeg reading PPM frames from a pipe; the pipe's write end or -1.
int StartEncoder(const Parameters &p)
{
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const std::string q = std::to_string(p.iQScale), g = std::to_string(p.iGop),
                      bf = std::to_string(p.iBFrames);
    const char *argv[] = {"ffmpeg",     "-nostdin",   "-v",         "error",     "-y",      "-f",
                          "image2pipe", "-framerate", "30",         "-c:v",      "ppm",     "-i",
                          "pipe:0",     "-c:v",       "mpeg1video", "-qscale:v", q.c_str(), "-g",
                          g.c_str(),    "-bf",        bf.c_str(),   "-r",        "30",      "-f",
                          "mpeg1video", sg_szTemp,    nullptr};
    const pid_t iPid = fork();
    if (iPid < 0) return -1;
    if (iPid == 0) {
        dup2(fds[0], 0);
        close(fds[0]);
        close(fds[1]);
        execvp("ffmpeg", const_cast<char *const *>(argv));
        std::fprintf(stderr, "mpgenc: cannot run ffmpeg: %s\n", std::strerror(errno));
        _exit(127);
    }
    sg_iChild = iPid;
    close(fds[0]);
    return fds[1];
}

bool SendFrame(int fd, const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t iDone = 0;
    while (iDone < data.size()) {
        const ssize_t n = write(fd, data.data() + iDone, data.size() - iDone);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        iDone += static_cast<size_t>(n);
    }
    return true;
}

// Pipes the frames to ffmpeg; true when it wrote the temporary file.
bool Encode(const Parameters &p, const std::vector<std::string> &frames)
{
    const int fd = StartEncoder(p);
    if (fd < 0) return false;
    bool bSent = true;
    for (const std::string &frame : frames)
        if (!(bSent = SendFrame(fd, frame))) break;
    close(fd);
    int iStatus = 0;
    while (waitpid(sg_iChild, &iStatus, 0) < 0 && errno == EINTR) {
    }
    sg_iChild = 0;
    return bSent && WIFEXITED(iStatus) && WEXITSTATUS(iStatus) == 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) return Fail("usage: mpgenc <parameter file>");
    signal(SIGPIPE, SIG_IGN);
    Parameters p;
    if (!ReadParameters(argv[1], &p)) return Fail(std::string("cannot read ") + argv[1]);
    if (p.format != "PPM") return Fail("BASE_FILE_FORMAT must be PPM");
    if (p.inputs.empty()) return Fail("no INPUT frames");
    if (p.output.empty()) return Fail("no OUTPUT file");
    std::vector<std::string> frames;
    std::string error;
    for (const std::string &line : p.inputs)
        if (!ExpandInput(p, line, &frames, &error)) return Fail(error);
    if (frames.empty()) return Fail("no INPUT frames");
    std::snprintf(sg_szTemp, sizeof sg_szTemp, "%s.mpgencXXXXXX", p.output.c_str());
    struct sigaction action = {};
    action.sa_handler = OnTerminate;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    const int fdTemp = mkstemp(sg_szTemp);
    if (fdTemp < 0) {
        sg_szTemp[0] = 0;
        return Fail("cannot write beside " + p.output);
    }
    close(fdTemp);
    if (!Encode(p, frames)) {
        unlink(sg_szTemp);
        return Fail("ffmpeg could not encode the frames");
    }
    if (rename(sg_szTemp, p.output.c_str()) != 0) {
        unlink(sg_szTemp);
        return Fail("cannot write " + p.output);
    }
    return 0;
}
