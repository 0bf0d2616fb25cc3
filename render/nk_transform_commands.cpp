// render/nk_transform_commands.cpp -- NKCommandHandleTransform (see
// nk_transform_commands.h).
//
// The matrix commands change every frame of the model, each part of the
// range that the frame's geometry has; a frame without matrices first gets
// identity matrices. Afterwards all frame boxes are recomputed and the view
// is invalidated. Rotations are right-handed about the display position of
// the model origin and carry the parts' translations with them.
#include "render/nk_transform_commands.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_part_range.h"
#include "core/nk_bbox.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_math.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_references.h"
#include "core/nk_render_state.h"
#include "core/nk_transform_tables.h"
#include "core/nk_view_state.h"
#include "render/nk_camera.h"
#include "render/nk_command_actions.h"
#include "render/nk_command_part_range.h"
#include "render/nk_view_settings.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The part range past the "PARAMS" word, then up to iCount numbers (missing
// ones keep their defaults).
struct MatrixArgs {
    explicit MatrixArgs(const char *pszArguments) : scan(pszArguments) { scan.NextToken(); }
    bool Read(CommandTableEntry *pEntry, float *pfValues, int iCount)
    {
        if (!NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, false)) return false;
        for (int i = 0; i < iCount; i++) {
            const NKString word = scan.NextToken();
            if (word.IsEmpty()) break;
            pfValues[i] = static_cast<float>(std::atof(word.GetText()));
        }
        return true;
    }
    // A value that is not finite would spread through every matrix it
    // touches: refused with a message.
    static bool Finite(CommandTableEntry *pEntry, const float *pfValues, int iCount)
    {
        for (int i = 0; i < iCount; i++)
            if (!std::isfinite(pfValues[i])) {
                NKCommandError(pEntry, "Illegal number specified");
                return false;
            }
        return true;
    }
    NKArgumentScan scan;
    int iFrom = 0, iTo = 0;
};

// Calls change on the matrix of every part iFrom..iTo (1-based) of every
// frame, making identity matrices where a frame has none. False when they
// cannot be made.
bool ChangeMatrices(int iFrom, int iTo, const std::function<void(float *)> &change)
{
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return true;
    for (int f = 0; f < g_pModel->iNumFrames; f++) {
        NKFrame *pFrame = &g_pModel->pFrames[f];
        const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
        if (pGeo == nullptr) continue;
        if (pFrame->pTransformation == nullptr && !NKAllocFrameTransformations(pFrame))
            return false;
        for (int i = std::max(iFrom, 1) - 1; i < iTo && i < pGeo->iNumParts; i++)
            change(pFrame->pTransformation + 16 * i);
    }
    return true;
}

int Finish(const NKString &msg)
{
    NKComputeFrameBoundingBoxes(-1, true, true);
    return NKCommandDone(msg);
}

// translate sets, rtranslate adds to the translation.
int Translate(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bRelative = pEntry->id == NK_CID_RTRANSLATE;
    MatrixArgs a(pszArguments);
    float d[3] = {0.0f, 0.0f, 0.0f};
    if (!a.Read(pEntry, d, 3) || !MatrixArgs::Finite(pEntry, d, 3)) return NK_CMD_FAILED;
    float v[3] = {d[0], d[1], d[2]};
    ModelToDisplayVector(v);
    if (!ChangeMatrices(a.iFrom, a.iTo, [&](float *m) {
            for (int k = 0; k < 3; k++) m[12 + k] = bRelative ? m[12 + k] + v[k] : v[k];
        }))
        return NK_CMD_FAILED;
    return Finish(
        NKString::FromFormat(bRelative ? "Relative translation (%g, %g, %g) of part %d to part %d"
                                       : "Translation (%g, %g, %g) of part %d to part %d",
                             d[0], d[1], d[2], a.iFrom, a.iTo));
}

