// app/nk_gl_menu_results.cpp -- the Results Menu of the in-view menu: its
// items, the command line each item runs, and the check marks, texts and
// enabled states read back from the display state after each action.
#include <cstdio>
#include <string>

#include "app/nk_gl_menu.h"
#include "commands/nk_command.h"
#include "commands/nk_play_steps.h"
#include "core/nk_data_source_kind.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "core/nk_string.h"
#include "readers/nk_data_source.h"
#include "render/nk_lod.h"
#include "render/nk_view_settings.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_iso_surface.h"
#include "tools/nk_manipulator.h"
#include "tools/nk_particle_trace.h"

namespace {

// ---- The display state the items show and switch ----------------------------

int LodLevels(void) { return g_pLodManager != nullptr ? g_pLodManager->m_iNumLevels : 0; }
bool LodAutomatic(void) { return g_pLodManager != nullptr && g_pLodManager->m_bAutomatic; }
bool LodPickSet(void) { return g_pLodManager != nullptr && g_pLodManager->m_bSetOnPick; }
bool ModelShown(void) { return g_pViewSettings != nullptr && g_pViewSettings->bShowModel; }
bool LegendShown(void) { return g_pViewSettings != nullptr && g_pViewSettings->bShowLegend; }
int MoveMode(void) { return g_pViewSettings != nullptr ? g_pViewSettings->iMoveMode : 0; }
bool RulerShown(void) { return g_pRuler != nullptr && g_pRuler->IsEnabled(); }
bool CutPlaneOn(void) { return g_pCutPlaneSet != nullptr && g_pCutPlaneSet->IsEnabled(); }
bool CutPlaneRotates(void)
{
    return g_pCutPlaneSet != nullptr && g_pCutPlaneSet->Handle().IsRotationEnabled();
}
bool CutPlaneFlag(NKCutPlaneFlag flag)
{
    return g_pCutPlaneSet != nullptr && g_pCutPlaneSet->GetFlag(flag, g_pCutPlaneSet->GetCurrent());
}
bool IsoSurfaceOn(void) { return g_pIsoSurfaceState != nullptr && g_pIsoSurfaceState->bEnabled; }
bool FilterBoxOn(void)
{
    const BoxManipulator *pBox = NKGetVectorFilterBox();
    return pBox != nullptr && pBox->IsEnabled();
}
bool TracesOn(void) { return g_pParticleTraceSet != nullptr && g_pParticleTraceSet->IsEnabled(); }
bool FieldShown(int iSet) { return g_SeparateVectorSettings[iSet].bShown != 0; }
bool FirstFrameHasField(int iSet)
{
    return g_pModel != nullptr && g_pModel->iNumFrames > 0 && g_pModel->pFrames != nullptr &&
           g_pModel->pFrames[0].pSeparateVectors[iSet] != nullptr;
}
bool AnyFirstFrameField(void)
{
    for (int i = 0; i < NK_NUM_SEPARATE_VECTOR_SLOTS; i++)
        if (FirstFrameHasField(i)) return true;
    return false;
}

// No part of the current geometry shows fringes.
bool NoPartShowsFringes(void)
{
    const NKGeometry *pGeo = NKGetCurrentGeometry();
    if (pGeo == nullptr || pGeo->pParts == nullptr) return true;
    for (int i = 0; i < pGeo->iNumParts; i++)
        if (pGeo->pParts[i].bFringes != 0) return false;
    return true;
}

// An index inside the interface's count, else -1.
int InRange(int iIndex, int iCount) { return iIndex >= 0 && iIndex < iCount ? iIndex : -1; }

NKString ReadStateLine(int iScalar, int iVector)
{
    return NKString::FromFormat("readstate current %d %d",
                                InRange(iScalar, NKGetInterfaceNumScalars()) + 1,
                                InRange(iVector, NKGetInterfaceNumVectors()) + 1);
}

// ---- The fixed items ------------------------------------------------------------

bool AsSurface(void) { return NKAllPartsAsSurface(); }
bool AsLines(void) { return NKAllPartsAsLines(); }
bool AsPoints(void) { return NKAllPartsAsPoints(); }
bool AsOutline(void) { return NKAllPartsAsOutline(); }
bool Smooth(void) { return NKAllPartsSmooth(); }
bool Mesh(void) { return NKAllPartsMesh(); }
bool OutlineMesh(void) { return NKAllPartsOutlineMesh(); }
bool MovesAsNormal(void) { return MoveMode() == NK_MOVE_NORMAL; }
bool MovesAsOutline(void) { return MoveMode() == NK_MOVE_OUTLINE; }
bool MovesAsLod(void) { return MoveMode() == NK_MOVE_LOD; }
bool Fringes(void) { return NKAllPartsFringes(); }
bool TextureFringes(void) { return NKTextureFringesOn(); }
bool CutPlaneLocked(void) { return !CutPlaneRotates(); }
bool CutPlaneVectors(void) { return CutPlaneFlag(NK_CUTPLANE_SHOW_VECTORS); }
bool CutPlaneSurface(void) { return CutPlaneFlag(NK_CUTPLANE_SHOW_SURFACE); }
bool Displacements(void) { return NKAllPartsDisplacements(nullptr); }
bool Vectors(void) { return NKAllPartsVectors(); }
bool Arrows(void) { return g_VectorSettings.bArrows != 0; }
bool WaterFlowShown(void) { return FieldShown(0); }
bool OilFlowShown(void) { return FieldShown(1); }
bool GasFlowShown(void) { return FieldShown(2); }

// One row per item of a fixed id. An item lists in the branch of iBranch,
// in the order of the rows (0: listed apart); bLod items only while the
// model has levels of detail. It runs pszLine, or pszLineOn while its state
// is on (a toggle); a null line runs nothing. bCheck: its check mark shows
// the state.
struct ResultsItem {
    int iId;
    int iBranch;
    const char *pszLabel;
    const char *pszLine;
    const char *pszLineOn;
    bool (*pfnState)(void);
    bool bCheck;
    bool bLod;
};

const ResultsItem sg_aItems[] = {
    {101, 100, "Display Model", "model", "nomodel", ModelShown, true, false},
    {102, 100, "Show As Surface", "surface", nullptr, AsSurface, true, false},
    {103, 100, "Show As Lines", "lines", nullptr, AsLines, true, false},
    {104, 100, "Show As Points", "points", nullptr, AsPoints, true, false},
    {105, 100, "Show As Outline", "outline", nullptr, AsOutline, true, false},
    {106, 100, "Smooth Shading", "smooth", "nosmooth", Smooth, true, false},
    {107, 100, "Mesh Lines", "mesh", "nomesh", Mesh, true, false},
    {108, 100, "Outline Mesh", "outlinemesh", "nooutlinemesh", OutlineMesh, true, false},
    {120, 100, "Move As Normal", "moveasnormal", nullptr, MovesAsNormal, true, false},
    {121, 100, "Move As Outline", "moveasoutline", nullptr, MovesAsOutline, true, false},
    {122, 100, "Move As LowRes", "moveaslod", nullptr, MovesAsLod, true, true},
    {201, 200, "Head Light", nullptr, nullptr, nullptr, false, false},
    {202, 200, "Menu Hides Model", nullptr, nullptr, nullptr, false, false},
    {203, 200, "Y-axis Rotate Only", nullptr, nullptr, nullptr, false, false},
    {204, 200, "Display Ruler", "ruler", "noruler", RulerShown, true, false},
    {301, 300, "Auto LOD", "lod automatic", "lod manual", LodAutomatic, true, true},
    {302, 300, "Pick -> HiRes", "lod pickset 0", "lod nopickset", LodPickSet, true, true},
    {350, 300, "Set LOD Level", nullptr, nullptr, nullptr, false, true},
    {501, 500, "Color Fringes", "fringes 0 0", "nofringes 0 0", Fringes, true, false},
    {502, 500, "Textured Fringes", "texturefringes", "notexturefringes", TextureFringes, true,
     false},
    {503, 500, "Legend", "legend", "nolegend", LegendShown, true, false},
    {504, 500, "Cutting Plane", "cutplane", "nocutplane", CutPlaneOn, true, false},
    {550, 500, "Cutting Plane Settings", nullptr, nullptr, nullptr, false, false},
    {506, 500, "Isosurface", "isosurface", "noisosurface", IsoSurfaceOn, true, false},
    {601, 600, "Displacements", "displacements", "nodisplacements", Displacements, true, false},
    {602, 600, "Vector Arrows", "vectors", "novectors", Vectors, true, false},
    {603, 600, "Arrow Heads", "arrows", "noarrows", Arrows, true, false},
    {604, 600, "Filter Box", "vectors boxfilter", "vectors noboxfilter", FilterBoxOn, true, false},
    {605, 600, "Add Particle Trace", "particletrace", "addparticletrace", TracesOn, false, false},
    {606, 600, "Delete Particle Traces", "noparticletrace", nullptr, nullptr, false, false},
    {551, 550, "Align X", "cutplanealign x", nullptr, nullptr, false, false},
    {552, 550, "Align Y", "cutplanealign y", nullptr, nullptr, false, false},
    {553, 550, "Align Z", "cutplanealign z", nullptr, nullptr, false, false},
    {554, 550, "Lock Rotation", "cutplanelockrot", "nocutplanelockrot", CutPlaneLocked, true,
     false},
    {555, 550, "Vectors", "cutplanevectors", "nocutplanevectors", CutPlaneVectors, true, false},
    {556, 550, "Surface", "cutplanesurface", "nocutplanesurface", CutPlaneSurface, true, false},
    {700, 0, "Read Next State", "readstate next", nullptr, nullptr, false, false},
    {701, 0, "Read Previous State", "readstate previous", nullptr, nullptr, false, false},
    {2901, 0, "Water Flow", "vectors show 1", "vectors hide 1", WaterFlowShown, true, false},
    {2902, 0, "Oil Flow", "vectors show 2", "vectors hide 2", OilFlowShown, true, false},
    {2903, 0, "Gas Flow", "vectors show 3", "vectors hide 3", GasFlowShown, true, false},
};

const ResultsItem *FindItem(int iId)
{
    for (const ResultsItem &item : sg_aItems)
        if (item.iId == iId) return &item;
    return nullptr;
}

const char *Label(int iId) { return FindItem(iId)->pszLabel; }

// The command line of a fixed id; null for ids that run nothing.
const char *FixedCommand(int iId)
{
    const ResultsItem *pItem = FindItem(iId);
    if (pItem == nullptr) return nullptr;
    if (pItem->pszLineOn != nullptr && pItem->pfnState()) return pItem->pszLineOn;
    return pItem->pszLine;
}

// ---- Building -----------------------------------------------------------------

bool Add(NKGLMenu *pMenu, int iId, const char *pszText, int iReference, bool bBranch = false,
         bool bDisabled = false)
{
    return NKGLMenuAddItem(iId, pszText, pMenu, iReference, bBranch, bDisabled) != nullptr;
}

// The rows of iBranch, the first as its branch, the others after it.
void AddBranch(NKGLMenu *pMenu, int iBranch, bool bLod)
{
    int iReference = iBranch;
    for (const ResultsItem &item : sg_aItems) {
        if (item.iBranch != iBranch || (item.bLod && !bLod)) continue;
        Add(pMenu, item.iId, item.pszLabel, iReference, iReference == iBranch);
        iReference = item.iId;
    }
}

void AddResultList(NKGLMenu *pMenu, int iParent, int iFirst, const NKStringList *pNames, int iCount,
                   int iNone, const char *pszNone)
{
    int iReference = iParent;
    for (int i = 0; i < iCount; i++) {
        const char *pszName = pNames != nullptr ? pNames->Get(i) : nullptr;
        Add(pMenu, iFirst + i, pszName != nullptr ? pszName : "", iReference, i == 0);
        iReference = iFirst + i;
    }
    Add(pMenu, iNone, pszNone, iReference, iCount == 0);
}

void AddLodLevels(NKGLMenu *pMenu, int iLevels)
{
    int iReference = 350;
    for (int i = 0; i < iLevels; i++) {
        const NKString text = i == 0             ? NKString::FromFormat("Level %d (high res)", i)
                              : i == iLevels - 1 ? NKString::FromFormat("Level %d (low res)", i)
                                                 : NKString::FromFormat("Level %d", i);
        Add(pMenu, 351 + i, text.GetText(), iReference, i == 0);
        iReference = 351 + i;
    }
}

void AddSourceItems(NKGLMenu *pMenu)
{
    int iLast = 600;
    const int iScalars = NKGetInterfaceNumScalars();
    const int iVectors = NKGetInterfaceNumVectors();
    if (iScalars > 0 && Add(pMenu, 1000, "Scalar Results", iLast)) iLast = 1000;
    const bool bReservoir = NKGetInterfaceType() == NK_INTERFACE_RESERVOIR;
    const int iFlows = bReservoir ? NKGetInterfaceNumTransformations() : 0;
    if ((iVectors > 0 || iFlows > 0) && Add(pMenu, 2000, "Vector Results", iLast)) iLast = 2000;
    Add(pMenu, 700, Label(700), iLast);
    Add(pMenu, 701, Label(701), 700);
    Add(pMenu, 702, "Launch Animation", 701);
    if (iScalars > 0)
        AddResultList(pMenu, 1000, 1001, NKGetInterfaceScalarNames(), iScalars, 1500, "None");
    // A reservoir set's flows are its separate vector fields.
    if (bReservoir) {
        int iReference = 2000;
        for (int i = 0; i < 3 && i < iFlows; i++) {
            Add(pMenu, 2901 + i, Label(2901 + i), iReference, iReference == 2000);
            iReference = 2901 + i;
        }
    } else if (iVectors > 0) {
        AddResultList(pMenu, 2000, 2001, NKGetInterfaceVectorNames(), iVectors, 2500, "None");
    }
}

void BuildItems(NKGLMenu *pMenu)
{
    const bool bLod = LodLevels() > 1;
    Add(pMenu, 3, "Step: <unknown>", 0, false, true);
    Add(pMenu, 1, "Scalar: <unknown>", 3, false, true);
    Add(pMenu, 2, "Vector: <unknown>", 1, false, true);
    Add(pMenu, 100, "Model", 2);
    if (bLod) Add(pMenu, 300, "LOD", 100);
    Add(pMenu, 200, "Misc.", bLod ? 300 : 100);
    Add(pMenu, 500, "Scalar", 200);
    Add(pMenu, 600, "Vector", 500);
    if (NKGetInterfaceType() != NK_INTERFACE_NONE) AddSourceItems(pMenu);
    for (int iBranch : {100, 200, 300}) AddBranch(pMenu, iBranch, bLod);
    if (bLod) AddLodLevels(pMenu, LodLevels());
    for (int iBranch : {500, 600, 550}) AddBranch(pMenu, iBranch, bLod);
}

// ---- Updating -------------------------------------------------------------------

void SetChecks(NKGLMenu *pMenu)
{
    for (const ResultsItem &item : sg_aItems)
        if (item.bCheck) NKGLMenuSetItemChecked(pMenu, item.iId, item.pfnState());
    const int iScalar = InRange(NKGetCurrentScalarIndex(), NKGetInterfaceNumScalars());
    const int iVector = InRange(NKGetCurrentVectorIndex(), NKGetInterfaceNumVectors());
    if (NKGLMenuItem *pList = NKGLMenuFindItem(pMenu->root, 1000))
        NKGLMenuCheckOnly(pList->branch, iScalar >= 0 ? 1001 + iScalar : 1500);
    if (NKGLMenuItem *pList = NKGLMenuFindItem(pMenu->root, 2000))
        if (NKGetInterfaceType() != NK_INTERFACE_RESERVOIR)
            NKGLMenuCheckOnly(pList->branch, iVector >= 0 ? 2001 + iVector : 2500);
}

void AppendNames(std::string *pKey, const NKStringList *pNames, int iCount)
{
    *pKey += "\n" + std::to_string(iCount);
    for (int i = 0; i < iCount && pNames != nullptr; i++) {
        const char *pszName = pNames->Get(i);
        *pKey += "\n";
        *pKey += pszName != nullptr ? pszName : "";
    }
}

// What the Results Menu lists for the model now: the source, its result
// names and the level-of-detail levels; empty without a model.
std::string ResultsMenuKey(void)
{
    if (!NKModelHasGeometry()) return std::string();
    NKString fileName;
    NKGetInterfaceFileName(&fileName);
    std::string key = std::to_string(NKGetInterfaceType()) + "\n" + fileName.GetText();
    AppendNames(&key, NKGetInterfaceScalarNames(), NKGetInterfaceNumScalars());
    AppendNames(&key, NKGetInterfaceVectorNames(), NKGetInterfaceNumVectors());
    return key + "\n" + std::to_string(NKGetInterfaceNumTransformations()) + " " +
           std::to_string(LodLevels());
}

NKString ResultName(const NKStringList *pNames, int iIndex)
{
    const char *pszName = pNames != nullptr && iIndex >= 0 ? pNames->Get(iIndex) : nullptr;
    NKString name(pszName != nullptr ? pszName : "");
    name.Trim();
    return name.IsEmpty() ? NKString("<none>") : name;
}

}  // namespace

