// tools/nk_annotation_commands.cpp -- NKCommandHandleAnnotation (see
// nk_annotation_commands.h): the row switch, the line, point, label-table,
// textured-polygon, 2-D text and logo rows, and the annotation records'
// life cycle. Labels and primitives are in nk_label_commands.cpp.
#include "tools/nk_annotation_commands.h"

#include <cstring>

#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "core/nk_bbox.h"
#include "core/nk_export_items.h"
#include "core/nk_message.h"
#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"
#include "core/nk_stopwatch.h"
#include "render/nk_overlays.h"
#include "render/nk_text.h"
#include "render/nk_text3d.h"
#include "render/nk_text_list.h"
#include "render/nk_texture_images.h"
#include "render/nk_view_settings.h"
#include "tools/nk_annotation_words.h"
#include "tools/nk_line_sets.h"
#include "tools/nk_primitives_3d.h"
#include "tools/nk_user_drawing.h"
#include "tools/nk_user_labels.h"

namespace {

const char kParamMissing[] = "Parameter missing or illegal parameter specification";
const char kNoFileName[] = "Cannot open file for reading. No filename specified";

bool IsNumber(const std::string &s)
{
    float f = 0.0f;
    return NKWordToFloat(s.c_str(), &f);
}

// The file argument that begins at word i: a double-quoted text (to the
// closing quote or the end) or the word; "" when none.
std::string FileArgument(const NKAnnotationWords &w, size_t i)
{
    if (!w.Has(i)) return std::string();
    std::string rest = w.RestAfter(i - 1);
    if (rest.empty() || rest[0] != '"') return w.words[i];
    size_t e = rest.find('"', 1);
    return rest.substr(1, e == std::string::npos ? std::string::npos : e - 1);
}

// ---- Drawn lines ------------------------------------------------------------------

int DrawLine(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    if (w.Count() < 7 || !w.NumbersOrMissing(1, 6)) return NKAnnotationFail(pEntry, kParamMissing);
    float p1[3] = {w.Float(1), w.Float(2), w.Float(3)};
    float p2[3] = {w.Float(4), w.Float(5), w.Float(6)};
    uint8_t rgb[3];
    for (int k = 0; k < 3; k++) rgb[k] = uint8_t(w.Has(7 + k) ? w.Int(7 + k) : 255);
    ModelToDisplay(p1);
    ModelToDisplay(p2);
    g_pLineSetList->AddSegment(p1, p2, rgb[0], rgb[1], rgb[2]);
    g_pLineSetList->m_bShown = 1;
    NKInvalidateView();
    return NK_CMD_DONE;
}

int CylinderSize(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    if (!w.Has(1) || !IsNumber(w.words[1])) return NKAnnotationFail(pEntry, kParamMissing);
    float d = w.Float(1);
    if (!(d > 0.0f))
        return NKAnnotationFail(pEntry, "Illegal size specification, size must be larger than 0");
    g_pLineSetList->m_fCylinderSize = NKLineSizeToDisplay(d);
    return NKAnnotationDone(
        NKString::FromFormat("Cylinder diameter set to %g", double(d)).GetText());
}

int SkipRate(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    if (w.Has(1)) {
        int n = w.Int(1);
        if (n < 1) return NKAnnotationFail(pEntry, "Illegal parameter specified");
        g_pLineSetList->m_iSkipRate = n;
    }
    int n = g_pLineSetList->m_iSkipRate;
    return NKAnnotationDone(
        NKString::FromFormat("Drawline skip rate set to %d %s", n, n == 1 ? "(draw all nodes)" : "")
            .GetText());
}

int ReadLines(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    std::string file = FileArgument(w, 1);
    if (file.empty()) return NKAnnotationFail(pEntry, kParamMissing);
    NKTimerStart("Reading lines from file...");
    int iNodes = 0;
    int n = NKReadLineFile(g_pLineSetList, file.c_str(), &iNodes);
    if (n == -1)
        return NKAnnotationFail(
            pEntry, NKString::FromFormat("Error reading file %s", file.c_str()).GetText());
    NKTimerStop(NKString::FromFormat("Read %d line segments, %d nodes from file %s: ", n, iNodes,
                                     file.c_str())
                    .GetText());
    g_pLineSetList->m_bShown = 1;
    NKInvalidateView();
    return NK_CMD_DONE;
}

int Switch(uint8_t *pb, bool bOn, const char *pszOn, const char *pszOff, const char *pszRest)
{
    *pb = bOn ? 1 : 0;
    return NKAnnotationDone(std::string(bOn ? pszOn : pszOff) + pszRest);
}

int LineCommand(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    LineSetList *L = g_pLineSetList;
    const char *kCyl = "drawing of lines as cylinders", *kSph = "drawing of spheres at line joints";
    switch (pEntry->id) {
    case NK_CID_DRAW_LINE:
        return DrawLine(pEntry, w);
    case NK_CID_NODRAW_LINE:
        L->m_bShown = 0;
        L->Clear();
        return NKAnnotationDone("Turn off drawing of line segments");
    case NK_CID_DRAWLINE_CYLINDERS:
        return Switch(&L->m_bCylinders, true, "Enable ", "", kCyl);
    case NK_CID_DRAWLINE_NOCYLINDERS:
        return Switch(&L->m_bCylinders, false, "", "Disable ", kCyl);
    case NK_CID_DRAWLINE_SPHERES:
        return Switch(&L->m_bSpheres, true, "Enable ", "", kSph);
    case NK_CID_DRAWLINE_NOSPHERES:
        return Switch(&L->m_bSpheres, false, "", "Disable ", kSph);
    case NK_CID_DRAWLINE_CYLINDERSIZE:
        return CylinderSize(pEntry, w);
    case NK_CID_DRAWLINE_SHOW:
    case NK_CID_DRAWLINE_HIDE:
        return Switch(&L->m_bShown, pEntry->id == NK_CID_DRAWLINE_SHOW,
                      "Display of line segments enabled", "Display of line segments disabled", "");
    case NK_CID_DRAWLINE_SKIPRATE:
        return SkipRate(pEntry, w);
    case NK_CID_DRAWLINE_PICKABLE:
        return Switch(&L->m_bPickable, true, "Picking on lines enabled", "", "");
    case NK_CID_DRAWLINE_NOPICKABLE:
        L->m_bShowPicked = 0;
        return Switch(&L->m_bPickable, false, "", "Picking on lines disabled", "");
    case NK_CID_READLINES:
        return ReadLines(pEntry, w);
    case NK_CID_DLINEWIDTH:
        if (w.Has(1)) L->m_iLineWidth = w.Int(1) < 1 ? 1 : w.Int(1);
        return NKAnnotationDone(
            NKString::FromFormat("Set linewidth for drawing to %d pixels (Default: 1)",
                                 L->m_iLineWidth)
                .GetText());
    default:
        return NK_CMD_NOT_MINE;
    }
}

}  // namespace

