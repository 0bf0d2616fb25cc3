// app/nk_gl_menu_results.cpp -- the Results Menu of the in-view menu: its
// items, the command line each item runs, and the check marks, texts and
// enabled states read back from the display state after each action.
#include <cstdio>
#include <string>

#include "app/nk_gl_menu.h"
#include "commands/nk_command.h"
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

// An index inside the interface's count, else -1.
int InRange(int iIndex, int iCount) { return iIndex >= 0 && iIndex < iCount ? iIndex : -1; }

NKString ReadStateLine(int iScalar, int iVector)
{
    return NKString::FromFormat("readstate current %d %d",
                                InRange(iScalar, NKGetInterfaceNumScalars()) + 1,
                                InRange(iVector, NKGetInterfaceNumVectors()) + 1);
}

const char *Toggle(bool bOn, const char *pszOff, const char *pszOn) { return bOn ? pszOff : pszOn; }

// The command line of the fixed ids; null for ids that run nothing.
const char *FixedCommand(int iId)
{
    switch (iId) {
    case 101:
        return Toggle(ModelShown(), "nomodel", "model");
    case 102:
        return "surface";
    case 103:
        return "lines";
    case 104:
        return "points";
    case 105:
        return "outline";
    case 106:
        return Toggle(NKAllPartsSmooth(), "nosmooth", "smooth");
    case 107:
        return Toggle(NKAllPartsMesh(), "nomesh", "mesh");
    case 108:
        return Toggle(NKAllPartsOutlineMesh(), "nooutlinemesh", "outlinemesh");
    case 120:
        return "moveasnormal";
    case 121:
        return "moveasoutline";
    case 122:
        return "moveaslod";
    case 204:
        return Toggle(RulerShown(), "noruler", "ruler");
    case 301:
        return Toggle(LodAutomatic(), "lod manual", "lod automatic");
    case 302:
        return Toggle(LodPickSet(), "lod nopickset", "lod pickset 0");
    case 501:
        return Toggle(NKAllPartsFringes(), "nofringes 0 0", "fringes 0 0");
    case 502:
        return Toggle(NKTextureFringesOn(), "notexturefringes", "texturefringes");
    case 503:
        return Toggle(LegendShown(), "nolegend", "legend");
    case 504:
        return Toggle(CutPlaneOn(), "nocutplane", "cutplane");
    case 506:
        return Toggle(IsoSurfaceOn(), "noisosurface", "isosurface");
    case 551:
        return "cutplanealign x";
    case 552:
        return "cutplanealign y";
    case 553:
        return "cutplanealign z";
    case 554:
        return Toggle(CutPlaneRotates(), "cutplanelockrot", "nocutplanelockrot");
    case 555:
        return Toggle(CutPlaneFlag(NK_CUTPLANE_SHOW_VECTORS), "nocutplanevectors",
                      "cutplanevectors");
    case 556:
        return Toggle(CutPlaneFlag(NK_CUTPLANE_SHOW_SURFACE), "nocutplanesurface",
                      "cutplanesurface");
    case 601:
        return Toggle(NKAllPartsDisplacements(nullptr), "nodisplacements", "displacements");
    case 602:
        return Toggle(NKAllPartsVectors(), "novectors", "vectors");
    case 603:
        return Toggle(g_VectorSettings.bArrows != 0, "noarrows", "arrows");
    case 604:
        return Toggle(FilterBoxOn(), "vectors noboxfilter", "vectors boxfilter");
    case 605:
        return TracesOn() ? "addparticletrace" : "particletrace";
    case 606:
        return "noparticletrace";
    case 700:
        return "readstate next";
    case 701:
        return "readstate previous";
    default:
        return nullptr;
    }
}

// ---- Building -----------------------------------------------------------------

bool Add(NKGLMenu *pMenu, int iId, const char *pszText, int iReference, bool bBranch = false,
         bool bDisabled = false)
{
    return NKGLMenuAddItem(iId, pszText, pMenu, iReference, bBranch, bDisabled) != nullptr;
}

