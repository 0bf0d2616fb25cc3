// export/nk_plot_output.cpp -- the scene or the plot rendered off-screen at
// the page set-up's resolution, then stretched onto a printer's page or
// written as EPS (see nk_plot_output.h).
#include "export/nk_plot_output.h"

#include <unistd.h>

#include <cstdlib>

#include "core/nk_progress.h"
#include "export/nk_bmp_files.h"
#include "export/nk_eps_writer.h"
#include "export/nk_image.h"
#include "export/nk_offscreen.h"
#include "export/nk_page_setup.h"
#include "plot/nk_plot_commands.h"

namespace {

const char *const kTitle = "Quolin Dulm";

// The set-up to use (the global one for null), valid and laid out for
// iWidth x iHeight.
NKPageSetup *PrepareSetup(NKPageSetup *pSetup, int iWidth, int iHeight)
{
    NKPageSetup *p = pSetup != nullptr ? pSetup : &g_PageSetup;
    if (!p->iValid) NKPageSetupFromDefaultPrinter(p, nullptr);
    NKLayoutPage(p, iWidth, iHeight);
    return p;
}

bool IsPlot(const NKPageSetup *p, int iTarget)
{
    return (iTarget == -1 ? p->iDefaultTarget : iTarget) == 2;
}

// Renders the scene or the plot at the set-up's rendering size.
bool RenderPicture(const NKPageSetup *p, bool bPlot, int iViewHeight, ImageRecord *pImage)
{
    static const uint8_t kWhite[3] = {255, 255, 255};
    const uint8_t *pBackground = p->bWhiteBackground ? kWhite : nullptr;
    int w = 0, h = 0;
    NKGetRenderingSize(p, iViewHeight, &w, &h);
    const int iStatus =
        bPlot ? NKRenderPlotToImage(w, h, pImage, pBackground)
              : NKRenderSceneToImage(-1, w, h, pImage, pBackground, 0, nullptr, nullptr);
    return iStatus == NK_IMAGE_OK;
}

// Draws the picture and its frame on the started page; false when no
// picture could be rendered or Cancel was pressed (status set).
bool DrawPage(NKPrintJob *pJob, const NKPageSetup *p, bool bPlot, int iViewHeight)
{
    const double ppm = NKPrintJobPixelsPerMm(pJob);
    const int x = static_cast<int>((p->iOffsetX + p->iLeftMargin) * ppm);
    const int y = static_cast<int>((p->iOffsetY + p->iTopMargin) * ppm);
    const int w = static_cast<int>(p->iPictureWidth * ppm);
    const int h = static_cast<int>(p->iPictureHeight * ppm);
    if (NKCheckCancel()) return false;
    ImageRecord image;
    NKInitImageRecord(&image);
    if (!RenderPicture(p, bPlot, iViewHeight, &image)) {
        NKReleaseImagePixels(&image);
        NKSetStatusText("Error during printing");
        return false;
    }
    NKPrintJobDrawImage(pJob, image.pPixels, image.iWidth, image.iHeight, x, y, w, h);
    NKReleaseImagePixels(&image);
    if (p->bFrame) NKPrintJobStrokeRect(pJob, x - 10, y - 10, w + 20, h + 20);
    return !NKCheckCancel();
}

}  // namespace

int NKPrintScene(NKPageSetup *pSetup, int iWidth, int iHeight, int iTarget)
{
    NKPageSetup *p = PrepareSetup(pSetup, iWidth, iHeight);
    const bool bPlot = IsPlot(p, iTarget);
    if (!p->bHasDevice) return 0;
    NKPrinterPage page = p->device;
    page.bLandscape = p->bLandscape != 0;
    const NKString doc = NKString::FromFormat(bPlot ? "%s plot" : "%s scene", kTitle);
    NKPrintJob *pJob = NKBeginPrintJob(&page, doc.GetText());
    if (pJob == nullptr) return 0;
    const NKString text =
        page.szName.empty()
            ? NKString::FromFormat(bPlot ? "Printing %s plot" : "Printing %s scene", kTitle)
            : NKString::FromFormat(bPlot ? "Printing plot to: %s" : "Printing scene to: %s",
                                   page.szName.substr(0, 127).c_str());
    NKBeginCancelMode(text.GetText());
    const bool bDrawn = DrawPage(pJob, p, bPlot, iHeight);
    const bool bCancelled = NKGetProgressState().bCancelPressed;
    const bool bPrinted = NKEndPrintJob(pJob, !bDrawn) && bDrawn;
    if (bCancelled)
        NKEndCancelMode("Printing aborted");
    else if (bPrinted)
        NKEndCancelMode(bPlot ? "Plot succesfully printed" : "Scene succesfully printed");
    else
        NKEndCancelMode(bDrawn ? "Error during printing" : nullptr);
    return bPrinted ? 1 : 0;
}

namespace {

// A fresh temporary file name with the prefix "qln"; empty on failure.
NKString TemporaryName(void)
{
    const char *pszDir = std::getenv("TMPDIR");
    NKString name = NKString::FromFormat("%s/qlnXXXXXX", pszDir && *pszDir ? pszDir : "/tmp");
    const int fd = mkstemp(name.GetBuffer());
    if (fd < 0) return NKString("");
    close(fd);
    return name;
}

}  // namespace

bool NKGeneratePostScript(NKPageSetup *pSetup, int iWidth, int iHeight, int iTarget,
                          const char *pszFileName)
{
    NKPageSetup *p = PrepareSetup(pSetup, iWidth, iHeight);
    ImageRecord image;
    NKInitImageRecord(&image);
    NKBeginCancelMode("Rendering scene...");
    if (!RenderPicture(p, IsPlot(p, iTarget), iHeight, &image)) {
        NKReleaseImagePixels(&image);
        NKEndCancelMode("Error rendering scene");
        return false;
    }
    NKEndCancelMode(nullptr);
    NKBeginProgress(100, "Generating PostScript file...", true, true);
    const NKString name = pszFileName != nullptr ? NKString(pszFileName) : TemporaryName();
    bool bOk = false;
    if (name.IsEmpty()) {
        NKEndProgress("Invalid filename for PostScript file", true, true);
    } else {
        bOk = NKWriteEPS(&image, p, name.GetText(), false, 0, 100);
        NKEndProgress(bOk                                   ? "Done"
                      : NKGetProgressState().bCancelPressed ? "Operation aborted by user"
                                                            : "Error generating PostScript file",
                      true, true);
    }
    NKReleaseImagePixels(&image);
    return bOk;
}

void NKRegisterPlotOutput(void)
{
    NKPlotOutput output;
    output.pfnWriteBitmap = NKWritePlotBitmapFile;
    // The plot is target 2; the page set-up is the global one.
    output.pfnPrint = [](int iWidth, int iHeight) {
        return NKPrintScene(nullptr, iWidth, iHeight, 2);
    };
    output.pfnWritePostScript = [](int iWidth, int iHeight, const char *pszFileName) {
        return NKGeneratePostScript(nullptr, iWidth, iHeight, 2, pszFileName);
    };
    NKSetPlotOutput(output);
}
