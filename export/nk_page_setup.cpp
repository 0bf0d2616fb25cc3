// export/nk_page_setup.cpp -- the page set-up's arithmetic: paper sizes,
// margins that leave some page, and the picture's size and offset inside
// the printable area (see nk_page_setup.h).
#include "export/nk_page_setup.h"

NKPageSetup g_PageSetup;

void NKResetPageSetup(NKPageSetup *pSetup)
{
    *pSetup = NKPageSetup();
    pSetup->szSpoolCommand = "lp";
    pSetup->szPostScriptFile = NKString::FromFormat("%s.ps", "Quolin");
}

void NKGetPaperSize(int iIndex, bool bLandscape, int *piWidth, int *piHeight)
{
    static const int kPaper[2][2] = {{210, 297}, {216, 279}};
    int w = 0, h = 0;
    if (iIndex == 0 || iIndex == 1) {
        w = kPaper[iIndex][0];
        h = kPaper[iIndex][1];
    }
    *piWidth = bLandscape ? h : w;
    *piHeight = bLandscape ? w : h;
}

void NKPageSetupFromPaper(NKPageSetup *pSetup, int iWidth100, int iHeight100, int iTop100,
                          int iLeft100, int iBottom100, int iRight100, bool bLandscape)
{
    pSetup->iPageWidth = iWidth100 / 100;
    pSetup->iPageHeight = iHeight100 / 100;
    pSetup->iTopMargin = iTop100 / 100;
    pSetup->iLeftMargin = iLeft100 / 100;
    pSetup->iBottomMargin = iBottom100 / 100;
    pSetup->iRightMargin = iRight100 / 100;
    pSetup->bLandscape = bLandscape ? 0 : 1;
    if (!bLandscape) {
        // Turned with the page: the printer's right edge becomes the top.
        const int t = pSetup->iTopMargin, l = pSetup->iLeftMargin;
        const int b = pSetup->iBottomMargin, r = pSetup->iRightMargin;
        pSetup->iTopMargin = r;
        pSetup->iLeftMargin = t;
        pSetup->iRightMargin = b;
        pSetup->iBottomMargin = l;
        const int w = pSetup->iPageWidth;
        pSetup->iPageWidth = pSetup->iPageHeight;
        pSetup->iPageHeight = w;
    }
    pSetup->iValid = 1;
}

void NKPageSetupFromDefaultPrinter(NKPageSetup *pSetup, void *)
{
    NKPrinterPage page;
    pSetup->bHasDevice = NKGetDefaultPrinterPage(&page);
    if (!pSetup->bHasDevice) {
        pSetup->iPageWidth = 297;
        pSetup->iPageHeight = 210;
        pSetup->iTopMargin = pSetup->iLeftMargin = 25;
        pSetup->iBottomMargin = pSetup->iRightMargin = 25;
        pSetup->bLandscape = 1;
        pSetup->iValid = 1;
        return;
    }
    NKPageSetupFromPaper(pSetup, page.iPaperWidth, page.iPaperHeight, page.iTop, page.iLeft,
                         page.iBottom, page.iRight, page.bLandscape);
    page.bLandscape = true;
    pSetup->device = page;
}

bool NKIsPageLandscape(const NKPageSetup *pSetup) { return pSetup->bLandscape != 0; }

namespace {

// One direction of NKSetPageMargins: piA and piB with what was given.
void FitMarginPair(int iPage, int *piA, int *piB, bool bGivenA, bool bGivenB)
{
    if (*piA + *piB <= iPage - 10) return;
    if (bGivenA != bGivenB) {
        if (bGivenA)
            *piB = iPage - 10 - *piA;
        else
            *piA = iPage - 10 - *piB;
    } else {
        const int iSum = *piA + *piB + 10;
        *piA = static_cast<int>(static_cast<double>(*piA) * iPage / iSum);
        *piB = static_cast<int>(static_cast<double>(*piB) * iPage / iSum);
    }
    if (*piA < 0 || *piB < 0) *piA = *piB = 0;
}

bool Given(int iValue, int iPage) { return iValue >= 0 && iValue <= iPage; }

}  // namespace

void NKSetPageMargins(NKPageSetup *pSetup, int iLeft, int iRight, int iTop, int iBottom)
{
    const int w = pSetup->iPageWidth, h = pSetup->iPageHeight;
    const bool bL = Given(iLeft, w), bR = Given(iRight, w);
    const bool bT = Given(iTop, h), bB = Given(iBottom, h);
    if (bL) pSetup->iLeftMargin = iLeft;
    if (bR) pSetup->iRightMargin = iRight;
    if (bT) pSetup->iTopMargin = iTop;
    if (bB) pSetup->iBottomMargin = iBottom;
    FitMarginPair(w, &pSetup->iLeftMargin, &pSetup->iRightMargin, bL, bR);
    FitMarginPair(h, &pSetup->iTopMargin, &pSetup->iBottomMargin, bT, bB);
}

void NKGetPrintableArea(const NKPageSetup *pSetup, int *piWidth, int *piHeight)
{
    const int w = pSetup->iPageWidth - pSetup->iLeftMargin - pSetup->iRightMargin;
    const int h = pSetup->iPageHeight - pSetup->iTopMargin - pSetup->iBottomMargin;
    *piWidth = w > 0 ? w : 0;
    *piHeight = h > 0 ? h : 0;
}

