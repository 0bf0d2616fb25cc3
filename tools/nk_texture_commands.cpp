// tools/nk_texture_commands.cpp -- NKCommandHandleTexture (see
// nk_texture_commands.h).
#include "tools/nk_texture_commands.h"

#include <cstdlib>
#include <string>
#include <strings.h>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_part_range.h"
#include "core/nk_export_items.h"
#include "core/nk_frames.h"
#include "core/nk_image_record.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_references.h"
#include "core/nk_render_state.h"
#include "render/nk_background.h"
#include "render/nk_command_actions.h"
#include "render/nk_command_part_range.h"
#include "render/nk_material_commands.h"
#include "render/nk_overlays.h"
#include "render/nk_texture_images.h"
#include "tools/nk_user_drawing.h"

namespace {

int Done(const std::string &msg)
{
    if (!msg.empty()) NKPrintInfo(msg.c_str());
    NKInvalidateView();
    return NK_CMD_DONE;
}

std::string Format(const char *pszFormat, int a, int b)
{
    return NKString::FromFormat(pszFormat, a, b).GetText();
}

ImageRecord *ImageAt(int i) { return static_cast<ImageRecord *>(TextureImageList.GetAt(i)); }

ImageRecord *FindImage(const NKString &name)
{
    if (name.IsNull()) return nullptr;
    int i = NKFindTextureImage(&TextureImageList, name.GetText());
    return i >= 0 ? ImageAt(i) : nullptr;
}

// True when the word is a whole integer.
bool IsNumber(const NKString &word)
{
    if (word.IsNull() || word.GetText()[0] == '\0') return false;
    char *pszEnd = nullptr;
    std::strtol(word.GetText(), &pszEnd, 10);
    return *pszEnd == '\0';
}

// Flags the part texture lists of the 1-based range.
void FlagParts(int iFrom, int iTo)
{
    NKFlagTexturesForUpdate(g_pListUpdateInfo, iFrom - 1, iTo - 1);
}

// Changes a byte of every part of the range.
template <typename Fn>
void ChangeParts(int iFrom, int iTo, Fn fn)
{
    NKChangeGeometryParts(iFrom, iTo, fn);
    FlagParts(iFrom, iTo);
}

// environment, texture: mapping on for the range, with the named image or
// the first one as the default for parts without one.
int EnableMapping(CommandTableEntry *pEntry, const char *pszArguments)
{
    const bool bEnvironment = pEntry->id == NK_CID_ENVIRONMENT;
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    if (TextureImageList.GetSize() == 0) return NKCommandFail(pEntry, "No texture images loaded");
    NKString name = scan.NextToken();
    const char *pszKind = bEnvironment ? "environment" : "texture";
    ImageRecord *pImage = ImageAt(0);
    std::string msg;
    if (!name.IsNull()) {
        pImage = FindImage(name);
        if (pImage == nullptr) return NKCommandFail(pEntry, "Invalid texture name specified");
        NKSetPartsTexture(iFrom - 1, iTo - 1, pImage);
        msg = NKString::FromFormat("Enable %s mapping for part %d to part %d with texture %s",
                                   pszKind, iFrom, iTo, pImage->szName.GetText())
                  .GetText();
    } else {
        msg = NKString::FromFormat("Enable %s mapping for part %d to part %d (%s used as default "
                                   "texture)",
                                   pszKind, iFrom, iTo, pImage->szName.GetText())
                  .GetText();
    }
    NKSetPartsTextureFlags(iFrom - 1, iTo - 1, true, bEnvironment, pImage);
    FlagParts(iFrom, iTo);
    return Done(msg);
}

// hideenvironment, hidetexture, notexture.
int DisableMapping(CommandTableEntry *pEntry, const char *pszArguments)
{
    const int iKind = pEntry->id == NK_CID_HIDETEXTURE       ? 0
                      : pEntry->id == NK_CID_HIDEENVIRONMENT ? 1
                                                             : 2;
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    if (TextureImageList.GetSize() == 0) {
        if (iKind == 2) return Done("No textures are loaded.");
        return NKCommandFail(pEntry, "No texture images loaded");
    }
    FlagParts(iFrom, iTo);
    if (iKind == 2) {
        NKClearPartsTexture(iFrom - 1, iTo - 1);
        return Done(Format("Disable texture mapping for part %d to part %d", iFrom, iTo));
    }
    NKSetPartsTextureFlags(iFrom - 1, iTo - 1, false, false, nullptr);
    const char *pszKind = iKind == 1 ? "environment" : "texture";
    return Done(NKString::FromFormat("Hide %s mapping for part %d to part %d", pszKind, iFrom, iTo)
                    .GetText());
}

int EnvMode(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    NKString word = scan.NextToken();
    uint8_t uMode = 0;
    if (!word.IsNull() && strcasecmp(word.GetText(), "decal") == 0)
        uMode = 1;
    else if (!word.IsNull() && strcasecmp(word.GetText(), "modulate") == 0)
        uMode = 0;
    else if (!word.IsNull())
        uMode = static_cast<uint8_t>(std::atoi(word.GetText()));
    ChangeParts(iFrom, iTo, [uMode](NKPart &part) { part.envmode = uMode; });
    return Done(uMode ? "Setting environment decal mode" : "Setting environment modulate mode");
}

int ReadTexture(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    NKString file = scan.NextArgument();
    if (file.IsNull() || file.GetText()[0] == '\0')
        return NKCommandFail(pEntry, "Cannot open file for reading. No filename specified");
    std::string fileName = file.GetText();
    if (fileName.size() > 255) fileName.resize(255);
    bool bRange = false;
    int iFrom = 0, iTo = 0;
    NKArgumentScan peek = scan;
    if (IsNumber(peek.NextToken())) {
        if (!NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
        bRange = true;
    }
    NKString name = scan.NextToken();
    const char *pszName = name.IsNull() ? nullptr : name.GetText();
    ImageRecord *pImage = nullptr;
    if (fileName == "clipboard")
        pImage = NKReadClipboardTexture(&TextureImageList, pszName);
    else
        pImage = NKReadTextureImage(&TextureImageList, fileName.c_str(), pszName);
    if (pImage == nullptr) return NK_CMD_FAILED;
    const int iIndex = NKFindTextureImage(&TextureImageList, pImage->szName.GetText());
    NKFlagTextureImagesForUpdate(g_pListUpdateInfo, iIndex, iIndex);
    if (!bRange)
        return Done(NKString::FromFormat("Texture %s succesfully loaded", pImage->szName.GetText())
                        .GetText());
    NKSetPartsTexture(iFrom - 1, iTo - 1, pImage);
    NKSetPartsTextureFlags(iFrom - 1, iTo - 1, true, false, pImage);
    FlagParts(iFrom, iTo);
    return Done(NKString::FromFormat("Texture %s loaded and enabled for part %d to part %d",
                                     pImage->szName.GetText(), iFrom, iTo)
                    .GetText());
}

// Empties the background image when it shows pImage (any image for null):
// the background falls back to one colour.
void ReleaseBackground(const ImageRecord *pImage)
{
    if (g_BackgroundImage.pImage == nullptr) return;
    if (pImage != nullptr && g_BackgroundImage.pImage != pImage) return;
    g_BackgroundImage = NKBackgroundImage();
    if (g_pBackgroundSettings != nullptr && g_pBackgroundSettings->iMode == 5)
        g_pBackgroundSettings->iMode = 0;
}

int ClearTextures(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    NKString word = scan.NextToken();
    if (word.IsNull()) return NKCommandFail(pEntry, "No texture name specified");
    std::string msg;
    if (strcasecmp(word.GetText(), "all") == 0) {
        NKRemoveTextureFromParts(nullptr);
        NKClearUserTexturePolygons();
        NKSetBackgroundImage(nullptr, 0, 0.0f, 0.0f);
        ReleaseBackground(nullptr);
        NKClearTextureImages(&TextureImageList, nullptr);
        msg = "Cleared all textures from memory";
    } else {
        ImageRecord *pImage = FindImage(word);
        if (pImage == nullptr) return NKCommandFail(pEntry, "Invalid texture name specified");
        msg = std::string("Cleared texture") + pImage->szName.GetText() + " from memory";
        NKSetBackgroundImage(nullptr, 0, 0.0f, 0.0f);
        ReleaseBackground(pImage);
        NKRemoveImageReferences(pImage);
        NKRemoveTextureFromParts(pImage);
        NKClearTextureImages(&TextureImageList, pImage);
    }
    NKFlagTextureImagesForUpdate(g_pListUpdateInfo, -1, -1);
    FlagParts(0, 0);
    return Done(msg);
}

int ListTextures(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    NKArgumentScan peek = scan;
    NKString word = peek.NextToken();
    std::string text;
    if (word.IsNull()) {
        if (TextureImageList.GetSize() == 0) {
            text = "No texture images currently loaded";
        } else {
            text = "Currently loaded texture images:";
            for (int i = 0; i < TextureImageList.GetSize(); i++) {
                const ImageRecord *p = ImageAt(i);
                text += NKString::FromFormat("\n %s (%dx%d)", p->szName.GetText(), p->iWidth,
                                             p->iHeight)
                            .GetText();
            }
        }
        NKPrintInfo(text.c_str());
        return NK_CMD_DONE;
    }
    const NKGeometry *pGeo = NKGetCurrentGeometry();
    if (ImageRecord *pImage = FindImage(word)) {
        text = "Parts using texture:";
        for (int p = 0; pGeo != nullptr && p < pGeo->iNumParts; p++)
            if (pGeo->pParts[p].pTexture == pImage) text += " " + std::to_string(p + 1);
        NKPrintInfo(text.c_str());
        return NK_CMD_DONE;
    }
    int iFrom = 0, iTo = 0;
    NKString error;
    if (!IsNumber(word) || pGeo == nullptr ||
        NKCommandGetPartRange(&scan, &iFrom, &iTo, nullptr, &error, false) == NK_PART_RANGE_ERROR)
        return NKCommandFail(pEntry, "Invalid part range or texture name specified");
    text = Format("Texture info for parts %d to %d:", iFrom, iTo);
    bool bAny = false;
    for (int p = iFrom - 1; p < iTo && p < pGeo->iNumParts; p++) {
        const NKPart &part = pGeo->pParts[p];
        const ImageRecord *pImage = part.pTexture;
        if (pImage == nullptr) continue;
        bAny = true;
        const char *pszMode = part.uTextureMode[0]   ? " (texture mapping)"
                              : part.uTextureMode[1] ? " (environment mapping)"
                                                     : " (disabled)";
        text += NKString::FromFormat("\npart %d: %s%s", p + 1, pImage->szName.GetText(), pszMode)
                    .GetText();
    }
    if (!bAny) text += "\n none";
    NKPrintInfo(text.c_str());
    return NK_CMD_DONE;
}

// textureplane <word> [from to]
int TexturePlane(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    NKString word = scan.NextToken();
    int iPlane = 3;
    if (!word.IsNull()) {
        const char *w = word.GetText();
        if (!strcasecmp(w, "xy") || !strcasecmp(w, "yx"))
            iPlane = 0;
        else if (!strcasecmp(w, "zx") || !strcasecmp(w, "xz"))
            iPlane = 1;
        else if (!strcasecmp(w, "yz") || !strcasecmp(w, "zy"))
            iPlane = 2;
        else if (!strcasecmp(w, "nearest"))
            iPlane = 4;
    }
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    ChangeParts(iFrom, iTo, [iPlane](NKPart &part) { part.iTexturePlane = iPlane; });
    return Done("");
}

// texturetile, textureclamp, texturelinear, texturenearest: one byte of the
// range's parts.
struct PartByteRow {
    int iId;
    uint8_t NKPart::*pByte;
    uint8_t uValue;
    const char *pszFormat;  // null: no message
};

const PartByteRow kPartByteRows[] = {
    {NK_CID_TEXTURETILE, &NKPart::bTextureTile, 1,
     "Enable texture repeating for part %d to part %d."},
    {NK_CID_TEXTURECLAMP, &NKPart::bTextureTile, 0,
     "Disable texture repeating for part %d to part %d."},
    {NK_CID_TEXTURELINEAR, &NKPart::bTextureFlag, 0, nullptr},
    {NK_CID_TEXTURENEAREST, &NKPart::bTextureFlag, 1, nullptr},
};

int PartByte(CommandTableEntry *pEntry, const char *pszArguments, const PartByteRow &row)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();
    int iFrom = 0, iTo = 0;
    if (!NKCommandReadPartRange(pEntry, &scan, &iFrom, &iTo, false)) return NK_CMD_FAILED;
    ChangeParts(iFrom, iTo, [&row](NKPart &part) { part.*row.pByte = row.uValue; });
    return Done(row.pszFormat != nullptr ? Format(row.pszFormat, iFrom, iTo) : std::string());
}

const NKCommandAction kTextureActions[] = {
    {NK_CID_ENVIRONMENT, EnableMapping},  {NK_CID_TEXTURE, EnableMapping},
    {NK_CID_HIDETEXTURE, DisableMapping}, {NK_CID_HIDEENVIRONMENT, DisableMapping},
    {NK_CID_NOTEXTURE, DisableMapping},   {NK_CID_ENVMODE, EnvMode},
    {NK_CID_READTEXTURE, ReadTexture},    {NK_CID_CLEARTEXTURES, ClearTextures},
    {NK_CID_LISTTEXTURES, ListTextures},  {NK_CID_TEXTUREPLANE, TexturePlane},
};

}  // namespace

int NKCommandHandleTexture(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr) return NK_CMD_NOT_MINE;
    for (const PartByteRow &row : kPartByteRows)
        if (row.iId == pEntry->id) return PartByte(pEntry, pszArguments, row);
    return NKRunCommandAction(kTextureActions, pEntry, pszArguments);
}

void NKRegisterTextureCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_TEXTURE, NKCommandHandleTexture);
}
