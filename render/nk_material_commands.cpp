// render/nk_material_commands.cpp -- NKCommandHandleMaterial (see
// nk_material_commands.h). The material display lists themselves are built
// from the update flags by the light and material code (nk_lights.cpp).
#include "render/nk_material_commands.h"

#include <cstdlib>
#include <cstring>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_part_range.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_part_lists.h"
#include "core/nk_part_palette.h"
#include "core/nk_render_state.h"
#include "render/nk_command_actions.h"
#include "render/nk_command_part_range.h"
#include "render/nk_view_settings.h"

const uint8_t NKOldPartPalette[16][3] = {
    {255, 0, 0},   {0, 255, 0},    {255, 255, 0}, {0, 0, 255},   {255, 0, 255}, {0, 255, 255},
    {255, 128, 0}, {64, 128, 255}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0}, {0, 0, 255},
    {255, 0, 255}, {0, 255, 255},  {255, 128, 0}, {64, 128, 255}};

void NKChangeGeometryParts(int iFrom, int iTo, const std::function<void(NKPart &)> &change)
{
    NKForEachGeometry([&](NKGeometry *pGeo) {
        for (int i = iFrom - 1; i < iTo && i < pGeo->iNumParts; i++)
            if (i >= 0 && pGeo->pParts != nullptr) change(pGeo->pParts[i]);
    });
}

void NKInvalidateAllPartLists(void)
{
    if (g_pModel == nullptr || g_pModel->pFrames == nullptr) return;
    for (int f = 0; f < g_pModel->iNumFrames; f++) NKInvalidatePartLists(&g_pModel->pFrames[f]);
}

namespace {

const char kParameterMissing[] = "Parameter missing or illegal parameter specification";

// A command's running argument scan, past its "PARAMS" word, and the part
// range read from it (the lock check on).
struct RangeArgs {
    explicit RangeArgs(const char *pszArguments) : scan(pszArguments) { scan.NextToken(); }
    bool Read(CommandTableEntry *pEntry)
    {
        return NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, true);
    }
    // The next word as an integer (its leading decimal digits; missing or not
    // a number: 0) and as a float (missing or not a number: 0).
    int NextInt() { return std::atoi(scan.NextToken().GetText()); }
    float NextFloat() { return static_cast<float>(std::atof(scan.NextToken().GetText())); }
    NKArgumentScan scan;
    int iFrom = 0, iTo = 0;
};

void FlagMaterials(int iFrom, int iTo)
{
    NKFlagMaterialsForUpdate(g_pListUpdateInfo, iFrom - 1, iTo - 1);
}

// color: ambient and diffuse from three bytes (the low 8 bits of each
// integer).
int Color(CommandTableEntry *pEntry, const char *pszArguments)
{
    RangeArgs a(pszArguments);
    if (!a.Read(pEntry)) return NK_CMD_FAILED;
    uint8_t rgb[3];
    for (uint8_t &c : rgb) c = static_cast<uint8_t>(a.NextInt() & 0xFF);
    NKChangeGeometryParts(a.iFrom, a.iTo, [&rgb](NKPart &part) {
        for (int k = 0; k < 3; k++) {
            part.material.ambient[k] = rgb[k] / 255.0f;
            part.material.diffuse[k] = rgb[k] / 255.0f;
        }
    });
    FlagMaterials(a.iFrom, a.iTo);
    return NKCommandDone(
        NKString::FromFormat("Set color on part %d to part %d to red=%d green=%d blue=%d", a.iFrom,
                             a.iTo, rgb[0], rgb[1], rgb[2]));
}