void NKGLMenuItemCommand(const NKGLMenu *pMenu, int iId, char *pszOut, int iSize)
{
    if (iSize > 0) pszOut[0] = '\0';
    if (pMenu == nullptr || iId < 0) return;
    const NKGLMenuItem *pItem = NKGLMenuFindItem(pMenu->root, iId);
    if (pItem == nullptr || pItem->branch != nullptr || pItem->disabled) return;
    NKString line;
    const int iScalars = NKGetInterfaceNumScalars();
    const int iVectors = NKGetInterfaceNumVectors();
    if (iId >= 1001 && iId <= 1000 + iScalars) {
        line = ReadStateLine(iId - 1001, NKGetCurrentVectorIndex());
    } else if (iId >= 2001 && iId <= 2000 + iVectors) {
        line = ReadStateLine(NKGetCurrentScalarIndex(), iId - 2001);
    } else if (iId == 1500) {
        line = ReadStateLine(-1, NKGetCurrentVectorIndex());
    } else if (iId == 2500) {
        line = ReadStateLine(NKGetCurrentScalarIndex(), -1);
    } else if (iId >= 351 && iId <= 350 + LodLevels()) {
        line = NKString::FromFormat("lod level %d", iId - 351);
    } else if (iId == 702) {
        line = NKPlayLine();
    } else if (const char *pszFixed = FixedCommand(iId)) {
        line = NKString(pszFixed);
    }
    std::snprintf(pszOut, iSize, "%s", line.GetText());
}

