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
#include "render/nk_view_settings.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The part range past the "PARAMS" word, then up to iCount numbers (missing
// ones keep their defaults).
struct MatrixArgs {
    explicit MatrixArgs(const char *pszArguments) : scan(pszArguments) { scan.NextToken(); }
    bool Read(CommandTableEntry *pEntry, float *pfValues, int iCount)
    {
        NKString error;
        if (NKCommandGetPartRange(&scan, &iFrom, &iTo, nullptr, &error, false) ==
            NK_PART_RANGE_ERROR) {
            NKCommandError(pEntry, error.GetText());
            return false;
        }
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

int Translate(CommandTableEntry *pEntry, const char *pszArguments, bool bRelative)
{
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

int Scale(CommandTableEntry *pEntry, const char *pszArguments, bool bRelative)
{
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

// iAxis 0, 1, 2: x, y, z.
int Rotate(CommandTableEntry *pEntry, const char *pszArguments, int iAxis)
{
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

int RescaleTransforms(CommandTableEntry *pEntry)
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
    NKString error;
    if (NKCommandGetPartRange(&scan, &iFrom, &iTo, nullptr, &error, false) == NK_PART_RANGE_ERROR)
        return NKCommandFail(pEntry, error.GetText());
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

int Mirror(CommandTableEntry *pEntry, const char *pszArguments)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    NKString word;
    if (!params.NKGetFirstParameterString(&word, true, NK_PARAM_STRING_WORD)) return NK_CMD_FAILED;
    NKMirrorSettings &m = g_MirrorSettings;
    const char *w = word.GetText();
    if (std::strcmp(w, "on") == 0) {
        m.SetDrawingEnabled(true);
        return MirrorDone("Mirror enabled.");
    }
    if (std::strcmp(w, "off") == 0) {
        m.SetDrawingEnabled(false);
        return MirrorDone("Mirror disabled.");
    }
    if (std::strcmp(w, "reflect") == 0) {
        m.SetReflection(true);
        return MirrorDone("Mirror by reflection enabled.");
    }
    if (std::strcmp(w, "noreflect") == 0) {
        m.SetReflection(false);
        return MirrorDone("Mirror by rotation enabled.");
    }
    if (std::strcmp(w, "info") == 0) {
        NKString report;
        NKPrintMirrorSettings(m, &report);
        NKPrintInfo(report.GetText());
        return NK_CMD_DONE;
    }
    if (std::strcmp(w, "plane") == 0) {
        int iPlane = 1;
        float pl[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        if (!params.NKGetParameterInt(&iPlane, true, NK_PARAM_NO_RANGE, 0)) return NK_CMD_FAILED;
        for (float &v : pl)
            if (!params.NKGetParameterFloat(&v, true, NK_UNDEFINED, 0.0f)) return NK_CMD_FAILED;
        // A zero normal would make every pass matrix undefined.
        if (NKVec3Length(pl) < 1e-6) return NKCommandFail(pEntry, "Illegal plane normal");
        m.SetPlane(iPlane, pl);
        return MirrorDone(NKString::FromFormat("Symmetry plane %d set to %gx + %gy +%gz + %g = 0.",
                                               iPlane, pl[0], pl[1], pl[2], pl[3])
                              .GetText());
    }
    if (std::strcmp(w, "showplane") == 0 || std::strcmp(w, "hideplane") == 0) {
        const bool bShow = w[0] == 's';
        int iPlane = 1;
        if (!params.NKGetParameterInt(&iPlane, true, NK_PARAM_NO_RANGE, 0)) return NK_CMD_FAILED;
        m.SetPreview(iPlane, bShow);
        return MirrorDone(
            NKString::FromFormat("Preview of plane %d turned %s.", iPlane, bShow ? "ON" : "OFF")
                .GetText());
    }
    if (std::strcmp(w, "repeats") == 0) {
        int n = 0;
        if (!params.NKGetParameterInt(&n, true, NK_PARAM_NO_RANGE, 0)) return NK_CMD_FAILED;
        m.iRepeats = n;
        return MirrorDone(
            NKString::FromFormat("Set number of mirror passes to draw to %d", n).GetText());
    }
    if (std::strcmp(w, "setrotangle") == 0) {
        float fAngle = 0.0f, axis[3] = {0.0f, 0.0f, 0.0f}, point[3] = {0.0f, 0.0f, 0.0f};
        if (!params.NKGetParameterFloat(&fAngle, true, NK_UNDEFINED, 0.0f) ||
            !params.NKGetParameterVector(axis, true, NK_UNDEFINED, 0.0f) ||
            !params.NKGetParameterVector(point, true, NK_UNDEFINED, 0.0f))
            return NK_CMD_FAILED;
        m.SetRotationAngle(fAngle, point, axis);
        return MirrorDone(NKString::FromFormat("Set rotation angle to %g", fAngle).GetText());
    }
    return NKCommandFail(pEntry, "Illegal parameter specified");
}

// xmirror, ymirror, zmirror: plane 1 normal to axis iAxis at the offset.
int AxisMirror(CommandTableEntry *pEntry, const char *pszArguments, int iAxis)
{
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

}  // namespace

int NKCommandHandleTransform(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr) return NK_CMD_NOT_MINE;
    switch (pEntry->id) {
    case NK_CID_TRANSLATE:
        return Translate(pEntry, pszArguments, false);
    case NK_CID_RTRANSLATE:
        return Translate(pEntry, pszArguments, true);
    case NK_CID_SCALE:
        return Scale(pEntry, pszArguments, false);
    case NK_CID_RSCALE:
        return Scale(pEntry, pszArguments, true);
    case NK_CID_ROTATEX:
        return Rotate(pEntry, pszArguments, 0);
    case NK_CID_ROTATEY:
        return Rotate(pEntry, pszArguments, 1);
    case NK_CID_ROTATEZ:
        return Rotate(pEntry, pszArguments, 2);
    case NK_CID_IDENTITY:
        return Identity(pEntry, pszArguments);
    case NK_CID_RESCALETRANSFORMS:
        return RescaleTransforms(pEntry);
    case NK_CID_ROTATIONPOINT:
        return RotationPoint(pEntry, pszArguments);
    case NK_CID_MIRROR:
        return Mirror(pEntry, pszArguments);
    case NK_CID_XMIRROR:
        return AxisMirror(pEntry, pszArguments, 0);
    case NK_CID_YMIRROR:
        return AxisMirror(pEntry, pszArguments, 1);
    case NK_CID_ZMIRROR:
        return AxisMirror(pEntry, pszArguments, 2);
    case NK_CID_NOMIRROR:
        return ExecuteCommand("mirror off");
    default:
        return NK_CMD_NOT_MINE;
    }
}

void NKRegisterTransformCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_TRANSFORM, NKCommandHandleTransform);
}
