// export/nk_page_setup.h -- the one page set-up that printing and the
// PostScript writer share: paper size and margins in millimetres, the
// picture's size and place on the page, and the flags that shape it. The
// print commands of the shell change it; NKPrintScene and
// NKGeneratePostScript (export/nk_plot_output.h) lay the picture out by it.
#pragma once

#include <cstdint>

#include "core/nk_string.h"
#include "platform/nk_printer.h"

struct NKPageSetup {
    int32_t iValid = 0;  // 1 once the default printer has been read
    int32_t iPageWidth = 0, iPageHeight = 0;
    int32_t iTopMargin = 0, iLeftMargin = 0, iBottomMargin = 0, iRightMargin = 0;
    int32_t iPictureWidth = 100, iPictureHeight = 100;
    int32_t iOffsetX = 0, iOffsetY = 0;
    int32_t iResolutionMode = 2;  // 2: 4 pixels per mm, 3: 7, others the view's height
    int32_t iDefaultTarget = 1;   // 2 the plot, else the scene
    uint8_t bCentre = 1;
    uint8_t bLandscape = 1;
    uint8_t bFitToPage = 1;
    uint8_t bKeepAspect = 1;
    uint8_t bWhiteBackground = 1;
    uint8_t ucReserved = 0;
    uint8_t bFrame = 1;
    NKString szSpoolCommand;
    int32_t iReserved = 0;
    NKString szPostScriptFile;
    // The chosen printer (its page turned to landscape when it was not);
    // bHasDevice false without one.
    NKPrinterPage device;
    bool bHasDevice = false;
};

// The global set-up, put to its start values by NKResetPageSetup (called
// from InitRuntimeDefaults).
extern NKPageSetup g_PageSetup;
void NKResetPageSetup(NKPageSetup *pSetup);

// Paper iIndex (0 A4, 1 Letter) in millimetres, long side first with
// bLandscape; another index gives 0 x 0.
void NKGetPaperSize(int iIndex, bool bLandscape, int *piWidth, int *piHeight);

// Fills the set-up from the default printer without a dialog; without one,
// A4 landscape with 25 mm margins. The set-up becomes valid.
void NKPageSetupFromDefaultPrinter(NKPageSetup *pSetup, void *pOwner);
// The printer's page in 1/100 mm as read (portrait or not): the set-up
// turned to landscape when the printer is not.
void NKPageSetupFromPaper(NKPageSetup *pSetup, int iWidth100, int iHeight100, int iTop100,
                          int iLeft100, int iBottom100, int iRight100, bool bLandscape);

// -1 keeps a size; false when a size or the picture's width or height is
// below 1. Then margins, picture size and offset are recomputed for the
// aspect iPictureWidth : iPictureHeight.
bool NKSetPageSize(NKPageSetup *pSetup, int iWidth, int iHeight, int iPictureWidth,
                   int iPictureHeight);
// Orders the page sizes (landscape: larger first) and calls NKSetPageSize.
bool NKSetPageOrientation(NKPageSetup *pSetup, bool bLandscape, int iPictureWidth,
                          int iPictureHeight);
bool NKIsPageLandscape(const NKPageSetup *pSetup);
// -1, or a value outside 0 to the page size, keeps a margin; each pair
// leaves at least 10 mm of page.
void NKSetPageMargins(NKPageSetup *pSetup, int iLeft, int iRight, int iTop, int iBottom);
// -1 is automatic (centred, or the stored offset); the picture is kept
// inside the printable area.
void NKSetPictureOffset(NKPageSetup *pSetup, int iX, int iY);
// -1 is automatic; fRatio is the rendering's width : height.
void NKSetPictureSize(NKPageSetup *pSetup, int iWidth, int iHeight, double fRatio);
// The printable area: page less margins, at least 0.
void NKGetPrintableArea(const NKPageSetup *pSetup, int *piWidth, int *piHeight);
// Margins, picture size and offset for a rendering of iWidth x iHeight
// (0 counts as 1), as printing and the PostScript writer do first.
void NKLayoutPage(NKPageSetup *pSetup, int iWidth, int iHeight);
// The rendering's pixel size for the picture by the resolution mode;
// iViewHeight serves the other modes.
void NKGetRenderingSize(const NKPageSetup *pSetup, int iViewHeight, int *piWidth, int *piHeight);