bool NKGLMenuExecuteItem(NKGLMenu *pMenu, int iId)
{
    // An item of a menu built for another model runs nothing.
    if (pMenu != nullptr && pMenu->bResultsMenu && pMenu->builtFor != ResultsMenuKey())
        return false;
    char szLine[256];
    NKGLMenuItemCommand(pMenu, iId, szLine, sizeof szLine);
    if (szLine[0] == '\0') return false;
    const bool bShowField = iId >= 2901 && iId <= 2903 && !FieldShown(iId - 2901);
    const bool bScalar = iId >= 1001 && iId <= 1000 + NKGetInterfaceNumScalars();
    // A scalar chosen while no part shows fringes would change nothing on
    // screen: its fringes are switched on with it. "None" leaves no values
    // to colour by: fringes shown would paint the whole model in the
    // legend's lowest colour, so they go and the parts show their own.
    // Launch Animation is Play: its line first, then past refused steps.
    if (iId == 702) {
        NKPlayAllSteps();
    } else if (ExecuteCommand(szLine) == 0) {
        if (bScalar && NoPartShowsFringes()) ExecuteCommand("fringes");
        if (iId == 1500 && !NoPartShowsFringes()) ExecuteCommand("nofringes");
    }
    // A field shown before the first frame holds it is read in as well.
    if (bShowField && !FirstFrameHasField(iId - 2901))
        ExecuteCommand(
            ReadStateLine(NKGetCurrentScalarIndex(), NKGetCurrentVectorIndex()).GetText());
    return true;
}

