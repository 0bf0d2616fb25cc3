// render/nk_text3d.cpp -- the list of 3-D texts, its drawing and the text3d
// command (see nk_text3d.h). The glyphs and the string drawing are in
// nk_text3d_glyphs.cpp.
#include "render/nk_text3d.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/nk_bbox.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_string.h"
#include "render/nk_lights.h"

Text3DList *g_pText3DList = nullptr;

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

void FreeItem(Text3DItem *pItem)
{
    if (pItem == nullptr) return;
    NKFree(pItem->pszText);
    delete pItem;
}

// The words of the argument text after "PARAMS", split at blanks and tabs.
std::vector<std::string> SplitWords(const char *pszText)
{
    std::vector<std::string> words;
    std::string word;
    for (const char *p = pszText; *p != '\0'; p++) {
        if (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += *p;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

const char *SkipParams(const char *pszArguments)
{
    const char *p = pszArguments != nullptr ? pszArguments : "";
    while (*p == ' ' || *p == '\t') p++;
    if (std::strncmp(p, "PARAMS", 6) == 0) p += 6;
    return p;
}

// Word i as a number, fDefault when it is missing.
float Number(const std::vector<std::string> &w, size_t i, float fDefault)
{
    return i < w.size() ? static_cast<float>(std::atof(w[i].c_str())) : fDefault;
}

uint8_t ColourByte(float f)
{
    if (!(f > 0.0f)) return 0;
    return f >= 255.0f ? 255 : static_cast<uint8_t>(f);
}

void Report(const NKString &text) { NKPrintInfo(text.GetText()); }

// A quoted text: added with the ID after "#", or with ID 0 and the
// position, vector, size, depth and colour words that follow.
bool AddQuoted(const char *pszQuote)
{
    const char *pszStart = pszQuote + 1;
    const char *pszEnd = std::strchr(pszStart, '"');
    const std::string text = pszEnd != nullptr ? std::string(pszStart, pszEnd) : pszStart;
    const char *pszRest = pszEnd != nullptr ? pszEnd + 1 : pszStart + std::strlen(pszStart);
    const char *pszHash = std::strchr(pszRest, '#');
    if (pszHash != nullptr) {
        if (NKText3DAdd(text.c_str(), std::atoi(pszHash + 1)) == nullptr) return false;
        NKPrintInfo("New 3D Text string with ID added.");
        return true;
    }
    Text3DItem *pItem = NKText3DAdd(text.c_str(), 0);
    if (pItem == nullptr) return false;
    const std::vector<std::string> w = SplitWords(pszRest);
    float afPosition[3] = {Number(w, 0, 0.0f), Number(w, 1, 0.0f), Number(w, 2, 0.0f)};
    ModelToDisplay(afPosition);
    std::memcpy(pItem->fPosition, afPosition, sizeof(afPosition));
    if (w.size() > 3)
        for (int k = 0; k < 3; k++) pItem->fVector[k] = Number(w, 3 + k, 0.0f);
    pItem->fSize = Number(w, 6, 1.0f);
    pItem->fDepth = Number(w, 7, 1.0f);
    for (int k = 0; k < 3; k++) pItem->uColor[k] = ColourByte(Number(w, 8 + k, 255.0f));
    NKPrintInfo("New 3D Text string without ID added.");
    return true;
}

bool StartsWith(const std::string &word, const char *pszPrefix)
{
    return word.compare(0, std::strlen(pszPrefix), pszPrefix) == 0;
}

template <typename Change>
void ForEachWithID(int iID, Change change)
{
    if (g_pText3DList == nullptr) return;
    for (Text3DItem *p = g_pText3DList->pHead; p != nullptr; p = p->pNext)
        if (p->iID == iID) change(p);
}

int IdAt(const std::vector<std::string> &w, size_t i)
{
    return i < w.size() ? std::atoi(w[i].c_str()) : 0;
}

// The sub-commands: values in order, then the ID (0 when not given).
bool SubCommand(const std::vector<std::string> &w)
{
    const std::string &s = w[0];
    if (StartsWith(s, "pos") || StartsWith(s, "vec")) {
        const bool bPosition = StartsWith(s, "pos");
        float v[3] = {Number(w, 1, 0.0f), Number(w, 2, 0.0f), Number(w, 3, 0.0f)};
        const int iID = IdAt(w, 4);
        Report(NKString::FromFormat(bPosition ? "Set position of text with id %d to : %f %f %f"
                                              : "Set plane vector of text with id %d to : %f %f %f",
                                    iID, v[0], v[1], v[2]));
        if (bPosition) ModelToDisplay(v);
        ForEachWithID(iID, [&](Text3DItem *p) {
            std::memcpy(bPosition ? p->fPosition : p->fVector, v, sizeof(v));
        });
    } else if (StartsWith(s, "size") || StartsWith(s, "depth")) {
        const bool bSize = StartsWith(s, "size");
        const float f = Number(w, 1, 0.0f);
        const int iID = IdAt(w, 2);
        ForEachWithID(iID, [&](Text3DItem *p) { (bSize ? p->fSize : p->fDepth) = f; });
        Report(NKString::FromFormat(bSize ? "Set size of text with id %d to : %f "
                                          : "Set depth of text with id %d to : %f ",
                                    iID, f));
    } else if (StartsWith(s, "color")) {
        const uint8_t c[3] = {ColourByte(Number(w, 1, 255.0f)), ColourByte(Number(w, 2, 255.0f)),
                              ColourByte(Number(w, 3, 255.0f))};
        const int iID = IdAt(w, 4);
        ForEachWithID(iID, [&](Text3DItem *p) { std::memcpy(p->uColor, c, 3); });
        Report(NKString::FromFormat("Set color of text with id %d to : %f %f %f", iID, double(c[0]),
                                    double(c[1]), double(c[2])));
    } else if (StartsWith(s, "del")) {
        if (w.size() > 1 && w[1].find("all") != std::string::npos) {
            NKText3DDeleteAll();
            NKPrintInfo("Deleting all text3d items");
        } else {
            const int iID = IdAt(w, 1);
            NKText3DDelete(iID);
            Report(NKString::FromFormat("Deleted text item(s) with ID %d", iID));
        }
    } else {
        NKPrintError(NKString::FromFormat("Illegal text3d subcommand : %s", s.c_str()).GetText());
        return false;
    }
    return true;
}

}  // namespace

Text3DList *NKCreateText3DList(void)
{
    if (g_pText3DList == nullptr) g_pText3DList = new (std::nothrow) Text3DList();
    return g_pText3DList;
}

void NKDestroyText3DList(void)
{
    if (g_pText3DList == nullptr) return;
    NKText3DDeleteAll();
    delete g_pText3DList;
    g_pText3DList = nullptr;
}

Text3DItem *NKText3DAdd(const char *pszText, int iID)
{
    if (g_pText3DList == nullptr) return nullptr;
    Text3DItem *pItem = new (std::nothrow) Text3DItem();
    if (pItem == nullptr) {
        NKPrintError("Error allocating memory for 3D text string item.");
        return nullptr;
    }
    const size_t uLength = pszText != nullptr ? std::strlen(pszText) : 0;
    pItem->pszText = static_cast<char *>(NKAlloc(uLength + 1));
    if (pItem->pszText == nullptr) {
        delete pItem;
        NKPrintError("Error allocating memory for 3D text string.");
        return nullptr;
    }
    if (uLength > 0) std::memcpy(pItem->pszText, pszText, uLength);
    pItem->pszText[uLength] = '\0';
    pItem->iID = iID;
    GetModelOriginInDisplay(pItem->fPosition);
    if (g_pText3DList->pTail != nullptr)
        g_pText3DList->pTail->pNext = pItem;
    else
        g_pText3DList->pHead = pItem;
    g_pText3DList->pTail = pItem;
    return pItem;
}

void NKText3DDelete(int iID)
{
    if (g_pText3DList == nullptr) return;
    Text3DItem **ppLink = &g_pText3DList->pHead;
    Text3DItem *pLast = nullptr;
    while (*ppLink != nullptr) {
        Text3DItem *pItem = *ppLink;
        if (pItem->iID == iID) {
            *ppLink = pItem->pNext;
            FreeItem(pItem);
        } else {
            pLast = pItem;
            ppLink = &pItem->pNext;
        }
    }
    g_pText3DList->pTail = pLast;
}

bool NKText3DDeleteAll(void)
{
    if (g_pText3DList == nullptr || g_pText3DList->pHead == nullptr) return false;
    Text3DItem *pItem = g_pText3DList->pHead;
    while (pItem != nullptr) {
        Text3DItem *pNext = pItem->pNext;
        FreeItem(pItem);
        pItem = pNext;
    }
    g_pText3DList->pHead = g_pText3DList->pTail = nullptr;
    return true;
}

// Signed turns, so that +x follows the vector whatever the signs of its
// components: about z by atan2(y, x), then about y by atan2(-z, |(x, y)|).
void NKApplyText3DTransform(const Text3DItem &item)
{
    const float *v = item.fVector;
    glTranslatef(item.fPosition[0], item.fPosition[1], item.fPosition[2]);
    const double dAboutZ = std::atan2(double(v[1]), double(v[0]));
    const double dAboutY = std::atan2(-double(v[2]), std::hypot(double(v[0]), double(v[1])));
    glRotated(dAboutZ * kDegreesPerRadian, 0.0, 0.0, 1.0);
    glRotated(dAboutY * kDegreesPerRadian, 0.0, 1.0, 0.0);
    const float fScale = item.fSize * 0.1f;
    glScalef(fScale, fScale, item.fDepth == 0.0f ? 1.0f : item.fDepth * 0.01f);
}

void NKDrawText3DList(const NKDisplayListSet *pLists)
{
    if (g_pText3DList == nullptr || g_pText3DList->pHead == nullptr) return;
    glMatrixMode(GL_MODELVIEW);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    const GLboolean bNormalize = glIsEnabled(GL_NORMALIZE);
    glEnable(GL_NORMALIZE);
    NKCallLightingModelList(pLists, true);
    for (const Text3DItem *p = g_pText3DList->pHead; p != nullptr; p = p->pNext) {
        glPushMatrix();
        glColor3ubv(p->uColor);
        NKApplyText3DTransform(*p);
        NKDrawText3DString(p->pszText, p->fDepth == 0.0f, -1.0f);
        glPopMatrix();
    }
    if (!bNormalize) glDisable(GL_NORMALIZE);
    glDisable(GL_COLOR_MATERIAL);
}

bool NKText3DCommand(const char *pszArguments)
{
    const char *pszArgs = SkipParams(pszArguments);
    if (g_pText3DList == nullptr && NKCreateText3DList() == nullptr) return false;
    const char *pszQuote = std::strchr(pszArgs, '"');
    if (pszQuote != nullptr) return AddQuoted(pszQuote);
    const std::vector<std::string> w = SplitWords(pszArgs);
    if (w.empty()) {
        NKPrintError("Illegal text3d subcommand : ");
        return false;
    }
    return SubCommand(w);
}