// A chain of items: the first as the branch of iParent, the others after it.
struct ItemText {
    int iId;
    const char *pszText;
};
template <int N>
void AddBranch(NKGLMenu *pMenu, int iParent, const ItemText (&items)[N])
{
    int iReference = iParent;
    for (int i = 0; i < N; i++) {
        Add(pMenu, items[i].iId, items[i].pszText, iReference, i == 0);
        iReference = items[i].iId;
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
    Add(pMenu, 700, "Read Next State", iLast);
    Add(pMenu, 701, "Read Previous State", 700);
    Add(pMenu, 702, "Launch Animation", 701);
    if (iScalars > 0)
        AddResultList(pMenu, 1000, 1001, NKGetInterfaceScalarNames(), iScalars, 1500, "None");
    // A reservoir set's flows are its separate vector fields.
    if (bReservoir) {
        const char *const apszFlows[3] = {"Water Flow", "Oil Flow", "Gas Flow"};
        int iReference = 2000;
        for (int i = 0; i < 3 && i < iFlows; i++) {
            Add(pMenu, 2901 + i, apszFlows[i], iReference, iReference == 2000);
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
    AddBranch(pMenu, 100,
              {{101, "Display Model"},
               {102, "Show As Surface"},
               {103, "Show As Lines"},
               {104, "Show As Points"},
               {105, "Show As Outline"},
               {106, "Smooth Shading"},
               {107, "Mesh Lines"},
               {108, "Outline Mesh"},
               {120, "Move As Normal"},
               {121, "Move As Outline"}});
    if (bLod) Add(pMenu, 122, "Move As LowRes", 121);
    AddBranch(pMenu, 200,
              {{201, "Head Light"},
               {202, "Menu Hides Model"},
               {203, "Y-axis Rotate Only"},
               {204, "Display Ruler"}});
    if (bLod) {
        AddBranch(pMenu, 300, {{301, "Auto LOD"}, {302, "Pick -> HiRes"}, {350, "Set LOD Level"}});
        AddLodLevels(pMenu, LodLevels());
    }
    AddBranch(pMenu, 500,
              {{501, "Color Fringes"},
               {502, "Textured Fringes"},
               {503, "Legend"},
               {504, "Cutting Plane"},
               {550, "Cutting Plane Settings"},
               {506, "Isosurface"}});
    AddBranch(pMenu, 600,
              {{601, "Displacements"},
               {602, "Vector Arrows"},
               {603, "Arrow Heads"},
               {604, "Filter Box"},
               {605, "Add Particle Trace"},
               {606, "Delete Particle Traces"}});
    AddBranch(pMenu, 550,
              {{551, "Align X"},
               {552, "Align Y"},
               {553, "Align Z"},
               {554, "Lock Rotation"},
               {555, "Vectors"},
               {556, "Surface"}});
}

// ---- Updating -------------------------------------------------------------------

void SetChecks(NKGLMenu *pMenu)
{
    const struct {
        int iId;
        bool bOn;
    } checks[] = {{101, ModelShown()},
                  {102, NKAllPartsAsSurface()},
                  {103, NKAllPartsAsLines()},
                  {104, NKAllPartsAsPoints()},
                  {105, NKAllPartsAsOutline()},
                  {106, NKAllPartsSmooth()},
                  {107, NKAllPartsMesh()},
                  {108, NKAllPartsOutlineMesh()},
                  {120, MoveMode() == NK_MOVE_NORMAL},
                  {121, MoveMode() == NK_MOVE_OUTLINE},
                  {122, MoveMode() == NK_MOVE_LOD},
                  {301, LodAutomatic()},
                  {302, LodPickSet()},
                  {204, RulerShown()},
                  {501, NKAllPartsFringes()},
                  {502, NKTextureFringesOn()},
                  {503, LegendShown()},
                  {506, IsoSurfaceOn()},
                  {504, CutPlaneOn()},
                  {601, NKAllPartsDisplacements(nullptr)},
                  {602, NKAllPartsVectors()},
                  {603, g_VectorSettings.bArrows != 0},
                  {604, FilterBoxOn()},
                  {554, !CutPlaneRotates()},
                  {555, CutPlaneFlag(NK_CUTPLANE_SHOW_VECTORS)},
                  {556, CutPlaneFlag(NK_CUTPLANE_SHOW_SURFACE)},
                  {2901, FieldShown(0)},
                  {2902, FieldShown(1)},
                  {2903, FieldShown(2)}};
    for (const auto &check : checks) NKGLMenuSetItemChecked(pMenu, check.iId, check.bOn);
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
    } else if (iId >= 2901 && iId <= 2903) {
        line = NKString::FromFormat(FieldShown(iId - 2901) ? "vectors hide %d" : "vectors show %d",
                                    iId - 2900);
    } else if (iId >= 351 && iId <= 350 + LodLevels()) {
        line = NKString::FromFormat("lod level %d", iId - 351);
    } else if (iId == 702) {
        line = NKString::FromFormat("animresults %d %d %d", 1, NKGetInterfaceNumSteps(), 1);
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
    ExecuteCommand(szLine);
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