namespace {

// ---- Points, text labels and textured quadrilaterals ---------------------------------

int DrawPoint(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    if (w.Count() < 4 || !w.NumbersOrMissing(1, 3)) return NKAnnotationFail(pEntry, kParamMissing);
    float p[3] = {w.Float(1), w.Float(2), w.Float(3)};
    ModelToDisplay(p);
    if (!g_pViewSettings->bShowUserPoints) NKClearUserPoints();
    uint8_t r = uint8_t(w.Has(4) ? w.Int(4) : 255), g = uint8_t(w.Has(5) ? w.Int(5) : 255);
    uint8_t b = uint8_t(w.Has(6) ? w.Int(6) : 255);
    NKAddUserPoint(p, r, g, b);
    g_pViewSettings->bShowUserPoints = 1;
    NKInvalidateView();
    return NK_CMD_DONE;
}

int DrawLabel(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    if (w.Count() < 4 || !w.NumbersOrMissing(1, 3)) return NKAnnotationFail(pEntry, kParamMissing);
    float p[3] = {w.Float(1), w.Float(2), w.Float(3)};
    ModelToDisplay(p);
    if (!g_pViewSettings->bShowUserLabels) NKClearUserLabels();
    uint8_t r = uint8_t(w.Has(4) ? w.Int(4) : 255), g = uint8_t(w.Has(5) ? w.Int(5) : 255);
    uint8_t b = uint8_t(w.Has(6) ? w.Int(6) : 255);
    std::string text = w.RestAfter(6);
    if (!text.empty()) NKAddUserLabel(p, r, g, b, text.c_str());
    int n = 0;
    NKGetUserLabels(&n);
    if (n > 0) g_pViewSettings->bShowUserLabels = 1;
    NKInvalidateView();
    return NK_CMD_DONE;
}

// The listed image of that name, else the clipboard image (a word that
// begins with "clipboard") or the image file, added to the list.
ImageRecord *FindOrReadImage(const std::string &word)
{
    int i = NKFindTextureImage(&TextureImageList, word.c_str());
    if (i >= 0) return static_cast<ImageRecord *>(TextureImageList.GetAt(i));
    if (word.compare(0, 9, "clipboard") == 0)
        return NKReadClipboardTexture(&TextureImageList, nullptr);
    return NKReadTextureImage(&TextureImageList, word.c_str(), nullptr);
}

void FlagNewestImage(void)
{
    int n = TextureImageList.GetSize();
    NKFlagTextureImagesForUpdate(g_pListUpdateInfo, n - 1, n - 1);
}

int DrawTexturePolygon(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    if (NKCountUserTexturePolygons() >= NK_MAX_USER_TEXTURE_POLYGONS) {
        NKPrintError("Unable to add more user defined texture polygons.");
        return NK_CMD_FAILED;
    }
    float afCorners[12] = {0};
    size_t i = 1;
    for (; i <= 12 && w.Has(i) && IsNumber(w.words[i]); i++) afCorners[i - 1] = w.Float(i);
    std::string file = FileArgument(w, i);
    if (file.empty()) return NKAnnotationFail(pEntry, kNoFileName);
    ImageRecord *pImage = FindOrReadImage(file);
    if (pImage == nullptr) return NK_CMD_FAILED;
    for (int k = 0; k < 4; k++) ModelToDisplay(afCorners + 3 * k);
    NKAddUserTexturePolygon(pImage, afCorners);
    FlagNewestImage();
    NKPrintInfo(NKString::FromFormat("Texture image for textured polygon %d successfully loaded",
                                     NKCountUserTexturePolygons())
                    .GetText());
    return NK_CMD_DONE;
}

// ---- 2-D text and logo --------------------------------------------------------------

int SetText(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    if (!w.NumbersOrMissing(1, 2)) return NKAnnotationFail(pEntry, kParamMissing);
    g_UserText.fX = w.Float(1);
    g_UserText.fY = w.Float(2);
    std::string text = w.RestAfter(2);
    g_UserText.Text = text.empty() ? "<user text string>" : text.c_str();
    g_pViewSettings->bShowUserText = 1;
    NKPrintInfo(NKString::FromFormat("Draw text string starting at location %g,%g",
                                     double(g_UserText.fX), double(g_UserText.fY))
                    .GetText());
    return NKAnnotationDone(std::string("Text: ") + g_UserText.Text.GetText() + "\n");
}

int SetTextColor(const NKAnnotationWords &w)
{
    for (int k = 0; k < 3; k++)
        if (w.Has(1 + k)) g_uTextColor[k] = uint8_t(w.Int(1 + k));
    return NKAnnotationDone(NKString::FromFormat("Setting text color to red=%d green=%d blue=%d",
                                                 g_uTextColor[0], g_uTextColor[1], g_uTextColor[2])
                                .GetText());
}

// The words after the file argument that begins at word 1, as a word list
// of their own (word 0 "PARAMS").
NKAnnotationWords WordsAfterFile(const NKAnnotationWords &w)
{
    std::string rest = w.RestAfter(0);
    if (rest.empty() || rest[0] != '"')
        return NKAnnotationWords(("PARAMS " + w.RestAfter(1)).c_str());
    size_t e = rest.find('"', 1);
    std::string tail = e == std::string::npos ? std::string() : rest.substr(e + 1);
    return NKAnnotationWords(("PARAMS " + tail).c_str());
}

int DrawLogo(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    std::string file = FileArgument(w, 1);
    if (file.empty()) return NKAnnotationFail(pEntry, kNoFileName);
    NKAnnotationWords t = WordsAfterFile(w);
    static const char *const kCorners[4] = {"tl", "bl", "tr", "br"};
    std::string corner = t.Word(1);
    if (corner == "off") return ExecuteCommand("nodrawlogo");
    int iCorner = -1;
    for (int k = 0; k < 4; k++)
        if (corner == kCorners[k]) iCorner = k;
    if (iCorner < 0) return NKAnnotationFail(pEntry, "Illegal parameter specified");
    ImageRecord *pImage = FindOrReadImage(file);
    if (pImage == nullptr) return NK_CMD_FAILED;
    for (size_t k = 2; k <= 3; k++)
        if (t.Has(k) && std::strchr(t.Word(k), '*') == nullptr && !t.NumbersOrMissing(k, k))
            return NKAnnotationFail(pEntry, "Illegal parameter specified");
    float sx = t.Has(2) ? t.Float(2) : 1.0f, sy = t.Has(3) ? t.Float(3) : 1.0f;
    if (std::strchr(t.Word(2), '*') != nullptr) {
        if (pImage->iHeight > 0) sx = float(pImage->iWidth) / float(pImage->iHeight) * sy;
    } else if (std::strchr(t.Word(3), '*') != nullptr) {
        if (pImage->iWidth > 0) sy = float(pImage->iHeight) / float(pImage->iWidth) * sx;
    }
    FlagNewestImage();
    NKSetBackgroundImage(pImage, iCorner, sx, sy);
    return NKAnnotationDone("Enable drawing of user texture logo.");
}

int DrawingCommand(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    if (g_pViewSettings == nullptr) return NK_CMD_NOT_MINE;  // made at start-up
    switch (pEntry->id) {
    case NK_CID_DRAW_POINT:
        return DrawPoint(pEntry, w);
    case NK_CID_NODRAW_POINT:
        g_pViewSettings->bShowUserPoints = 0;
        NKClearUserPoints();
        return NKAnnotationDone("Turn off drawing of points");
    case NK_CID_DRAW_LABEL:
        return DrawLabel(pEntry, w);
    case NK_CID_NODRAW_LABEL:
        g_pViewSettings->bShowUserLabels = 0;
        NKClearUserLabels();
        return NKAnnotationDone("Turn off drawing of text labels");
    case NK_CID_DRAW_TEXPOLY:
        return DrawTexturePolygon(pEntry, w);
    case NK_CID_NODRAW_TEXPOLY:
        NKClearUserTexturePolygons();
        return NKAnnotationDone("Drawing of textured polygons turned off");
    case NK_CID_TEXT:
        return SetText(pEntry, w);
    case NK_CID_NOTEXT:
        g_pViewSettings->bShowUserText = 0;
        return NKAnnotationDone("Text string turned off");
    case NK_CID_TEXTCOLOR:
        return SetTextColor(w);
    case NK_CID_DRAWLOGO:
        return DrawLogo(pEntry, w);
    case NK_CID_NODRAWLOGO:
        NKSetBackgroundImage(nullptr, 0, 0.0f, 0.0f);
        return NKAnnotationDone("Disable drawing of logo.");
    default:
        return NK_CMD_NOT_MINE;
    }
}

}  // namespace

