// export/nk_mpeg_movie.cpp -- MPEG-1 movies through the outside encoder:
// the checks, the PPM frames, the parameter file, the encoder run with
// Cancel, and the removal of the private working folder.
#include "export/nk_mpeg_movie.h"

#include <cstdio>
#include <string>

#include "core/nk_file.h"
#include "core/nk_message.h"
#include "core/nk_process.h"
#include "core/nk_program_directory.h"
#include "core/nk_progress.h"
#include "core/nk_string.h"
#include "core/nk_view_state.h"
#include "export/nk_image.h"
#include "export/nk_image_sequence.h"
#include "export/nk_private_folder.h"

namespace {

// The path in single quotes for /bin/sh.
std::string ShellQuote(const std::string &path)
{
    std::string quoted = "'";
    for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

void Fail(const NKString &message) { NKPrintError(message.GetText()); }

// The output, the parameter file and the encoder. False (reported) when one is
// missing.
bool CheckFiles(const char *pszOutput, const std::string &paramFile, const NKString &encoder)
{
    if (!NKCheckFileAccess(pszOutput, false, true)) {
        Fail(NKString("Couldn't write to output file: ") + pszOutput);
        return false;
    }
    if (!NKCheckFileAccess(paramFile.c_str(), false, true)) {
        Fail(NKString("Couldn't write parameter file: ") + paramFile.c_str());
        return false;
    }
    if (!NKTestFileAccess(encoder.GetText(), NK_ACCESS_EXISTS)) {
        Fail(NKString("Couldn't find MPEG encoder in: ") + encoder);
        return false;
    }
    return true;
}

// Runs the encoder; true only when it ended with status 0.
bool RunEncoder(const NKString &encoder, const std::string &paramFile)
{
    const std::string command = ShellQuote(encoder.GetText()) + " " + ShellQuote(paramFile);
    NKBeginCancelMode("Encoding MPEG sequence");
    int iStatus = -1;
    const int iResult = NKRunProcessCaptured(command.c_str(), nullptr, true, &iStatus);
    if (iResult == NK_PROCESS_FINISHED && iStatus == 0) {
        NKEndCancelMode("Done encoding MPEG sequence");
        return true;
    }
    if (iResult == NK_PROCESS_CANCELLED) {
        NKEndCancelMode("MPEG generation aborted");
        NKPrintInfo("MPEG generation aborted");
        return false;
    }
    NKEndCancelMode("Error generating MPEG sequence");
    NKPrintError("Error generating MPEG sequence");
    return false;
}

}  // namespace

bool WriteMpegParamFile(const char *pszOutput, const char *pszParamFile, const char *pszInputDir,
                        int iQScale, int iFrom, int iTo, int iSkip)
{
    FILE *pFile = std::fopen(pszParamFile, "w");
    if (pFile == nullptr) return false;
    const int k = iTo - iFrom + 1;
    const int iLast = iSkip > 0 ? (k % iSkip == 0 ? k / iSkip - 1 : k / iSkip) : 0;
    std::fprintf(pFile, "IQSCALE %d\nPQSCALE %d\nBQSCALE %d\n", iQScale, iQScale, iQScale);
    std::fprintf(pFile, "PSEARCH_ALG TWOLEVEL\nBSEARCH_ALG SIMPLE\nGOP_SIZE %d\n", 6);
    std::fprintf(pFile, "SLICES_PER_FRAME 1\nPIXEL HALF\nRANGE %d\n", 10);
    std::fprintf(pFile, "PATTERN IBBPBBPBBPBBPBB\nREFERENCE_FRAME ORIGINAL\n");
    std::fprintf(pFile, "FORCE_ENCODE_LAST_FRAME\nBASE_FILE_FORMAT PPM\nINPUT_DIR %s\n",
                 pszInputDir);
    std::fprintf(pFile, "INPUT\nqln*.ppm [000-%03d]\nEND_INPUT\nINPUT_CONVERT *\nOUTPUT %s\n",
                 iLast, pszOutput);
    const bool bOk = std::ferror(pFile) == 0;
    return std::fclose(pFile) == 0 && bOk;
}

bool MakeMpegMovie(int iFrom, int iTo, int iSkip, const char *pszOutput, int iQScale, bool bDelete)
{
    const NKString encoder = NKGetProgramDirectory() + "mpgenc";
    // With deletion the frames and the parameter file live in a private
    // folder of the current one; without, in the current folder itself.
    std::string folder = ".";
    if (bDelete) {
        folder = NKMakePrivateFolder("", "qln_mpeg_");
        if (folder.empty()) {
            Fail("Couldn't write parameter file: qln.par");
            return false;
        }
    }
    const std::string paramFile = folder + "/qln.par";
    bool bMade = false;
    if (CheckFiles(pszOutput, paramFile, encoder)) {
        const int w = NKViewWindowSize.iWidth, h = NKViewWindowSize.iHeight;
        const int aiFrame[2] = {w, h};
        const std::string pattern = folder + "/qln%03d.ppm";
        const int iStatus =
            NKWriteImageSequence(iFrom, iTo, iSkip, false, 1, 0, 0, true, w, h,
                                 NK_IMAGE_PPM | NK_IMAGE_CAPTURE, pattern.c_str(), aiFrame, 0);
        if (iStatus != NK_IMAGE_OK) {
            if (iStatus != NK_IMAGE_ABORTED) Fail("Trouble writing frame images");
        } else if (!WriteMpegParamFile(pszOutput, paramFile.c_str(), folder.c_str(), iQScale, iFrom,
                                       iTo, iSkip)) {
            Fail(NKString("Couldn't write parameter file: ") + paramFile.c_str());
        } else {
            bMade = RunEncoder(encoder, paramFile);
        }
    }
    if (bDelete) NKRemovePrivateFolder(folder);
    return bMade;
}
