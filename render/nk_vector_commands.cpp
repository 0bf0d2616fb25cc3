// render/nk_vector_commands.cpp -- NKCommandHandleVectors (see
// nk_vector_commands.h).
#include "render/nk_vector_commands.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_part_range.h"
#include "core/nk_bbox.h"
#include "core/nk_data_source_kind.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_math.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_references.h"
#include "core/nk_render_state.h"
#include "core/nk_source_settings.h"
#include "core/nk_transform_tables.h"
#include "core/nk_view_state.h"
#include "render/nk_command_actions.h"
#include "render/nk_command_part_range.h"
#include "render/nk_node_traces.h"
#include "render/nk_part_overlays.h"
#include "render/nk_result_scaling.h"
#include "render/nk_view_settings.h"

namespace {

NKVectorFilterBoxHook sg_pfnFilterBoxHook = nullptr;

constexpr char kIllegalField[] = "Illegal field specified";

// The running scan of the arguments, past the "PARAMS" word.
struct Scan {
    explicit Scan(const char *pszArguments) : scan(pszArguments) { scan.NextToken(); }
    NKArgumentScan scan;
};

// The geometries of all frames, each once.
std::vector<NKGeometry *> Geometries(void)
{
    std::vector<NKGeometry *> out;
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return out;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKGeometry *pGeo = g_pModel->pFrames[f].pGeometry;
        bool bSeen = pGeo == nullptr;
        for (NKGeometry *p : out) bSeen = bSeen || p == pGeo;
        if (!bSeen) out.push_back(pGeo);
    }
    return out;
}

// A numeric word into *pf; an absent word leaves it. False (parameter
// error) for a word that is not a number.
bool ReadFloatWord(CommandTableEntry *pEntry, const NKString &word, float *pf)
{
    if (word.IsEmpty()) return true;
    if (NKWordToFloat(word.GetText(), pf)) return true;
    NKCommandError(pEntry, "Illegal number specified");
    return false;
}

// The things a change of the displaced shape invalidates.
void AfterDisplacementChange(bool bBoxes)
{
    if (g_bContoursShown) NKUpdateContours();
    if (bBoxes) NKComputeFrameBoundingBoxes(-1, false, true);
    NKFreeIsoSurfaces(-1);
    NKFreeCutSurfaces(-1, -1);
    NKComputeNodeTraces();
}

NKVectorSettings *FieldRecord(int iField)
{
    return iField >= 1 && iField <= 3 ? &g_SeparateVectorSettings[iField - 1] : &g_VectorSettings;
}

// ---- scaling ----------------------------------------------------------------------

// The separate vector fields (iField 1-3, or 0 for all three) take the
// factor as their length scale; one field named also clamps at the scaled
// longest vector unless it clamps already.
int ScaleSeparateFields(float fFactor, int iField)
{
    for (int s = 0; s < 3; s++) {
        if (iField != 0 && s != iField - 1) continue;
        if (g_pModel != nullptr) {
            NKValueRange &r = g_pModel->valueRanges[4 + s];
            r.fLengthScale = fFactor;
            NKVectorSettings &v = g_SeparateVectorSettings[s];
            if (iField != 0 && !v.bClamp) {
                v.fClampMin = 0.0f;
                v.fClampMax = fFactor * r.fMaxLength;
            }
        }
        NKPrintInfo(
            NKString::FromFormat("Scale separate vector field %d with factor %g", s + 1, fFactor)
                .GetText());
    }
    NKInvalidateView();
    return NK_CMD_DONE;
}