// scale sets, rscale multiplies the scaling.
int Scale(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bRelative = pEntry->id == NK_CID_RSCALE;
    MatrixArgs a(pszArguments);
    float s = 1.0f;
    if (!a.Read(pEntry, &s, 1)) return NK_CMD_FAILED;
    // A factor of 0 would make element 15 infinite and the parts vanish.
    if (s == 0.0f || !std::isfinite(s))
        return NKCommandFail(pEntry,
                             NKString::FromFormat("Illegal scaling factor %g", s).GetText());
    if (!ChangeMatrices(a.iFrom, a.iTo,
                        [&](float *m) { m[15] = bRelative ? m[15] / s : 1.0f / s; }))
        return NK_CMD_FAILED;
    if (g_bContoursShown) NKUpdateContours();
    return Finish(NKString::FromFormat(bRelative ? "Relative scaling of part %d to part %d by %g"
                                                 : "Scaling of part %d to part %d by %g",
                                       a.iFrom, a.iTo, s));
}

// The axis (0, 1, 2: x, y, z) of a command of an x, y and z family.
int AxisOf(int iId, int iXId, int iYId) { return iId == iXId ? 0 : iId == iYId ? 1 : 2; }

// rotatex, rotatey, rotatez.
int Rotate(CommandTableEntry *pEntry, const char *pszArguments)
{
    const int iAxis = AxisOf(pEntry->id, NK_CID_ROTATEX, NK_CID_ROTATEY);
    MatrixArgs a(pszArguments);
    float fDegrees = 0.0f;
    if (!a.Read(pEntry, &fDegrees, 1) || !MatrixArgs::Finite(pEntry, &fDegrees, 1))
        return NK_CMD_FAILED;
    const double r = fDegrees * kPi / 180.0, c = std::cos(r), s = std::sin(r);
    // R row by row, right-handed.
    double R[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const int i1 = (iAxis + 1) % 3, i2 = (iAxis + 2) % 3;
    R[i1][i1] = c;
    R[i1][i2] = -s;
    R[i2][i1] = s;
    R[i2][i2] = c;
    float o[3];
    GetModelOriginInDisplay(o);
    if (!ChangeMatrices(a.iFrom, a.iTo, [&](float *m) {
            float out[16];
            std::memcpy(out, m, sizeof(out));
            for (int col = 0; col < 3; col++)
                for (int row = 0; row < 3; row++) {
                    double v = 0.0;
                    for (int k = 0; k < 3; k++) v += R[row][k] * m[4 * col + k];
                    out[4 * col + row] = static_cast<float>(v);
                }
            for (int row = 0; row < 3; row++) {
                double v = o[row];
                for (int k = 0; k < 3; k++) v += R[row][k] * (m[12 + k] - o[k]);
                out[12 + row] = static_cast<float>(v);
            }
            std::memcpy(m, out, sizeof(out));
        }))
        return NK_CMD_FAILED;
    static const char *const apszFormat[3] = {"x-rotation of part %d to part %d by %g",
                                              "y-rotation of part %d to part %d by %g",
                                              "z-rotation of part %d to part %d by %g"};
    return Finish(NKString::FromFormat(apszFormat[iAxis], a.iFrom, a.iTo, fDegrees));
}

int Identity(CommandTableEntry *pEntry, const char *pszArguments)
{
    MatrixArgs a(pszArguments);
    if (!a.Read(pEntry, nullptr, 0)) return NK_CMD_FAILED;
    if (g_pModel != nullptr && g_pModel->pFrames != nullptr)
        for (int f = 0; f < g_pModel->iNumFrames; f++) {
            NKFrame *pFrame = &g_pModel->pFrames[f];
            const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
            if (pGeo == nullptr || pFrame->pTransformation == nullptr) continue;
            for (int i = std::max(a.iFrom, 1) - 1; i < a.iTo && i < pGeo->iNumParts; i++)
                NKMatrixIdentity(pFrame->pTransformation + 16 * i);
        }
    return Finish(NKString("Using identity matrix"));
}

int RescaleTransforms(CommandTableEntry *pEntry, const char *)
{
    if (!NKFitTransformationsToModelBox())
        return NKCommandFail(pEntry, "Error rescaling model coordinates.");
    return NKCommandDone(
        NKString("Model transformations recalculated to fit the default view volume."));
}

// ---- rotationpoint ---------------------------------------------------------------

bool SameWord(const NKString &word, const char *psz)
{
    const char *p = word.GetText();
    if (p == nullptr) return false;
    for (; *p != '\0' && *psz != '\0'; p++, psz++)
        if (std::tolower(static_cast<unsigned char>(*p)) != *psz) return false;
    return *p == '\0' && *psz == '\0';
}

// Point p (display coordinates) through the part matrix of the frame, when
// it has one.
void CarryByPartMatrix(const NKFrame *pFrame, int iPart, float *p)
{
    if (pFrame == nullptr || pFrame->pTransformation == nullptr) return;
    const float *m = pFrame->pTransformation + 16 * iPart;
    float w = m[3] * p[0] + m[7] * p[1] + m[11] * p[2] + m[15];
    NKTransformPoint(m, p);
    if (w != 0.0f && std::isfinite(w))
        for (int k = 0; k < 3; k++) p[k] /= w;
}

NKFrame *CurrentFrame(void)
{
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr || g_pModel->iNumFrames < 1)
        return nullptr;
    int f = g_pModel->iCurrentFrame;
    if (f < 0 || f >= g_pModel->iNumFrames) f = 0;
    return &g_pModel->pFrames[f];
}