// ---- Words, answers and the row switch ------------------------------------------------

bool NKAnnotationWords::NumbersOrMissing(size_t iFirst, size_t iLast) const
{
    float f = 0.0f;
    for (size_t i = iFirst; i <= iLast && i < words.size(); i++)
        if (!NKWordToFloat(words[i].c_str(), &f)) return false;
    return true;
}

NKAnnotationWords::NKAnnotationWords(const char *pszArguments)
    : text(pszArguments ? pszArguments : "")
{
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) i++;
        size_t j = i;
        while (j < text.size() && text[j] != ' ' && text[j] != '\t') j++;
        if (j > i) words.emplace_back(text, i, j - i);
        i = j;
    }
}

std::string NKAnnotationWords::RestAfter(size_t iWord) const
{
    size_t i = 0;
    for (size_t k = 0; k <= iWord; k++) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) i++;
        if (i >= text.size()) return std::string();
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') i++;
    }
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) i++;
    return text.substr(i);
}

int NKAnnotationDone(const std::string &info)
{
    NKPrintInfo(info.c_str());
    NKInvalidateView();
    return NK_CMD_DONE;
}

int NKAnnotationFail(const CommandTableEntry *pEntry, const char *pszText)
{
    NKCommandError(pEntry, pszText);
    return NK_CMD_FAILED;
}

