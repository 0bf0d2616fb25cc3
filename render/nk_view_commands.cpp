// render/nk_view_commands.cpp -- NKCommandHandleView, the display commands
// (see nk_view_commands.h). The light commands are in
// nk_light_commands.cpp.
#include "render/nk_view_commands.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "core/nk_bbox.h"
#include "core/nk_data_source_kind.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_string.h"
#include "core/nk_view_state.h"
#include "render/nk_camera.h"
#include "render/nk_projection.h"
#include "render/nk_view_settings.h"

std::string NKCommandRestOfLine(const char *pszArguments)
{
    std::string s = pszArguments != nullptr ? pszArguments : "";
    if (s.compare(0, 6, "PARAMS") == 0) s.erase(0, 6);
    size_t i = s.find_first_not_of(" \t");
    return i == std::string::npos ? std::string() : s.substr(i);
}

std::vector<std::string> NKSplitCommandWords(const char *pszArguments)
{
    std::vector<std::string> words;
    std::istringstream in(pszArguments != nullptr ? pszArguments : "");
    std::string w;
    while (in >> w) words.push_back(w);
    if (!words.empty() && words[0] == "PARAMS") words.erase(words.begin());
    return words;
}

namespace {

std::string Lower(std::string s)
{
    for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void ApplyAndRedraw(void)
{
    NKSetRenderOptionsChanged(g_pGraphicsSettings);
    NKInvalidateView();
}

int Info(const char *pszText)
{
    NKPrintInfo(pszText);
    return NK_CMD_DONE;
}

void SetProjectionAgain(void)
{
    NKSetProjection(NKViewWindowSize.iWidth, NKViewWindowSize.iHeight, g_fNearClip, g_fFarClip);
}

int ProjectionCommand(bool bPerspective)
{
    g_pGraphicsSettings->bPerspective = bPerspective ? 1 : 0;
    SetProjectionAgain();
    ApplyAndRedraw();
    return Info(bPerspective ? "Setting perspective projection"
                             : "Setting orthographic projection");
}

int FovCommand(CommandTableEntry *pEntry, const std::vector<std::string> &words)
{
    NKString msg;
    if (!words.empty() && Lower(words[0]) == "default") {
        g_fFieldOfViewFactor = NK_DEFAULT_FOV_FACTOR;
        msg = "Field of view set to default.";
    } else {
        // The whole word must be a finite number: "inf" would make the
        // factor NaN.
        char *pEnd = nullptr;
        float f = 0.0f;
        if (!words.empty()) std::strtod(words[0].c_str(), &pEnd);
        if (words.empty() || *pEnd != '\0' || !NKWordToFloat(words[0].c_str(), &f) || !(f > 0.0f)) {
            NKCommandError(pEntry, "Field of view must be a number > 0.");
            return NK_CMD_FAILED;
        }
        const double d = f;
        g_fFieldOfViewFactor = static_cast<float>(std::tan(d * M_PI / 180.0));
        msg = NKString::FromFormat("Field of view set to %g.", d);
    }
    SetProjectionAgain();
    NKInvalidateView();
    return Info(msg.GetText());
}

// "origo" and/or "fixed" as the axis flags name them.
NKString AxisText(const char *pszStart, int iFlags)
{
    NKString t(pszStart);
    if (iFlags & 1) t += "origo";
    if (iFlags == 15) t += " and ";
    if (iFlags & 2) t += "fixed";
    return t + ")";
}

int AxisCommand(bool bOn, const std::vector<std::string> &words)
{
    int &f = g_pViewSettings->iAxisFlags;
    const char c = words.empty() ? '\0' : static_cast<char>(std::tolower(words[0][0]));
    const int iBit = c == 'o' ? 1 : c == 'f' ? 2 : 0;
    if (words.empty())
        f = bOn ? 15 : 0;
    else if (bOn)
        f |= iBit;
    else
        f &= ~iBit;
    NKInvalidateView();
    return Info(AxisText(bOn ? "Enabled drawing of axis (" : "Disabled drawing of axis (",
                         words.empty() ? 15 : iBit)
                    .GetText());
}

int FogCommand(CommandTableEntry *pEntry, const std::vector<std::string> &words)
{
    NKGraphicsSettings *g = g_pGraphicsSettings;
    float fStart = 0.01f, fEnd = 8.0f;
    int iMode = g->iFogMode;
    size_t i = 0;
    char *pEnd = nullptr;
    if (!words.empty()) {
        const std::string w = Lower(words[0]);
        std::strtod(words[0].c_str(), &pEnd);
        const bool bNumber = *pEnd == '\0';
        if (w == "linear" || w == "exp" || w == "exp2") {
            iMode = w == "linear" ? GL_LINEAR : w == "exp" ? GL_EXP : GL_EXP2;
            i = 1;
        } else if (w == "view") {
            if (words.size() < 2) {
                NKCommandError(pEntry, "No value given for fog view.");
                return NK_CMD_FAILED;
            }
            float v[3] = {0.0f, 0.0f, 0.0f};
            if (!NKWordToFloat(words[1].c_str(), &v[2])) {
                NKCommandError(pEntry, "No value given for fog view.");
                return NK_CMD_FAILED;
            }
            ModelToDisplayVector(v);
            iMode = GL_LINEAR;
            fStart = g_fNearClip;
            fEnd = g_fNearClip + v[2];
            i = words.size();
        } else if (!bNumber) {
            NKCommandError(
                pEntry, NKString::FromFormat("Unknown fog mode: %s", words[0].c_str()).GetText());
            return NK_CMD_FAILED;
        }
    }
    // The planes must be finite numbers; the settings, the mode included,
    // stay as they were otherwise.
    if ((i < words.size() && !NKWordToFloat(words[i++].c_str(), &fStart)) ||
        (i < words.size() && !NKWordToFloat(words[i].c_str(), &fEnd))) {
        NKCommandError(pEntry, "Illegal parameter specified");
        return NK_CMD_FAILED;
    }
    g->iFogMode = iMode;
    g->fFogStart = fStart;
    g->fFogEnd = fEnd;
    g->bFog = 1;
    ApplyAndRedraw();
    return Info(NKString::FromFormat("Enabled fog from %g to %g", fStart, fEnd).GetText());
}

int GraphicsSwitch(uint8_t *pField, uint8_t bValue, const char *pszText)
{
    *pField = bValue;
    ApplyAndRedraw();
    return Info(pszText);
}

// The moveas commands: how the model moves while the mouse turns it.
struct MoveModeRow {
    int iId;
    int iMode;
    const char *pszText;
};

const MoveModeRow kMoveModeRows[] = {
    {NK_CID_MOVEASNORMAL, NK_MOVE_NORMAL, "Move model as normal"},
    {NK_CID_MOVEASBOX, NK_MOVE_BOX, "Move model as bounding box"},
    {NK_CID_MOVEASPOINTS, NK_MOVE_POINTS, "Move model as points"},
    {NK_CID_MOVEASLINES, NK_MOVE_LINES, "Move model as lines"},
    {NK_CID_MOVEASOUTLINE, NK_MOVE_OUTLINE, "Move model as outline"},
    {NK_CID_MOVEASLOD, NK_MOVE_LOD, "Move model at lowest available LOD level"},
};

int BoxCommand(const std::vector<std::string> &words)
{
    NKViewSettings *v = g_pViewSettings;
    v->bShowBox = 1;
    if (!words.empty() && Lower(words[0]) == "max") v->bBoxOverAllSteps = 1;
    if (!words.empty() && Lower(words[0]) == "nomax") v->bBoxOverAllSteps = 0;
    NKInvalidateView();
    return Info(v->bBoxOverAllSteps ? "Enable display of max bounding box over all time steps"
                                    : "Enable display of bounding box");
}

// Every distinct geometry of the model gets the description.
void SetGeometryDescriptions(const char *pszText)
{
    for (int i = 0; g_pModel != nullptr && i < g_pModel->iNumFrames; i++) {
        NKGeometry *pGeo = g_pModel->pFrames[i].pGeometry;
        if (pGeo != nullptr) pGeo->szDescription = pszText;
    }
}

int StringGeometryCommand(CommandTableEntry *pEntry, const char *pszArguments)
{
    const std::string text = NKCommandRestOfLine(pszArguments);
    if (text.empty()) {
        NKCommandError(pEntry, "No string specified.");
        return NK_CMD_FAILED;
    }
    SetGeometryDescriptions(text.c_str());
    NKInvalidateView();
    return Info(NKString::FromFormat("Geometry description: %s", text.c_str()).GetText());
}

int StereoAutofocusCommand(const std::vector<std::string> &words)
{
    uint8_t *pAuto = &g_pGraphicsSettings->bDisplaySwitches[0];
    uint8_t *pDraw = &g_pGraphicsSettings->bDisplaySwitches[1];
    if (words.empty())
        *pAuto = !*pAuto;
    else
        *pAuto = Lower(words[0]) != "off";
    bool bDraw = false;
    for (size_t i = 0; i < words.size() && i < 2; i++)
        if (Lower(words[i]) == "draw") bDraw = true;
    *pDraw = bDraw ? 1 : 0;
    if (*pAuto && g_pGraphicsSettings->bQuadBufferStereo) NKFindNearestViewPoint();
    return NK_CMD_DONE;
}

// Display switch, model and box, move modes and the overlays' switches.
int ViewSwitches(CommandTableEntry *pEntry, const std::vector<std::string> &words)
{
    NKViewSettings *v = g_pViewSettings;
    for (const MoveModeRow &row : kMoveModeRows) {
        if (row.iId != pEntry->id) continue;
        v->iMoveMode = row.iMode;
        return Info(row.pszText);
    }
    switch (pEntry->id) {
    case NK_CID_D:
        v->bUpdateScene = 1;
        NKRedrawView();
        return NK_CMD_DONE;
    case NK_CID_DISPLAY:
        if (v->bUpdateScene) return NK_CMD_DONE;
        v->bUpdateScene = 1;
        NKInvalidateView();
        return Info("Updating of graphics scene enabled");
    case NK_CID_NODISPLAY:
        if (!v->bUpdateScene) return NK_CMD_DONE;
        v->bUpdateScene = 0;
        return Info("Updating of graphics scene disabled");
    case NK_CID_MODEL:
        v->bShowModel = 1;
        v->bShowBox = 0;
        NKInvalidateView();
        return Info("Display of model enabled");
    case NK_CID_NOMODEL:
        v->bShowModel = 0;
        v->bShowBox = 1;
        NKInvalidateView();
        return Info("Display of model disabled (show bounding box)");
    case NK_CID_PERFORMANCE:
        v->bShowPerformance = 1;
        return Info("Performance numbers turned on");
    case NK_CID_NOPERFORMANCE:
        v->bShowPerformance = 0;
        return Info("Performance numbers turned off");
    case NK_CID_AXES:
        return AxisCommand(true, words);
    case NK_CID_NOAXES:
        return AxisCommand(false, words);
    case NK_CID_BOX:
        return BoxCommand(words);
    case NK_CID_NOBOX:
        v->bShowBox = 0;
        NKInvalidateView();
        return Info("Disable display of bounding box");
    default:
        return NK_CMD_NOT_MINE;
    }
}

// Projection, spin, fog, z-buffer, dither, geometry text, stereo.
int GraphicsCommands(CommandTableEntry *pEntry, const char *pszArguments,
                     const std::vector<std::string> &words)
{
    NKGraphicsSettings *g = g_pGraphicsSettings;
    switch (pEntry->id) {
    case NK_CID_AUTOFOCUS:
        // A reservoir result set is looked at from its fixed oblique view;
        // any other model straight on (the identity view matrix).
        if (NKGetInterfaceType() == NK_INTERFACE_RESERVOIR)
            ExecuteCommand(
                "setview  -0.346086 -0.705970 0.560510 0.260115 0.079043 0.075768 0.692930");
        else
            for (int i = 0; i < 16; i++) g_ViewMatrix[i] = i % 5 == 0 ? 1.0f : 0.0f;
        NKInvalidateView();
        return Info("View has been reset");
    case NK_CID_PERSPECTIVE:
        return ProjectionCommand(true);
    case NK_CID_NOPERSPECTIVE:
        return ProjectionCommand(false);
    case NK_CID_FOV:
        return FovCommand(pEntry, words);
    case NK_CID_SPIN:
        ExecuteCommand("nohp");
        NKStartTimer(3);
        return Info("Spin mode turned on");
    case NK_CID_NOSPIN:
        NKStopTimer(3);
        return Info("Spin mode turned off");
    case NK_CID_FOG:
        return FogCommand(pEntry, words);
    case NK_CID_NOFOG:
        return GraphicsSwitch(&g->bFog, 0, "Disabled fog");
    case NK_CID_ZBUFFER:
        return GraphicsSwitch(&g->bZBuffer, 1, "Enable use of Z-buffer");
    case NK_CID_NOZBUFFER:
        return GraphicsSwitch(&g->bZBuffer, 0, "Disable use of Z-buffer");
    case NK_CID_DITHER:
        return GraphicsSwitch(&g->bDither, 1, "Enable dithering (default)");
    case NK_CID_NODITHER:
        return GraphicsSwitch(&g->bDither, 0, "Disable dithering");
    case NK_CID_STRINGGEOMETRY:
        return StringGeometryCommand(pEntry, pszArguments);
    case NK_CID_NOSTRINGGEOMETRY:
        SetGeometryDescriptions("");
        NKInvalidateView();
        return NK_CMD_DONE;
    case NK_CID_STEREO:
    case NK_CID_NOSTEREO:
        return NK_CMD_DONE;
    case NK_CID_STEREOAUTOFOCUS:
        return StereoAutofocusCommand(words);
    default:
        return NK_CMD_NOT_MINE;
    }
}

}  // namespace

int NKCommandHandleView(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr || g_pViewSettings == nullptr || g_pGraphicsSettings == nullptr)
        return NK_CMD_NOT_MINE;
    const std::vector<std::string> words = NKSplitCommandWords(pszArguments);
    int iResult = ViewSwitches(pEntry, words);
    if (iResult == NK_CMD_NOT_MINE) iResult = GraphicsCommands(pEntry, pszArguments, words);
    if (iResult == NK_CMD_NOT_MINE) iResult = NKCommandHandleLights(pEntry, pszArguments);
    return iResult;
}