// The words after the command name.
std::vector<NKString> ArgumentWords(const char *pszArguments)
{
    std::vector<NKString> words;
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    for (NKString w = scan.NextToken(); !w.IsEmpty(); w = scan.NextToken()) words.push_back(w);
    return words;
}

// The index of the first word that is psz in any case, or -1.
int FindWord(const std::vector<NKString> &words, const char *psz)
{
    for (size_t i = 0; i < words.size(); i++)
        if (SameWord(words[i], psz)) return static_cast<int>(i);
    return -1;
}

// Each point form below fills p (model coordinates) and its description and
// returns NK_CMD_DONE, or fails the command with its message.

// "model": the centre of the model's box.
int ModelCentroidPoint(CommandTableEntry *pEntry, float *p, NKString *pDescription)
{
    float box[6];
    if (!NKGetModelBoundingBox(box, NK_BOX_DISPLACED_OR_UNDEFORMED))
        return NKCommandFail(pEntry, "No model bounding box");
    for (int k = 0; k < 3; k++) p[k] = 0.5f * (box[k] + box[k + 3]);
    *pDescription = "model's centroid";
    return NK_CMD_DONE;
}

// "part" and a part range after word iWord: the centre of the first part's
// box in the current frame.
int PartCentroidPoint(CommandTableEntry *pEntry, const std::vector<NKString> &words, int iWord,
                      float *p, NKString *pDescription)
{
    std::string rest;
    for (size_t i = iWord + 1; i < words.size(); i++) rest += std::string(" ") + words[i].GetText();
    NKArgumentScan scan(("PARAMS" + rest).c_str());
    scan.NextToken();
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    float box[6];
    if (!NKGetTransformedPartBoundingBox(CurrentFrame(), iFrom - 1, box,
                                         NK_BOX_DISPLACED_OR_UNDEFORMED))
        return NKCommandFail(pEntry, "Illegal part specification");
    for (int k = 0; k < 3; k++) p[k] = 0.5f * (box[k] + box[k + 3]);
    *pDescription = NKString::FromFormat("part %d's centroid", iFrom);
    return NK_CMD_DONE;
}