// ambient, diffuse, specular, emission: three floats, each above 1 made 1.
int Reflectance(CommandTableEntry *pEntry, const char *pszArguments)
{
    RangeArgs a(pszArguments);
    if (!a.Read(pEntry)) return NK_CMD_FAILED;
    float v[3];
    for (float &x : v) {
        x = a.NextFloat();
        if (x > 1.0f) x = 1.0f;
    }
    const char *pszFormat = nullptr;
    int iWhich = 0;
    switch (pEntry->id) {
    case NK_CID_AMBIENT:
        pszFormat = "Set ambient reflection on part %d to part %d to red=%g green=%g blue=%g";
        iWhich = 0;
        break;
    case NK_CID_DIFFUSE:
        pszFormat = "Set diffuse reflection on part %d to part %d to red=%g green=%g blue=%g";
        iWhich = 1;
        break;
    case NK_CID_SPECULAR:
        pszFormat = "Set specular reflection on part %d to part %d to red=%g green=%g blue=%g";
        iWhich = 2;
        break;
    default:
        pszFormat = "Set emission on part %d to part %d to red=%g green=%g blue=%g";
        iWhich = 3;
        break;
    }
    NKChangeGeometryParts(a.iFrom, a.iTo, [&v, iWhich](NKPart &part) {
        float *pTarget = iWhich == 0   ? part.material.ambient
                         : iWhich == 1 ? part.material.diffuse
                         : iWhich == 2 ? part.material.specular
                                       : part.material.emission;
        for (int k = 0; k < 3; k++) pTarget[k] = v[k];
    });
    FlagMaterials(a.iFrom, a.iTo);
    return NKCommandDone(NKString::FromFormat(pszFormat, a.iFrom, a.iTo, static_cast<double>(v[0]),
                                              static_cast<double>(v[1]),
                                              static_cast<double>(v[2])));
}

int Shininess(CommandTableEntry *pEntry, const char *pszArguments)
{
    RangeArgs a(pszArguments);
    if (!a.Read(pEntry)) return NK_CMD_FAILED;
    const uint8_t uExp = static_cast<uint8_t>(a.NextInt() & 0xFF);
    NKChangeGeometryParts(a.iFrom, a.iTo, [uExp](NKPart &part) { part.material.shininess = uExp; });
    FlagMaterials(a.iFrom, a.iTo);
    return NKCommandDone(
        NKString::FromFormat("Set shininess on part %d to part %d to %d", a.iFrom, a.iTo, uExp));
}

int Alpha(CommandTableEntry *pEntry, const char *pszArguments)
{
    RangeArgs a(pszArguments);
    if (!a.Read(pEntry)) return NK_CMD_FAILED;
    float fFactor = 0.0f;
    const NKString word = a.scan.NextToken();
    if (word.IsEmpty() || !NKWordToFloat(word.GetText(), &fFactor) || fFactor < 0.0f ||
        fFactor > 1.0f)
        return NKCommandFail(pEntry, kParameterMissing);
    const uint8_t uAlpha = static_cast<uint8_t>(fFactor * 255.0f);
    NKChangeGeometryParts(a.iFrom, a.iTo, [uAlpha](NKPart &part) { part.material.alpha = uAlpha; });
    NKInvalidateAllPartLists();
    FlagMaterials(a.iFrom, a.iTo);
    return NKCommandDone(
        NKString::FromFormat("Transparency factor set for part %d to part %d to %g", a.iFrom, a.iTo,
                             static_cast<double>(fFactor)));
}

// transparent [fast | nice] or a part range; notransparent and noalpha.
// transparent and noalpha.
int Transparent(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bOn = pEntry->id == NK_CID_TRANSPARENT;
    if (bOn) {
        NKArgumentScan peek(pszArguments);
        peek.NextToken();
        const NKString word = peek.NextToken();
        const char *w = word.GetText();
        const bool bFast = std::strcmp(w, "fast") == 0, bNice = std::strcmp(w, "nice") == 0;
        if (bFast || bNice) {
            if (g_pViewSettings == nullptr) return NK_CMD_FAILED;
            g_pViewSettings->bTransparentFast = bFast ? 1 : 0;
            return NKCommandDone(
                NKString(bFast ? "Drawing transparent parts without sorting of polygons."
                               : "Sorting polygons to achieve better transparency."));
        }
    }
    RangeArgs a(pszArguments);
    if (!a.Read(pEntry)) return NK_CMD_FAILED;
    const uint8_t uOn = bOn ? 1 : 0;
    NKChangeGeometryParts(a.iFrom, a.iTo, [uOn](NKPart &part) { part.bTransparent = uOn; });
    NKInvalidateAllPartLists();
    if (bOn) FlagMaterials(a.iFrom, a.iTo);
    return NKCommandDone(NKString::FromFormat(bOn ? "Set transparency on for part %d to part %d"
                                                  : "Turn off transparency for part %d to part %d",
                                              a.iFrom, a.iTo));
}