void NKGLMenuUpdateStepText(NKGLMenu *pMenu, int iFrame)
{
    if (pMenu == nullptr) return;
    NKString text;
    const NKFrame *pFrame = nullptr;
    if (g_pModel != nullptr && g_pModel->pFrames != nullptr) {
        if (iFrame < 0) iFrame = g_pModel->iCurrentFrame;
        if (iFrame >= 0 && iFrame < g_pModel->iNumFrames) pFrame = &g_pModel->pFrames[iFrame];
    }
    if (pFrame != nullptr) {
        NKString prefix = g_szStepText;
        prefix.Trim();
        if (!prefix.IsEmpty()) text = prefix + ": ";
        NKString description = pFrame->szDescription;
        description.Trim();
        text += description;
        if (g_pModel->iNumFrames > 1)
            text += NKString::FromFormat(" (%d of %d)", iFrame + 1, g_pModel->iNumFrames);
    }
    if (text.IsEmpty()) text = NKString("Step: <unknown>");
    NKGLMenuSetItemText(pMenu, 3, text.GetText());
}

void NKGLMenuUpdateResultsMenu(NKGLMenu *pMenu)
{
    if (pMenu == nullptr) return;
    SetChecks(pMenu);
    const NKString scalar = ResultName(NKGetInterfaceScalarNames(), NKGetCurrentScalarIndex());
    const NKString vector = ResultName(NKGetInterfaceVectorNames(), NKGetCurrentVectorIndex());
    NKGLMenuSetItemText(pMenu, 1, (NKString("Scalar: ") + scalar).GetText());
    NKGLMenuSetItemText(pMenu, 2, (NKString("Vector: ") + vector).GetText());
    NKGLMenuUpdateStepText(pMenu, -1);
    const bool bSteps = NKGetInterfaceNumSteps() > 1;
    NKGLMenuSetItemEnabled(pMenu, 500, NKCountFramesWithScalars(false) > 0);
    NKGLMenuSetItemEnabled(pMenu, 600, NKCountFramesWithVectors(false) > 0 || AnyFirstFrameField());
    NKGLMenuSetItemEnabled(pMenu, 700, bSteps);
    NKGLMenuSetItemEnabled(pMenu, 701, bSteps);
    NKGLMenuSetItemEnabled(pMenu, 702, bSteps);
    NKGLMenuSetItemEnabled(pMenu, 100, NKModelHasGeometry());
    NKGLMenuSetItemEnabled(pMenu, 350, !LodAutomatic());
}

