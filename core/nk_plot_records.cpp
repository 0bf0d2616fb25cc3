// core/nk_plot_records.cpp -- making and freeing plot curves (see
// nk_plot_records.h). No GL, no drawing.
#include "core/nk_plot_records.h"

#include <cstring>
#include <new>

PlotCurve *NKCreatePlotCurve(int iId, int iSubId, const char *pszName, int iNumPoints)
{
    if (iNumPoints < 0) return nullptr;
    PlotCurve *pCurve = new (std::nothrow) PlotCurve();
    if (pCurve == nullptr) return nullptr;
    pCurve->iId = iId;
    pCurve->iSubId = iSubId;
    NKSetPlotText(pCurve->szName, (int)sizeof(pCurve->szName), pszName);
    if (iNumPoints > 0) {
        pCurve->pPoints = new (std::nothrow) NKPlotPoint[(size_t)iNumPoints]();
        if (pCurve->pPoints == nullptr) {
            delete pCurve;
            return nullptr;
        }
        pCurve->iNumPoints = iNumPoints;
    }
    return pCurve;
}

bool NKCreatePlotCurves(int iNumPoints, PlotCurve **ppCurves, int n)
{
    for (int i = 0; i < n; i++) {
        ppCurves[i] = NKCreatePlotCurve(0, 0, nullptr, iNumPoints);
        if (ppCurves[i] == nullptr) {
            NKFreePlotCurves(ppCurves, i);
            return false;
        }
    }
    return true;
}

void NKFreePlotCurve(PlotCurve *pCurve)
{
    if (pCurve == nullptr) return;
    delete[] pCurve->pPoints;
    delete pCurve;
}

void NKFreePlotCurves(PlotCurve **ppCurves, int n)
{
    for (int i = 0; i < n; i++) {
        NKFreePlotCurve(ppCurves[i]);
        ppCurves[i] = nullptr;
    }
}

void NKSetPlotText(char *pszField, int iRoom, const char *pszText)
{
    if (iRoom < 1) return;
    size_t n = pszText == nullptr ? 0 : strnlen(pszText, (size_t)iRoom - 1);
    if (n > 0) std::memcpy(pszField, pszText, n);
    pszField[n] = '\0';
}
