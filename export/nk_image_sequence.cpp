// export/nk_image_sequence.cpp -- the image-sequence writer: the step walk,
// the pictures of each step, progress and Cancel.
#include "export/nk_image_sequence.h"

#include <cstdio>
#include <fstream>
#include <vector>

#include "core/nk_movie_settings.h"
#include "core/nk_progress.h"
#include "core/nk_string.h"
#include "export/nk_image.h"

namespace {

// The steps the walk visits in order: from toward to by skip while between
// them; with cycle, past the to step the walk turns at the step before it
// and goes back to the from step.
std::vector<int> WalkSteps(int iFrom, int iTo, int iSkip, bool bCycle)
{
    std::vector<int> steps;
    int iDir = iFrom <= iTo ? 1 : -1;
    int iLow = iFrom <= iTo ? iFrom : iTo, iHigh = iFrom <= iTo ? iTo : iFrom;
    for (int s = iFrom; s >= iLow && s <= iHigh; s += iDir * iSkip) {
        steps.push_back(s);
        if (bCycle && (s + iDir * iSkip < iLow || s + iDir * iSkip > iHigh)) {
            bCycle = false;
            iDir = -iDir;
        }
    }
    return steps;
}

bool CopyFileBytes(const char *pszFrom, const char *pszTo)
{
    std::ifstream in(pszFrom, std::ios::binary);
    std::ofstream out(pszTo, std::ios::binary | std::ios::trunc);
    if (!in || !out) return false;
    out << in.rdbuf();
    return static_cast<bool>(out.flush());
}

struct SequenceJob {
    int iWidth, iHeight;
    uint32_t uFlags;
    const char *pszPattern;
    const int *piFrameSize;
    int iFirstNumber;
    bool bRenderEvery;
};

// Picture iCount (from 1) of step iStep: renders or copies the step's first
// picture (its file is pFirstFile once written). A status code.
int WritePicture(const SequenceJob &job, int iStep, int iCount, bool bFirstOfStep,
                 NKString *pFirstFile)
{
    char szName[4096];
    std::snprintf(szName, sizeof szName, job.pszPattern, job.iFirstNumber + iCount - 1);
    if (!bFirstOfStep && !job.bRenderEvery)
        return CopyFileBytes(pFirstFile->GetText(), szName) ? NK_IMAGE_OK : NK_IMAGE_WRITE_ERROR;
    *pFirstFile = szName;
    if (job.uFlags & NK_IMAGE_CAPTURE) {
        int w = job.iWidth, h = job.iHeight;
        if (g_pMovieSettings != nullptr) {
            w = g_pMovieSettings->iWidth;
            h = g_pMovieSettings->iHeight;
        }
        return NKSaveSceneImage(iStep, w, h, job.uFlags, szName, nullptr, nullptr, job.piFrameSize);
    }
    return NKSaveSceneImage(iStep, job.piFrameSize[0], job.piFrameSize[1], job.uFlags, szName,
                            nullptr, nullptr, nullptr);
}

}  // namespace

int NKWriteImageSequence(int iFrom, int iTo, int iSkip, bool bCycle, int iEvery, int iFirst,
                         int iLast, bool bRenderEvery, int iWidth, int iHeight, uint32_t uFlags,
                         const char *pszPattern, const int *piFrameSize, int iFirstNumber)
{
    if (iEvery < 1 || iSkip < 1 || pszPattern == nullptr || piFrameSize == nullptr)
        return NK_IMAGE_BAD_PARAMETER;
    const std::vector<int> steps = WalkSteps(iFrom, iTo, iSkip, bCycle);
    const int iTotal = static_cast<int>(steps.size()) * iEvery + iFirst + iLast;
    const SequenceJob job{iWidth,      iHeight,      uFlags,      pszPattern,
                          piFrameSize, iFirstNumber, bRenderEvery};
    NKBeginProgress(iTotal, "Generating image sequence", true, true);
    NKString firstFile;
    int iCount = 0;
    for (size_t k = 0; k < steps.size(); k++) {
        const int iPictures = iEvery + (k == 0 ? iFirst : 0) + (k + 1 == steps.size() ? iLast : 0);
        for (int p = 0; p < iPictures; p++) {
            iCount++;
            NKSetProgress(iCount, NKString::FromFormat(
                                      "Writing frame %d  (%d of %d)  (image size %dx%d)",
                                      steps[k] + 1, iCount, iTotal, piFrameSize[0], piFrameSize[1])
                                      .GetText());
            if (NKCheckCancel()) {
                NKEndProgress("Image sequence generation aborted", true, true);
                return NK_IMAGE_ABORTED;
            }
            const int iStatus = WritePicture(job, steps[k], iCount, p == 0, &firstFile);
            if (iStatus != NK_IMAGE_OK) {
                NKEndProgress("Error generating image sequence", true, true);
                return iStatus;
            }
        }
    }
    NKEndProgress("Done generating image sequence", true, true);
    return NK_IMAGE_OK;
}