int ScaleDisplacements(CommandTableEntry *pEntry, const char *pszArguments)
{
    Scan a(pszArguments);
    float fFactor = 1.0f;
    if (!ReadFloatWord(pEntry, a.scan.NextToken(), &fFactor)) return NK_CMD_FAILED;
    if (fFactor == 0.0f)
        return NKCommandFail(pEntry, "Scaling displacements with factor 0 is not legal.");
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &a.scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    int iField = 1;
    const NKString fieldWord = a.scan.NextToken();
    const bool bFieldGiven = !fieldWord.IsEmpty();
    if (bFieldGiven) {
        float f = 1.0f;
        if (!ReadFloatWord(pEntry, fieldWord, &f)) return NK_CMD_FAILED;
        iField = f < 1.0f ? 1 : static_cast<int>(f);
    }
    const int iSeparate = NKGetInterfaceNumTransformations();
    // Record 2 + field - 1 past 3 would be a separate field's record.
    if (iField > (iSeparate > 0 ? 3 : 2)) return NKCommandFail(pEntry, kIllegalField);
    if (g_pModel != nullptr && iField <= 2) {
        NKValueRange &range = g_pModel->valueRanges[2 + iField - 1];
        if (NKFloatsEqual(fFactor, range.from)) {
            NKPrintInfo(NKString::FromFormat(
                            "A scaling factor of %g has already been set, nothing to do.", fFactor)
                            .GetText());
            return NK_CMD_DONE;
        }
        range.to = range.from;
        range.from = fFactor;
    }
    if (iSeparate > 0) return ScaleSeparateFields(fFactor, bFieldGiven ? iField : 0);
    NKPrintInfo(
        (bFieldGiven
             ? NKString::FromFormat("Scale displacement by %g from part %d to part %d on field %d.",
                                    fFactor, iFrom, iTo, iField)
             : NKString::FromFormat("Scale displacement by %g from part %d to part %d", fFactor,
                                    iFrom, iTo))
            .GetText());
    NKApplyDisplacementScale(iFrom - 1, iTo - 1, iField - 1);
    AfterDisplacementChange(true);
    NKInvalidateView();
    return NK_CMD_DONE;
}

int AutoScale(CommandTableEntry *pEntry, const char *pszArguments)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    float fFactor = 0.0f;
    if (!params.NKGetFirstParameterFloat(&fFactor, true, NK_UNDEFINED, 0.0f)) return NK_CMD_FAILED;
    int iField = 0;
    if (!params.NKGetParameterInt(&iField, false, NK_PARAM_NO_RANGE, 0)) return NK_CMD_FAILED;
    if (!(fFactor > 0.0f))
        return NKCommandFail(pEntry,
                             "Illegal auto scale factor for vectors (must be larger than 0.0)");
    if (iField != 0 && (iField < 1 || iField > 3)) return NKCommandFail(pEntry, kIllegalField);
    NKVectorSettings *pRecord = FieldRecord(iField);
    pRecord->bAutoScale = 1;
    pRecord->fAutoScaleFactor = fFactor;
    if (iField == 0) NKForgetUserAutoScale(true);  // the user's own choice from now on
    NKPrintInfo((iField == 0
                     ? NKString::FromFormat(
                           "Vector auto scale factor set to %g of max model extent.", fFactor)
                     : NKString::FromFormat("Vector auto scale factor set for field %d to %g.",
                                            iField, fFactor))
                    .GetText());
    NKFrame *pFrame = NKGetCurrentFrame();
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (pGeo != nullptr && g_pModel != nullptr) {
        float afBox[6];
        std::memcpy(afBox, pGeo->fBoundingBox, sizeof(afBox));
        ModelToDisplayBox(afBox);
        const float fExtent = NKGetMaxExtent(afBox);
        const float fLength =
            iField == 0 ? (pFrame->pVector != nullptr ? pFrame->pVector->fMaxDisplayLength : 0.0f)
                        : g_pModel->valueRanges[4 + iField - 1].fMaxLength;
        const bool bHasResult = iField != 0 || pFrame->pVector != nullptr;
        if (bHasResult && fLength != 0.0f) {
            const float s = fExtent * fFactor / fLength;
            char szLine[96];
            if (iField == 0)
                std::snprintf(szLine, sizeof(szLine), "scaledis %g", s);
            else
                std::snprintf(szLine, sizeof(szLine), "scaledis %g 0 0 %d", s, iField);
            ExecuteCommand(szLine);
        }
    }
    NKInvalidateView();
    return NK_CMD_DONE;
}

int NoAutoScale(CommandTableEntry *pEntry, const char *pszArguments)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    int iField = 0;
    if (!params.NKGetFirstParameterInt(&iField, false, NK_PARAM_NO_RANGE, 0)) return NK_CMD_FAILED;
    if (iField != 0 && (iField < 1 || iField > 3)) return NKCommandFail(pEntry, kIllegalField);
    FieldRecord(iField)->bAutoScale = 0;
    if (iField == 0) NKForgetUserAutoScale(false);
    return NKCommandDone("Vector auto scaling turned off.");
}