// "node" and "part,node" after word iWord: the node where the current frame
// draws it.
int NodePoint(CommandTableEntry *pEntry, const std::vector<NKString> &words, int iWord, float *p,
              NKString *pDescription)
{
    const char kNodeError[] =
        "Illegal node specification.\nRemember to use part,node for specifying nodes";
    int iPart = 0, iNode = 0;
    char cExtra = 0;
    NKFrame *pFrame = CurrentFrame();
    const NKGeometry *pGeo = NKGetFrameGeometry(pFrame);
    if (iWord + 1 >= static_cast<int>(words.size()) ||
        std::sscanf(words[iWord + 1].GetText(), "%d,%d%c", &iPart, &iNode, &cExtra) != 2 ||
        pGeo == nullptr)
        return NKCommandFail(pEntry, kNodeError);
    NKPartItemRef ref = {iPart, iNode};
    if (iPart < 1 || !NKFindNodeByID(&ref, pGeo) || pGeo->pParts[ref.iPart].pNodeCoords == nullptr)
        return NKCommandFail(pEntry, kNodeError);
    // The displaced position when the frame shows the part displaced.
    const NKVectorPartEntry *pVectors = NKGetPartVectorEntry(ref.iPart, pFrame);
    const float *pfCoords =
        pVectors != nullptr && pVectors->pNodeValues != nullptr && ref.iIndex < pVectors->iNumNodes
            ? pVectors->pNodeValues
            : pGeo->pParts[ref.iPart].pNodeCoords;
    std::memcpy(p, pfCoords + 3 * ref.iIndex, 3 * sizeof(float));
    CarryByPartMatrix(pFrame, ref.iPart, p);
    DisplayToModel(p);
    *pDescription = NKString::FromFormat("node %d,%d", iPart, iNode);
    return NK_CMD_DONE;
}

// Up to three numbers: the point itself, unnamed.
int ExplicitPoint(CommandTableEntry *pEntry, const std::vector<NKString> &words, float *p,
                  NKString *pDescription)
{
    for (size_t i = 0; i < 3 && i < words.size(); i++)
        p[i] = static_cast<float>(std::atof(words[i].GetText()));
    if (!MatrixArgs::Finite(pEntry, p, 3)) return NK_CMD_FAILED;
    *pDescription = "";
    return NK_CMD_DONE;
}

int ReportRotationPoint(void)
{
    float p[3] = {0.0f, 0.0f, 0.0f};
    NKGetRotationPoint(p);
    DisplayToModel(p);
    NKPrintInfo(
        NKString::FromFormat("Current rotation point is (%g, %g, %g)", p[0], p[1], p[2]).GetText());
    return NK_CMD_DONE;
}

// Without words it reports the point; "reset", "show" and "hide" act on
// their own; "model", "part" and "node" name a point, else the words are
// its coordinates.
int RotationPoint(CommandTableEntry *pEntry, const char *pszArguments)
{
    const std::vector<NKString> words = ArgumentWords(pszArguments);
    if (FindWord(words, "reset") >= 0) {
        NKSetRotationPoint(nullptr);
        NKInvalidateView();
        return NK_CMD_DONE;
    }
    const int iShow = FindWord(words, "show"), iHide = FindWord(words, "hide");
    if (iShow >= 0 || iHide >= 0) {
        const bool bShow = iShow >= 0;
        if (g_pViewSettings != nullptr) g_pViewSettings->bShowRotationPoint = bShow ? 1 : 0;
        return NKCommandDone(NKString(bShow ? "Enable display of rotation point"
                                            : "Disable display of rotation point"));
    }
    float p[3] = {0.0f, 0.0f, 0.0f};
    NKString description;
    const int iPart = FindWord(words, "part"), iNode = FindWord(words, "node");
    int iResult;
    if (FindWord(words, "model") >= 0)
        iResult = ModelCentroidPoint(pEntry, p, &description);
    else if (iPart >= 0)
        iResult = PartCentroidPoint(pEntry, words, iPart, p, &description);
    else if (iNode >= 0)
        iResult = NodePoint(pEntry, words, iNode, p, &description);
    else if (words.empty())
        return ReportRotationPoint();
    else
        iResult = ExplicitPoint(pEntry, words, p, &description);
    if (iResult != NK_CMD_DONE) return iResult;
    NKPrintInfo(NKString::FromFormat("Setting rotation point to %s (%g, %g, %g)",
                                     description.GetText(), p[0], p[1], p[2])
                    .GetText());
    ModelToDisplay(p);
    NKSetRotationPoint(p);
    NKInvalidateView();
    return NK_CMD_DONE;
}