namespace {

// A given offset, else centred or the stored one, lowered to fit, >= 0.
int PlaceOffset(int iGiven, int iStored, int iArea, int iPicture, bool bCentre)
{
    int o = iGiven != -1 ? iGiven : (bCentre ? (iArea - iPicture) / 2 : iStored);
    if (o + iPicture > iArea) o = iArea - iPicture;
    return o > 0 ? o : 0;
}

}  // namespace

void NKSetPictureOffset(NKPageSetup *pSetup, int iX, int iY)
{
    int aw = 0, ah = 0;
    NKGetPrintableArea(pSetup, &aw, &ah);
    pSetup->iOffsetX =
        PlaceOffset(iX, pSetup->iOffsetX, aw, pSetup->iPictureWidth, pSetup->bCentre != 0);
    pSetup->iOffsetY =
        PlaceOffset(iY, pSetup->iOffsetY, ah, pSetup->iPictureHeight, pSetup->bCentre != 0);
}

void NKSetPictureSize(NKPageSetup *pSetup, int iWidth, int iHeight, double fRatio)
{
    if (!(fRatio > 0.0)) fRatio = 1.0;
    int aw = 0, ah = 0;
    NKGetPrintableArea(pSetup, &aw, &ah);
    const bool bAspect = pSetup->bKeepAspect != 0;
    const int ox = pSetup->bCentre ? 0 : pSetup->iOffsetX;
    const int oy = pSetup->bCentre ? 0 : pSetup->iOffsetY;
    int w = pSetup->iPictureWidth, h = pSetup->iPictureHeight;
    if (pSetup->bFitToPage) {
        w = aw - ox;
        h = ah - oy;
        if (bAspect && w > h * fRatio)
            w = static_cast<int>(h * fRatio);
        else if (bAspect)
            h = static_cast<int>(w / fRatio);
    } else {
        if (iWidth != -1) w = iWidth;
        if (iHeight != -1) h = iHeight;
        if (bAspect && iWidth == -1 && iHeight != -1) w = static_cast<int>(h * fRatio);
        if (bAspect && iHeight == -1 && iWidth != -1) h = static_cast<int>(w / fRatio);
    }
    if (w + ox > aw) {
        w = aw - ox;
        if (bAspect) h = static_cast<int>(w / fRatio);
    }
    if (h + oy > ah) {
        h = ah - oy;
        if (bAspect) w = static_cast<int>(h * fRatio);
    }
    pSetup->iPictureWidth = w > 0 ? w : 0;
    pSetup->iPictureHeight = h > 0 ? h : 0;
    if (pSetup->bCentre) {
        pSetup->iOffsetX = (aw - pSetup->iPictureWidth) / 2;
        pSetup->iOffsetY = (ah - pSetup->iPictureHeight) / 2;
    }
}

void NKLayoutPage(NKPageSetup *pSetup, int iWidth, int iHeight)
{
    const double r = static_cast<double>(iWidth > 0 ? iWidth : 1) / (iHeight > 0 ? iHeight : 1);
    NKSetPageMargins(pSetup, -1, -1, -1, -1);
    NKSetPictureSize(pSetup, -1, -1, r);
    NKSetPictureOffset(pSetup, -1, -1);
}

bool NKSetPageSize(NKPageSetup *pSetup, int iWidth, int iHeight, int iPictureWidth,
                   int iPictureHeight)
{
    if ((iWidth != -1 && iWidth < 1) || (iHeight != -1 && iHeight < 1)) return false;
    if (iPictureWidth < 1 || iPictureHeight < 1) return false;
    if (iWidth != -1) pSetup->iPageWidth = iWidth;
    if (iHeight != -1) pSetup->iPageHeight = iHeight;
    NKLayoutPage(pSetup, iPictureWidth, iPictureHeight);
    return true;
}

bool NKSetPageOrientation(NKPageSetup *pSetup, bool bLandscape, int iPictureWidth,
                          int iPictureHeight)
{
    int w = pSetup->iPageWidth, h = pSetup->iPageHeight;
    if ((bLandscape && w < h) || (!bLandscape && w > h)) {
        w = pSetup->iPageHeight;
        h = pSetup->iPageWidth;
    }
    pSetup->bLandscape = bLandscape ? 1 : 0;
    return NKSetPageSize(pSetup, w, h, iPictureWidth, iPictureHeight);
}

void NKGetRenderingSize(const NKPageSetup *pSetup, int iViewHeight, int *piWidth, int *piHeight)
{
    const int pw = pSetup->iPictureWidth, ph = pSetup->iPictureHeight;
    if (pSetup->iResolutionMode == 2 || pSetup->iResolutionMode == 3) {
        const int k = pSetup->iResolutionMode == 2 ? 4 : 7;
        *piWidth = pw * k;
        *piHeight = ph * k;
        return;
    }
    *piHeight = iViewHeight;
    *piWidth = ph > 0 ? static_cast<int>(static_cast<double>(iViewHeight) * pw / ph) : 0;
}