int ScaleTransformations(CommandTableEntry *pEntry, const char *pszArguments)
{
    Scan a(pszArguments);
    float fFactor = 1.0f;
    if (!ReadFloatWord(pEntry, a.scan.NextToken(), &fFactor)) return NK_CMD_FAILED;
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &a.scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    if (!NKScaleTransformations(iFrom - 1, iTo - 1, fFactor))
        return NKCommandFail(pEntry, "Error \"Scaling\" transformation matrices.");
    // The boxes and the traced positions follow the matrices.
    NKComputeFrameBoundingBoxes(-1, true, true);
    NKComputeNodeTraces();
    return NKCommandDone(NKString::FromFormat(
        "\"Scaling\" of transformations from part %d to part %d with factor %g", iFrom, iTo,
        fFactor));
}

// ---- part flags -------------------------------------------------------------------

// vectors / novectors / displacements / nodisplacements.
int PartFlag(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bVectors = pEntry->id == NK_CID_VECTORS || pEntry->id == NK_CID_NOVECTORS;
    const bool bOn = pEntry->id == NK_CID_VECTORS || pEntry->id == NK_CID_DISPLACEMENTS;
    Scan a(pszArguments);
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &a.scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    for (NKGeometry *pGeo : Geometries())
        for (int p = iFrom - 1; p < iTo && p < pGeo->iNumParts; p++) {
            if (p < 0) continue;
            NKPart &part = pGeo->pParts[p];
            uint8_t &flag = bVectors ? part.bVectors : part.bDisplacements;
            if (!bVectors && flag != (bOn ? 1 : 0)) pGeo->bDisplacementsChanged = 1;
            flag = bOn ? 1 : 0;
        }
    if (bVectors)
        return NKCommandDone(
            NKString::FromFormat(bOn ? "Turn on drawing of vectors for part %d to part %d"
                                     : "Turn off drawing of vectors for part %d to part %d",
                                 iFrom, iTo));
    AfterDisplacementChange(false);
    return NKCommandDone(
        NKString::FromFormat(bOn ? "Turning displacements on for part %d to part %d"
                                 : "Turning displacements off for part %d to part %d",
                             iFrom, iTo));
}

// ---- arrows -----------------------------------------------------------------------

int ArrowSize(CommandTableEntry *pEntry, const char *pszArguments)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    float fSize = 1.0f;
    int iField = 0;
    if (!params.NKGetFirstParameterFloat(&fSize, true, NK_UNDEFINED, 0.0f) ||
        !params.NKGetParameterInt(&iField, false, NK_PARAM_NO_RANGE, 0))
        return NK_CMD_FAILED;
    if (!(fSize >= 0.0f && fSize <= 10.0f))
        return NKCommandFail(
            pEntry,
            NKString::FromFormat("Illegal vector arrow size %f (legal range 0 -> 10", fSize));
    FieldRecord(iField)->fArrowSize = fSize;
    return NKCommandDone(NKString::FromFormat("Vector arrow size set to %g (default 1.0)", fSize));
}

int Arrows(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bOn = pEntry->id == NK_CID_ARROWS;
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    int iField = 0;
    if (!params.NKGetFirstParameterInt(&iField, false, NK_PARAM_NO_RANGE, 0)) return NK_CMD_FAILED;
    if (iField != 0 && (iField < 1 || iField > 3)) return NKCommandFail(pEntry, kIllegalField);
    FieldRecord(iField)->bArrows = bOn ? 1 : 0;
    return NKCommandDone(bOn ? "Turn on drawing of vector arrow heads."
                             : "Turn off drawing of vector arrow heads");
}

// ---- vectors sub-commands ---------------------------------------------------------