// ---- mirror -----------------------------------------------------------------------

int MirrorDone(const char *pszText)
{
    NKPrintInfo(pszText);
    NKInvalidateView();
    return NK_CMD_DONE;
}

// mirror on / off / reflect / noreflect: one switch of the settings.
struct MirrorSwitchRow {
    const char *pszWord;
    void (NKMirrorSettings::*pfnSet)(bool bOn);
    bool bOn;
    const char *pszMessage;
};

const MirrorSwitchRow kMirrorSwitchRows[] = {
    {"on", &NKMirrorSettings::SetDrawingEnabled, true, "Mirror enabled."},
    {"off", &NKMirrorSettings::SetDrawingEnabled, false, "Mirror disabled."},
    {"reflect", &NKMirrorSettings::SetReflection, true, "Mirror by reflection enabled."},
    {"noreflect", &NKMirrorSettings::SetReflection, false, "Mirror by rotation enabled."},
};

// mirror plane <plane> <a> <b> <c> <d>.
int MirrorPlane(CommandTableEntry *pEntry, CommandParams *pParams)
{
    int iPlane = 1;
    float pl[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    if (!pParams->NKGetParameterInt(&iPlane, true, NK_PARAM_NO_RANGE, 0)) return NK_CMD_FAILED;
    for (float &v : pl)
        if (!pParams->NKGetParameterFloat(&v, true, NK_UNDEFINED, 0.0f)) return NK_CMD_FAILED;
    // A zero normal would make every pass matrix undefined.
    if (NKVec3Length(pl) < 1e-6) return NKCommandFail(pEntry, "Illegal plane normal");
    g_MirrorSettings.SetPlane(iPlane, pl);
    return MirrorDone(NKString::FromFormat("Symmetry plane %d set to %gx + %gy +%gz + %g = 0.",
                                           iPlane, pl[0], pl[1], pl[2], pl[3])
                          .GetText());
}

// mirror showplane / hideplane <plane>.
int MirrorPreview(CommandParams *pParams, bool bShow)
{
    int iPlane = 1;
    if (!pParams->NKGetParameterInt(&iPlane, true, NK_PARAM_NO_RANGE, 0)) return NK_CMD_FAILED;
    g_MirrorSettings.SetPreview(iPlane, bShow);
    return MirrorDone(
        NKString::FromFormat("Preview of plane %d turned %s.", iPlane, bShow ? "ON" : "OFF")
            .GetText());
}

// mirror repeats <n>.
int MirrorRepeats(CommandParams *pParams)
{
    int n = 0;
    if (!pParams->NKGetParameterInt(&n, true, NK_PARAM_NO_RANGE, 0)) return NK_CMD_FAILED;
    g_MirrorSettings.iRepeats = n;
    return MirrorDone(
        NKString::FromFormat("Set number of mirror passes to draw to %d", n).GetText());
}

// mirror setrotangle <angle> <axis> <point>.
int MirrorRotationAngle(CommandParams *pParams)
{
    float fAngle = 0.0f, axis[3] = {0.0f, 0.0f, 0.0f}, point[3] = {0.0f, 0.0f, 0.0f};
    if (!pParams->NKGetParameterFloat(&fAngle, true, NK_UNDEFINED, 0.0f) ||
        !pParams->NKGetParameterVector(axis, true, NK_UNDEFINED, 0.0f) ||
        !pParams->NKGetParameterVector(point, true, NK_UNDEFINED, 0.0f))
        return NK_CMD_FAILED;
    g_MirrorSettings.SetRotationAngle(fAngle, point, axis);
    return MirrorDone(NKString::FromFormat("Set rotation angle to %g", fAngle).GetText());
}

int Mirror(CommandTableEntry *pEntry, const char *pszArguments)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    NKString word;
    if (!params.NKGetFirstParameterString(&word, true, NK_PARAM_STRING_WORD)) return NK_CMD_FAILED;
    const char *w = word.GetText();
    for (const MirrorSwitchRow &row : kMirrorSwitchRows) {
        if (std::strcmp(w, row.pszWord) != 0) continue;
        (g_MirrorSettings.*row.pfnSet)(row.bOn);
        return MirrorDone(row.pszMessage);
    }
    if (std::strcmp(w, "info") == 0) {
        NKString report;
        NKPrintMirrorSettings(g_MirrorSettings, &report);
        NKPrintInfo(report.GetText());
        return NK_CMD_DONE;
    }
    if (std::strcmp(w, "plane") == 0) return MirrorPlane(pEntry, &params);
    if (std::strcmp(w, "showplane") == 0 || std::strcmp(w, "hideplane") == 0)
        return MirrorPreview(&params, w[0] == 's');
    if (std::strcmp(w, "repeats") == 0) return MirrorRepeats(&params);
    if (std::strcmp(w, "setrotangle") == 0) return MirrorRotationAngle(&params);
    return NKCommandFail(pEntry, "Illegal parameter specified");
}