// oldpartcolors and newpartcolors: the palette, every part recoloured from
// it, then the emission of all parts.
// oldpartcolors and newpartcolors.
int PartColors(CommandTableEntry *pEntry, const char *)
{
    const bool bOld = pEntry->id == NK_CID_OLDPARTCOLORS;
    std::memcpy(NKPartPalette, bOld ? NKOldPartPalette : NKStartupPartPalette,
                sizeof(NKPartPalette));
    if (g_pModel != nullptr && g_pModel->pFrames != nullptr) {
        NKResetGeometryMarks();
        for (int f = 0; f < g_pModel->iNumFrames; f++) {
            NKGeometry *pGeo = g_pModel->pFrames[f].pGeometry;
            if (pGeo == nullptr || pGeo->iProcessed != -1 || pGeo->pParts == nullptr) continue;
            pGeo->iProcessed = 1;
            for (int i = 0; i < pGeo->iNumParts; i++)
                for (int k = 0; k < 3; k++) {
                    const float c = NKPartPalette[i % 16][k] / 255.0f;
                    pGeo->pParts[i].material.ambient[k] = c;
                    pGeo->pParts[i].material.diffuse[k] = c;
                }
        }
    }
    NKFlagMaterialsForUpdate(g_pListUpdateInfo, -1, -1);
    ExecuteCommand(bOld ? "emission 0 0 0 0 0" : "emission 0 0 0.3 0.3 0.3");
    return NKCommandDone(NKString(bOld ? "Using old part colors." : "Not using old part colors."));
}

// The highest-numbered part without elements of the current geometry; the
// part count when every part has elements.
int LastPartWithoutElements(void)
{
    const NKGeometry *pGeo = NKGetCurrentGeometry();
    const int n = NKGetNumParts();
    if (pGeo == nullptr || pGeo->pParts == nullptr) return n;
    for (int i = pGeo->iNumParts - 1; i >= 0; i--)
        if (pGeo->pParts[i].iNumElements == 0) return i + 1;
    return n;
}

int LockAttributes(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bLock = pEntry->id == NK_CID_LOCKATTRIBUTES;
    const int n = NKGetNumParts();
    int iLast = 0;
    if (bLock) {
        NKArgumentScan scan(pszArguments);
        scan.NextToken();
        const NKString word = scan.NextToken();
        if (word.IsEmpty())
            iLast = n;
        else if (std::strncmp(word.GetText(), "ifs", 3) == 0)
            iLast = LastPartWithoutElements();
        else {
            const int v = std::atoi(word.GetText());
            iLast = v >= 0 ? v : n + v;
        }
        if (iLast < 1 || iLast > n)
            return NKCommandFail(
                pEntry,
                NKString::FromFormat("Illegal part number %d  (legal range 1 -> %d)", iLast, n)
                    .GetText());
    }
    NKChangeGeometryParts(1, 0x7FFFFFFF, [](NKPart &part) { part.bLockAttributes = 0; });
    if (bLock) NKChangeGeometryParts(1, iLast, [](NKPart &part) { part.bLockAttributes = 1; });
    NKInvalidateAllPartLists();
    if (!bLock) return NKCommandDone(NKString("Disabled part attribute locking"));
    return NKCommandDone(
        NKString::FromFormat("Locking part attributes for part range 1 to %d", iLast));
}

const NKCommandAction kMaterialActions[] = {
    {NK_CID_COLOR, Color},
    {NK_CID_AMBIENT, Reflectance},
    {NK_CID_DIFFUSE, Reflectance},
    {NK_CID_SPECULAR, Reflectance},
    {NK_CID_EMISSION, Reflectance},
    {NK_CID_SHININESS, Shininess},
    {NK_CID_ALPHA, Alpha},
    {NK_CID_TRANSPARENT, Transparent},
    {NK_CID_NOALPHA, Transparent},
    {NK_CID_OLDPARTCOLORS, PartColors},
    {NK_CID_NEWPARTCOLORS, PartColors},
    {NK_CID_LOCKATTRIBUTES, LockAttributes},
    {NK_CID_NOLOCKATTRIBUTES, LockAttributes},
};

}  // namespace

int NKCommandHandleMaterial(CommandTableEntry *pEntry, const char *pszArguments)
{
    return NKRunCommandAction(kMaterialActions, pEntry, pszArguments);
}

void NKRegisterMaterialCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_MATERIAL, NKCommandHandleMaterial);
}