// Optional field range iFrom..iTo (1-3); both 0 when none was given. False
// (error printed) for a field outside 1-3.
bool ReadFieldRange(CommandTableEntry *pEntry, CommandParams *pParams, bool bFirst, int *piFrom,
                    int *piTo)
{
    *piFrom = *piTo = 0;
    const bool bOk = bFirst ? pParams->NKGetFirstParameterInt(piFrom, false, NK_PARAM_NO_RANGE, 0)
                            : pParams->NKGetParameterInt(piFrom, false, NK_PARAM_NO_RANGE, 0);
    if (!bOk || !pParams->NKGetParameterInt(piTo, false, NK_PARAM_NO_RANGE, 0)) return false;
    if (*piFrom == 0 && *piTo == 0) return true;
    if (*piTo == 0) *piTo = *piFrom;
    if (*piFrom < 1 || *piFrom > 3 || *piTo < *piFrom || *piTo > 3) {
        NKCommandError(pEntry, kIllegalField);
        return false;
    }
    return true;
}

// clamp / noclamp / filter / nofilter.
int RangeSetting(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bClamp = pEntry->id == NK_CID_VECTORS_CLAMP || pEntry->id == NK_CID_VECTORS_NOCLAMP;
    const bool bOn = pEntry->id == NK_CID_VECTORS_CLAMP || pEntry->id == NK_CID_VECTORS_FILTER;
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    float fMin = 0.0f, fMax = 0.0f;
    if (bOn && (!params.NKGetFirstParameterFloat(&fMin, true, NK_UNDEFINED, 0.0f) ||
                !params.NKGetParameterFloat(&fMax, true, NK_UNDEFINED, 0.0f)))
        return NK_CMD_FAILED;
    int iFrom = 0, iTo = 0;
    if (!ReadFieldRange(pEntry, &params, !bOn, &iFrom, &iTo)) return NK_CMD_FAILED;
    auto apply = [&](NKVectorSettings &s) {
        if (bClamp) {
            if (bOn) s.fClampMin = fMin, s.fClampMax = fMax;
            s.bClamp = bOn ? 1 : 0;
        } else {
            if (bOn) s.fFilterMin = fMin, s.fFilterMax = fMax;
            s.bFilter = bOn ? 1 : 0;
        }
    };
    const char *pszWhat = bClamp ? "clamping" : "filtering";
    if (iFrom > 0) {
        for (int f = iFrom; f <= iTo; f++) apply(g_SeparateVectorSettings[f - 1]);
        return NKCommandDone(NKString::FromFormat(bOn ? "Setting vector %s for field %d to %d."
                                                      : "Disable vector %s for field %d to %d.",
                                                  pszWhat, iFrom, iTo));
    }
    apply(g_VectorSettings);
    if (bOn)
        return NKCommandDone(
            NKString::FromFormat("Setting vector %s to <%g> - <%g>.", pszWhat, fMin, fMax));
    return NKCommandDone(NKString::FromFormat("Disable vector %s.", pszWhat));
}

int ShowFields(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bShow = pEntry->id == NK_CID_VECTORS_SHOW;
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    int iField = 0;
    if (!params.NKGetFirstParameterInt(&iField, false, NK_PARAM_NO_RANGE, 0)) return NK_CMD_FAILED;
    if (iField != 0 && (iField < 1 || iField > 3)) return NKCommandFail(pEntry, kIllegalField);
    const int iFrom = iField == 0 ? 1 : iField, iTo = iField == 0 ? 3 : iField;
    for (int f = iFrom; f <= iTo; f++) g_SeparateVectorSettings[f - 1].bShown = bShow ? 1 : 0;
    return NKCommandDone(NKString::FromFormat(
        bShow ? "Showing vector field %d to %d." : "Hiding vector field %d to %d.", iFrom, iTo));
}

int BoxFilter(CommandTableEntry *pEntry, const char *)
{
    const bool bOn = pEntry->id == NK_CID_VECTORS_BOXFILTER;
    g_bVectorBoxFilter = bOn ? 1 : 0;
    if (sg_pfnFilterBoxHook != nullptr) sg_pfnFilterBoxHook(bOn);
    return NKCommandDone(bOn ? "Vector filtering using box enabled."
                             : "Vector filtering using box disabled.");
}