int NKCommandHandleAnnotation(CommandTableEntry *pEntry, const char *pszArguments)
{
    if (pEntry == nullptr) return NK_CMD_NOT_MINE;
    if (pEntry->id == NK_CID_TEXT3D) {
        if (!NKText3DCommand(pszArguments)) return NK_CMD_FAILED;
        NKInvalidateView();
        return NK_CMD_DONE;
    }
    int iResult = NKHandlePrimitiveCommand(pEntry, pszArguments);
    if (iResult != NK_CMD_NOT_MINE) return iResult;
    NKAnnotationWords w(pszArguments);
    if (g_pLineSetList == nullptr) NKCreateAnnotationRecords();
    iResult = LineCommand(pEntry, w);
    if (iResult == NK_CMD_NOT_MINE) iResult = DrawingCommand(pEntry, w);
    if (iResult == NK_CMD_NOT_MINE) iResult = NKHandleLabelCommand(pEntry, w);
    return iResult;
}

void NKRegisterAnnotationCommands(void)
{
    NKSetCommandHandler(NK_HANDLER_ANNOTATION, NKCommandHandleAnnotation);
}

// ---- Records ----------------------------------------------------------------------

void NKCreateAnnotationRecords(void)
{
    NKCreateLineSetList();
    NKCreateUserPrimitives();
}

void NKResetAnnotationRecords(bool bKeepSettings)
{
    NKResetLineSetList(bKeepSettings);
    NKClearUserPrimitives();
    if (!bKeepSettings) NKClearUserDrawing();
}

void NKFreeAnnotationRecords(void)
{
    NKFreeLineSetList();
    NKFreeUserPrimitives();
    NKClearUserDrawing();
    NKDiscardGlobalPrimitives();
    NKClearTextureImageList(&TextureImageList);
}