// xmirror, ymirror, zmirror: plane 1 normal to the axis at the offset.
int AxisMirror(CommandTableEntry *pEntry, const char *pszArguments)
{
    const int iAxis = AxisOf(pEntry->id, NK_CID_XMIRROR, NK_CID_YMIRROR);
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    float fOffset = 0.0f;
    if (!params.NKGetFirstParameterFloat(&fOffset, false, NK_UNDEFINED, 0.0f)) return NK_CMD_FAILED;
    float pl[4] = {0.0f, 0.0f, 0.0f, -fOffset};
    pl[iAxis] = 1.0f;
    g_MirrorSettings.SetPlane(1, pl);
    g_MirrorSettings.SetDrawingEnabled(true);
    g_MirrorSettings.iRepeats = 1;
    return MirrorDone(NKString::FromFormat("Mirror plane set to %gx + %gy +%gz + %g = 0.", pl[0],
                                           pl[1], pl[2], pl[3])
                          .GetText());
}

int NoMirror(CommandTableEntry *, const char *) { return ExecuteCommand("mirror off"); }

const NKCommandAction kTransformActions[] = {
    {NK_CID_TRANSLATE, Translate},
    {NK_CID_RTRANSLATE, Translate},
    {NK_CID_SCALE, Scale},
    {NK_CID_RSCALE, Scale},
    {NK_CID_ROTATEX, Rotate},
    {NK_CID_ROTATEY, Rotate},
    {NK_CID_ROTATEZ, Rotate},
    {NK_CID_IDENTITY, Identity},
    {NK_CID_RESCALETRANSFORMS, RescaleTransforms},
    {NK_CID_ROTATIONPOINT, RotationPoint},
    {NK_CID_MIRROR, Mirror},
    {NK_CID_XMIRROR, AxisMirror},
    {NK_CID_YMIRROR, AxisMirror},
    {NK_CID_ZMIRROR, AxisMirror},
    {NK_CID_NOMIRROR, NoMirror},
};

}  // namespace

int NKCommandHandleTransform(CommandTableEntry *pEntry, const char *pszArguments)
{
    return NKRunCommandAction(kTransformActions, pEntry, pszArguments);
}

void NKRegisterTransformCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_TRANSFORM, NKCommandHandleTransform);
}