int LineWidth(CommandTableEntry *pEntry, const char *pszArguments)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    int iWidth = 0;
    if (!params.NKGetFirstParameterInt(&iWidth, true, 0, 5)) return NK_CMD_FAILED;
    g_VectorSettings.iLineWidth = iWidth;
    if (iWidth == 0) return NKCommandDone("Vector line width set to use global line width");
    return NKCommandDone(NKString::FromFormat("Vector line width set to %d pixels", iWidth));
}

// ---- descriptions, colours, one-component files ------------------------------------

int StringVector(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bSet = pEntry->id == NK_CID_STRINGVECTOR;
    NKString text;
    if (bSet) {
        CommandParams params(pszArguments);
        params.SetCommand(pEntry);
        if (!params.NKGetFirstParameterString(&text, true, NK_PARAM_STRING_REST))
            return NK_CMD_FAILED;
    }
    if (g_pModel != nullptr && g_pModel->pFrames != nullptr)
        for (int f = 0; f < g_pModel->iNumFrames; f++)
            if (g_pModel->pFrames[f].pVector != nullptr)
                g_pModel->pFrames[f].pVector->szDescription = text;
    if (!bSet) {
        NKInvalidateView();
        return NK_CMD_DONE;
    }
    return NKCommandDone(NKString::FromFormat("Vector description: %s", text.GetText()));
}

int UndefColor(CommandTableEntry *pEntry, const char *pszArguments)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    unsigned char rgb[3];
    if (!params.NKGetFirstParameterColor(rgb, true)) return NK_CMD_FAILED;
    for (int k = 0; k < 3; k++) g_uUndeformedColor[k] = rgb[k];
    return NKCommandDone(NKString::FromFormat(
        "Set undeformed mesh color to red=%d green=%d blue=%d", rgb[0], rgb[1], rgb[2]));
}

// xvec / yvec / zvec pick one component; noxvec, noyvec and nozvec drop it.
int OneComponent(CommandTableEntry *pEntry, const char *)
{
    const int iComponent = pEntry->id == NK_CID_XVEC   ? 0
                           : pEntry->id == NK_CID_YVEC ? 1
                           : pEntry->id == NK_CID_ZVEC ? 2
                                                       : -1;
    for (int k = 0; k < 3; k++) g_uOneComponentVector[k] = k == iComponent ? 1 : 0;
    if (iComponent < 0) return NKCommandDone("Turn off 1D vector file");
    static const char *const apsz[3] = {"Turn on 1D vector file (x-component)",
                                        "Turn on 1D vector file (y-component)",
                                        "Turn on 1D vector file (z-component)"};
    return NKCommandDone(apsz[iComponent]);
}

int Undeform(CommandTableEntry *pEntry, const char *)
{
    const bool bOn = pEntry->id == NK_CID_UNDEFORM;
    if (g_pViewSettings != nullptr) g_pViewSettings->bShowUndeformed = bOn ? 1 : 0;
    return NKCommandDone(bOn ? "Display undeformed shape" : "No undeformed shape");
}

// ---- the frozen node --------------------------------------------------------------

// Every frame's matrices made again from the table and the frozen node; a
// frame that the table gives no matrices loses the ones a frozen node made.
void ReapplyTransformations(void)
{
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return;
    const bool bFrozen =
        g_TransformationTable.m_iFrozenNode >= 0 && g_TransformationTable.m_iFrozenPart >= 0;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKFrame *pFrame = &g_pModel->pFrames[f];
        if (g_TransformationTable.m_pMatrices == nullptr && !bFrozen) {
            NKFree(pFrame->pTransformation);
            pFrame->pTransformation = nullptr;
            continue;
        }
        g_TransformationTable.ApplyToFrame(pFrame, pFrame->iStepIndex);
    }
    NKComputeFrameBoundingBoxes(-1, true, true);
    NKComputeNodeTraces();
}

