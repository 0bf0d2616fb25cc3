// tools/nk_iso_surface.cpp -- the iso-surface state, the per-frame test and
// computation, and the volume file beside the geometry (see nk_iso_surface.h).
#include "tools/nk_iso_surface.h"

#include <new>

#include "core/nk_diagnostic.h"
#include "core/nk_file.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "tools/nk_surface_polygoniser.h"
#include "tools/nk_surface_storage.h"

IsoSurfaceState *g_pIsoSurfaceState = nullptr;

// The change is cleared even when the value equals the level: a flag left set
// would let a later level from a command be overwritten by the stale value.
bool NKIsoSurfacesNeedUpdate(IsoSurfaceState *pState, int iFrame)
{
    if (pState == nullptr) return false;
    if (pState->slider.IsChanged()) {
        if (pState->slider.GetValue() != pState->fLevel) {
            pState->fLevel = pState->slider.GetValue();
            NKFreeIsoSurfaces(iFrame);
        }
        pState->slider.ClearChanged();
    }
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return false;
    int iFirst = iFrame < 0 ? 0 : iFrame;
    int iLast = iFrame < 0 ? g_pModel->iNumFrames - 1 : iFrame;
    for (int f = iFirst; f <= iLast && f < g_pModel->iNumFrames; f++)
        if (g_pModel->pFrames[f].pIsoSurfaces == nullptr) return true;
    return false;
}

bool NKVolumeComputeIsoSurfaces(NKFrame *pFrame, IsoSurfaceState *pState)
{
    if (pFrame == nullptr || pState == nullptr || pFrame->pScalar == nullptr) return false;
    const NKGeometry *pGeo = pFrame->pGeometry;
    if (pGeo == nullptr || pGeo->iNumParts < 1 || pGeo->pParts == nullptr) return false;
    pState->slider.SetValue(pState->fLevel);
    pState->slider.ClearChanged();
    if (pFrame->pIsoSurfaces != nullptr) {
        NKDiagnostic("Frame already contains an iso surface", "NKVolumeComputeIsoSurfaces()");
        NKFreeFrameIsoSurfaceRecords(pFrame);
    }
    pFrame->pIsoSurfaces = new (std::nothrow) IsoSurfacePart[pGeo->iNumParts];
    if (pFrame->pIsoSurfaces == nullptr) {
        pFrame->iNumIsoSurfaces = 0;
        return false;
    }
    pFrame->iNumIsoSurfaces = pGeo->iNumParts;
    bool bAny = false;
    for (int i = 0; i < pGeo->iNumParts; i++) {
        IsoSurfacePart *pRec = &pFrame->pIsoSurfaces[i];
        pRec->fLevel = pState->fLevel;
        if (pGeo->pParts[i].iNumElements > 0) bAny |= NKComputePartIsoSurface(pFrame, i);
        if (pRec->mesh.iNumNodes > 0) pRec->bHasSurface = 1;
    }
    if (!bAny) NKFreeFrameIsoSurfaceRecords(pFrame);
    return bAny;
}

namespace {

// The path without the extension of its file name: from the last '.' after
// the last directory separator; a name without '.' stays whole.
NKString StripFileExtension(const NKString &path)
{
    const char *psz = path.GetText();
    int iDot = -1;
    for (int i = 0; psz[i] != '\0'; i++) {
        if (psz[i] == '/' || psz[i] == '\\') iDot = -1;
        if (psz[i] == '.') iDot = i;
    }
    if (iDot < 0) return path;
    return iDot == 0 ? NKString("") : path.Mid(0, iDot - 1);
}

}  // namespace

bool NKLoadVolumeBesideGeometry(NKFrame *pFrame)
{
    if (pFrame == nullptr || pFrame->pGeometry == nullptr) return false;
    NKString base = StripFileExtension(pFrame->pGeometry->szFileName);
    static const char *const apszExtensions[] = {".vol", ".qlg", ".VOL", ".QLG"};
    for (const char *pszExt : apszExtensions) {
        NKString name = base;
        name += pszExt;
        if (!NKTestFileAccess(name.GetText(), NK_ACCESS_EXISTS)) continue;
        NKString line("readvolume ");
        line += name;
        if (NKRunCommandLine(line.GetText()) == 0) return true;
    }
    return false;
}
