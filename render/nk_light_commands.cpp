// render/nk_light_commands.cpp -- the commands of the six lights and the
// lighting model (see nk_view_commands.h). They change the records of
// nk_lights.h and raise list flags; the next draw rebuilds the lists.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "core/nk_message.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "core/nk_string.h"
#include "render/nk_command_actions.h"
#include "render/nk_lights.h"
#include "render/nk_view_commands.h"

namespace {

int LightCommand(CommandTableEntry *, const char *pszArguments)
{
    const std::vector<std::string> words = NKSplitCommandWords(pszArguments);
    bool bAny = false;
    for (size_t i = 0; i < words.size() && i < NK_NUM_LIGHTS; i++) {
        g_pLights[i].bOn = std::atoi(words[i].c_str()) != 0 ? 1 : 0;
        bAny = true;
    }
    if (bAny) g_pListUpdateInfo->bLightSwitches = 1;
    NKString text("Light source status:");
    for (int i = 0; i < NK_NUM_LIGHTS; i++)
        text += NKString::FromFormat("\n  - Light %d: %s", i + 1, g_pLights[i].bOn ? "ON" : "OFF");
    NKPrintInfo(text.GetText());
    NKInvalidateView();
    return NK_CMD_DONE;
}

int GlobalLightCommand(CommandTableEntry *pEntry, const char *pszArguments)
{
    float c[3] = {g_pLightModels[0].ambient[0], g_pLightModels[0].ambient[1],
                  g_pLightModels[0].ambient[2]};
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    if (!params.NKGetFirstParameterFloat(&c[0], false, 0.0f, 1.0f) ||
        !params.NKGetParameterFloat(&c[1], false, 0.0f, 1.0f) ||
        !params.NKGetParameterFloat(&c[2], false, 0.0f, 1.0f))
        return NK_CMD_FAILED;
    for (int v = 0; v < 2; v++)
        for (int k = 0; k < 3; k++) g_pLightModels[v].ambient[k] = c[k];
    g_pListUpdateInfo->bLightingModels = 1;
    NKPrintInfo(
        NKString::FromFormat("Setting global ambient light to (%g, %g, %g)", c[0], c[1], c[2])
            .GetText());
    NKInvalidateView();
    return NK_CMD_DONE;
}

int LocalViewerCommand(CommandTableEntry *pEntry, const char *)
{
    const bool bOn = pEntry->id == NK_CID_LOCALVIEWER;
    g_pLightModels[0].bLocalViewer = g_pLightModels[1].bLocalViewer = bOn ? 1 : 0;
    g_pListUpdateInfo->bLightingModels = 1;
    NKPrintInfo(bOn ? "Enable local view lighting model" : "Disable local view lighting model");
    NKInvalidateView();
    return NK_CMD_DONE;
}

void PrintLightProperties(int n, const NKLight &l)
{
    static const char *const apszType[3] = {"directional", "positional", "positional"};
    NKString t = NKString::FromFormat("Current properties for light %d  (%s):\n", n,
                                      l.bOn ? "enabled" : "disabled");
    const int iType = l.iSourceType >= 0 && l.iSourceType <= 2 ? l.iSourceType : 0;
    t += NKString::FromFormat("  type: %s%s", apszType[iType], iType == 2 ? ", spotlight\n" : "\n");
    t +=
        NKString::FromFormat("  ambient: (%g, %g, %g)\n", l.ambient[0], l.ambient[1], l.ambient[2]);
    t +=
        NKString::FromFormat("  diffuse: (%g, %g, %g)\n", l.diffuse[0], l.diffuse[1], l.diffuse[2]);
    t += NKString::FromFormat("  specular: (%g, %g, %g)\n", l.specular[0], l.specular[1],
                              l.specular[2]);
    t += NKString::FromFormat("  position: (%g, %g, %g)%s", l.position[0], l.position[1],
                              l.position[2], l.bFixed ? "(fixed)\n" : "(move with model)\n");
    t += NKString::FromFormat("  direction: (%g, %g, %g)\n", l.direction[0], l.direction[1],
                              l.direction[2]);
    t += NKString::FromFormat("  spot exponent: %g\n", l.fSpotExponent);
    t += NKString::FromFormat("  spot cutoff angle: %g\n", l.fSpotCutoff);
    t += NKString::FromFormat("  attenuation (C, L, Q): (%g, %g, %g)\n", l.fConstantAttenuation,
                              l.fLinearAttenuation, l.fQuadraticAttenuation);
    NKPrintInfo(t.GetText());
}

// Up to three floats after the property word; values left out keep the
// light's (pfValues holds them on entry). False on a bad value.
bool ReadValues(CommandParams *pParams, float *pfValues, int iCount, float fMin, float fMax)
{
    NKString skip;
    pParams->NKGetFirstParameterString(&skip, true, NK_PARAM_STRING_WORD);
    pParams->NKGetParameterString(&skip, true, NK_PARAM_STRING_WORD);
    for (int i = 0; i < iCount; i++)
        if (!pParams->NKGetParameterFloat(&pfValues[i], false, fMin, fMax)) return false;
    return true;
}

const float NK_NO_LIMIT = 3.4028235e38f;

// One property of light n; -1 for an unknown property, else a result code.
int SetLightProperty(CommandParams *pParams, int n, NKLight *l, const std::string &prop,
                     const std::vector<std::string> &words)
{
    const std::string p = prop.substr(0, 3);
    NKString msg;
    if (p == "typ") {
        const std::string w = words.size() > 2 ? words[2].substr(0, 3) : "";
        static const char *const apsz[3] = {"directional", "positional", "spotlight"};
        int t = w == "dir" ? 0 : w == "pos" ? 1 : w == "spo" ? 2 : -1;
        if (t < 0) return -1;
        l->iSourceType = t;
        msg = NKString::FromFormat("Setting source type for light number %d to: %s", n, apsz[t]);
    } else if (p == "fix" || p == "nof") {
        l->bFixed = p == "fix";
        msg = NKString::FromFormat(p == "fix" ? "Setting position of light number %d to fixed"
                                              : "Setting position of light number %d to non-fixed "
                                                "(light moves with model)",
                                   n);
    } else if (p == "amb" || p == "dif" || p == "spe") {
        float *pf = p == "amb" ? l->ambient : p == "dif" ? l->diffuse : l->specular;
        if (!ReadValues(pParams, pf, 3, 0.0f, 1.0f)) return NK_CMD_FAILED;
        const char *pszName = p == "amb" ? "ambient" : p == "dif" ? "diffuse" : "specular";
        msg = NKString::FromFormat("Setting %s intensity for light number %d: (%g %g %g)", pszName,
                                   n, pf[0], pf[1], pf[2]);
    } else if (p == "pos" || p == "dir") {
        float *pf = p == "pos" ? l->position : l->direction;
        if (!ReadValues(pParams, pf, 3, NK_NO_LIMIT, NK_NO_LIMIT)) return NK_CMD_FAILED;
        msg = NKString::FromFormat("Setting %s for light number %d: (%g %g %g)",
                                   p == "pos" ? "position" : "direction", n, pf[0], pf[1], pf[2]);
    } else {
        struct Scalar {
            const char *pszKey;
            float NKLight::*pField;
            float fMax;
            const char *pszText;
        };
        static const Scalar aScalars[] = {
            {"cat", &NKLight::fConstantAttenuation, 1e30f, "constant attenuation factor"},
            {"lat", &NKLight::fLinearAttenuation, 1e30f, "linear attenuation factor"},
            {"qat", &NKLight::fQuadraticAttenuation, 1e30f, "quadratic attenuation factor"},
            {"exp", &NKLight::fSpotExponent, 128.0f, "spotlight exponent"},
            {"cut", &NKLight::fSpotCutoff, 90.0f, "spotlight cutoff angle"}};
        const Scalar *s = nullptr;
        for (const Scalar &c : aScalars)
            if (p == c.pszKey) s = &c;
        if (s == nullptr) return -1;
        if (!ReadValues(pParams, &(l->*(s->pField)), 1, 0.0f, s->fMax)) return NK_CMD_FAILED;
        msg = NKString::FromFormat("Setting %s for light number %d: %g", s->pszText, n,
                                   l->*(s->pField));
    }
    NKPrintInfo(msg.GetText());
    return NK_CMD_DONE;
}

int LightPropertiesCommand(CommandTableEntry *pEntry, const char *pszArguments)
{
    const std::vector<std::string> words = NKSplitCommandWords(pszArguments);
    char *pEnd = nullptr;
    long n = words.empty() ? 0 : std::strtol(words[0].c_str(), &pEnd, 10);
    if (words.empty() || *pEnd != '\0' || n < 1 || n > NK_NUM_LIGHTS) {
        NKCommandError(pEntry,
                       "Illegal or missing light number specification (legal number 1 -> 6)");
        return NK_CMD_FAILED;
    }
    NKLight *l = &g_pLights[n - 1];
    if (words.size() < 2) {
        PrintLightProperties(static_cast<int>(n), *l);
        return NK_CMD_DONE;
    }
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    int iResult = SetLightProperty(&params, static_cast<int>(n), l, words[1], words);
    if (iResult < 0) {
        NKCommandError(pEntry, "Illegal light property specified");
        return NK_CMD_FAILED;
    }
    if (iResult == NK_CMD_DONE) {
        g_pListUpdateInfo->bLights = 1;
        NKInvalidateView();
    }
    return iResult;
}

const NKCommandAction kLightActions[] = {
    {NK_CID_LIGHT, LightCommand},
    {NK_CID_LIGHTPROPERTIES, LightPropertiesCommand},
    {NK_CID_GLOBALLIGHT, GlobalLightCommand},
    {NK_CID_LOCALVIEWER, LocalViewerCommand},
    {NK_CID_NOLOCALVIEWER, LocalViewerCommand},
};

}  // namespace

int NKCommandHandleLights(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (g_pLights == nullptr || g_pLightModels == nullptr) return NK_CMD_NOT_MINE;
    return NKRunCommandAction(kLightActions, pEntry, pszArguments);
}