int FreezeNode(CommandTableEntry *pEntry, const char *pszArguments)
{
    const char kError[] =
        "Illegal node specification.\nRemember to use part,node for specifying nodes";
    Scan a(pszArguments);
    const NKString word = a.scan.NextToken();
    NKPartItemRef ref = {-1, -1};
    const NKGeometry *pGeo = NKGetFrameGeometry(NKGetCurrentFrame());
    if (word.IsEmpty() || std::strchr(word.GetText(), ',') == nullptr || pGeo == nullptr ||
        !NKParseNodeSpec(pGeo, word, &ref) || ref.iPart < 0 || ref.iIndex < 0)
        return NKCommandFail(pEntry, kError);
    g_TransformationTable.m_iFrozenPart = ref.iPart;
    g_TransformationTable.m_iFrozenNode = ref.iIndex;
    ReapplyTransformations();
    return NKCommandDone(
        NKString::FromFormat("Freezing node with index %d in part %d", ref.iIndex, ref.iPart));
}

int NoFreezeNode(CommandTableEntry *, const char *)
{
    g_TransformationTable.m_iFrozenPart = -1;
    g_TransformationTable.m_iFrozenNode = -1;
    ReapplyTransformations();
    return NKCommandDone("Freeze node disabled.");
}

int AllPoints(CommandTableEntry *pEntry, const char *)
{
    if (pEntry->id == NK_CID_VECTORS_ALLPOINTS) {
        g_VectorSettings.bSurfaceNodesOnly = 0;
        return NKCommandDone("Show vectors in all nodes");
    }
    g_VectorSettings.bSurfaceNodesOnly = 1;
    return NKCommandDone("Show vectors only in surface nodes");
}

const NKCommandAction kVectorActions[] = {
    {NK_CID_SCALEDISPLACEMENTS, ScaleDisplacements},
    {NK_CID_ASCALEVECTORS, AutoScale},
    {NK_CID_NOASCALEVECTORS, NoAutoScale},
    {NK_CID_UNDEFCOLOR, UndefColor},
    {NK_CID_VECTORS, PartFlag},
    {NK_CID_NOVECTORS, PartFlag},
    {NK_CID_ARROWSIZE, ArrowSize},
    {NK_CID_ARROWS, Arrows},
    {NK_CID_NOARROWS, Arrows},
    {NK_CID_XVEC, OneComponent},
    {NK_CID_YVEC, OneComponent},
    {NK_CID_ZVEC, OneComponent},
    {NK_CID_NOXVEC, OneComponent},
    {NK_CID_NOYVEC, OneComponent},
    {NK_CID_NOZVEC, OneComponent},
    {NK_CID_DISPLACEMENTS, PartFlag},
    {NK_CID_NODISPLACEMENTS, PartFlag},
    {NK_CID_UNDEFORM, Undeform},
    {NK_CID_NOUNDEFORM, Undeform},
    {NK_CID_STRINGVECTOR, StringVector},
    {NK_CID_NOSTRINGVECTOR, StringVector},
    {NK_CID_SCALETRANSFORMATIONS, ScaleTransformations},
    {NK_CID_VECTORS_CLAMP, RangeSetting},
    {NK_CID_VECTORS_NOCLAMP, RangeSetting},
    {NK_CID_VECTORS_FILTER, RangeSetting},
    {NK_CID_VECTORS_NOFILTER, RangeSetting},
    {NK_CID_VECTORS_SHOW, ShowFields},
    {NK_CID_VECTORS_HIDE, ShowFields},
    {NK_CID_VECTORS_ALLPOINTS, AllPoints},
    {NK_CID_VECTORS_NOALLPOINTS, AllPoints},
    {NK_CID_VECTORS_BOXFILTER, BoxFilter},
    {NK_CID_VECTORS_NOBOXFILTER, BoxFilter},
    {NK_CID_VECTORS_LINEWIDTH, LineWidth},
    {NK_CID_FREEZENODE, FreezeNode},
    {NK_CID_NOFREEZENODE, NoFreezeNode},
};

}  // namespace

int NKCommandHandleVectors(CommandTableEntry *pEntry, const char *pszArguments)
{
    return NKRunCommandAction(kVectorActions, pEntry, pszArguments);
}

void NKRegisterVectorCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_VECTORS, NKCommandHandleVectors);
    NKInstallNodeTraceHook(true);
}

NKVectorFilterBoxHook NKSetVectorFilterBoxHook(NKVectorFilterBoxHook pfnHook)
{
    NKVectorFilterBoxHook pfnOld = sg_pfnFilterBoxHook;
    sg_pfnFilterBoxHook = pfnHook;
    return pfnOld;
}