bool NKBuildResultsMenu(NKGLMenu **ppSlot)
{
    if (ppSlot == nullptr) return false;
    NKDeleteGLMenu(*ppSlot);
    *ppSlot = NKCreateGLMenu(0, "Results Menu");
    if (*ppSlot == nullptr) return false;
    (*ppSlot)->bResultsMenu = 1;
    (*ppSlot)->builtFor = ResultsMenuKey();
    BuildItems(*ppSlot);
    (*ppSlot)->shown = 1;
    NKGLMenuUpdateResultsMenu(*ppSlot);
    return true;
}

void NKResultsMenuFollowModel(void)
{
    NKGLMenu *pMenu = g_pGLMenu;
    if (pMenu == nullptr || !pMenu->bResultsMenu) return;
    const std::string key = ResultsMenuKey();
    if (key == pMenu->builtFor) return;
    if (!pMenu->shown || key.empty()) {
        NKDestroyGLMenu();
        return;
    }
    const float afOffset[3] = {pMenu->offsetX, pMenu->offsetY, pMenu->offsetZ};
    if (!NKBuildResultsMenu(&g_pGLMenu)) return;
    g_pGLMenu->offsetX = afOffset[0];
    g_pGLMenu->offsetY = afOffset[1];
    g_pGLMenu->offsetZ = afOffset[2];
}
