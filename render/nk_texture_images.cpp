// render/nk_texture_images.cpp -- the texture image list operations (see
// nk_texture_images.h).
#include "render/nk_texture_images.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/nk_export_items.h"
#include "core/nk_file_read.h"
#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "platform/nk_clipboard.h"
#include "render/nk_lights.h"
#include "render/nk_overlays.h"

namespace {

NKTextureFileReaders sg_Readers;
int sg_iClipboardCounter = 0;
// The texture object of each image list slot (0 none).
std::vector<GLuint> sg_TextureObjects;

// A zeroed record named pszName, else the file name without its directory,
// cut to 69 characters.
ImageRecord *NewNamedImage(const char *pszName, const char *pszFile)
{
    auto *p = new ImageRecord();
    std::string name;
    if (pszName != nullptr && pszName[0] != '\0') {
        name = pszName;
    } else {
        name = pszFile != nullptr ? pszFile : "";
        size_t k = name.find_last_of('/');
        if (k != std::string::npos) name = name.substr(k + 1);
    }
    if (name.size() > 69) name.resize(69);
    p->szName = name.c_str();
    return p;
}

void FreeImage(ImageRecord *pImage)
{
    if (pImage == nullptr) return;
    NKFree(pImage->pPixels);
    delete pImage;
}

}  // namespace

int NKFindTextureImage(PtrArray *pList, const char *pszName)
{
    if (pList == nullptr || pszName == nullptr) return -1;
    for (int i = 0; i < pList->GetSize(); i++) {
        const ImageRecord *p = static_cast<const ImageRecord *>(pList->GetAt(i));
        if (p != nullptr && std::strcmp(p->szName.GetText(), pszName) == 0) return i;
    }
    return -1;
}

ImageRecord *NKAddTextureImage(PtrArray *pList, ImageRecord *pImage)
{
    if (pList == nullptr || pImage == nullptr) return nullptr;
    int i = NKFindTextureImage(pList, pImage->szName.GetText());
    if (i >= 0) {
        ImageRecord *pOld = static_cast<ImageRecord *>(pList->GetAt(i));
        NKFree(pOld->pPixels);
        pOld->pPixels = pImage->pPixels;
        pOld->iWidth = pImage->iWidth;
        pOld->iHeight = pImage->iHeight;
        pImage->pPixels = nullptr;
        FreeImage(pImage);
        NKFlagTextureImagesForUpdate(g_pListUpdateInfo, i, i);
        return pOld;
    }
    if (pList->GetSize() >= NK_MAX_TEXTURE_IMAGES) {
        FreeImage(pImage);
        return nullptr;
    }
    pList->SetSize(pList->GetSize() + 1);
    pList->SetAt(pList->GetSize() - 1, pImage);
    // A new image is uploaded by the next list update.
    NKFlagTextureImagesForUpdate(g_pListUpdateInfo, pList->GetSize() - 1, pList->GetSize() - 1);
    return pImage;
}

void NKSetTextureFileReaders(const NKTextureFileReaders &readers) { sg_Readers = readers; }

ImageRecord *NKReadTextureImage(PtrArray *pList, const char *pszFile, const char *pszName)
{
    if (pList == nullptr || pszFile == nullptr) return nullptr;
    ImageRecord *pImage = NewNamedImage(pszName, pszFile);
    int iBmp = sg_Readers.pfnReadBmp ? sg_Readers.pfnReadBmp(pszFile, pImage) : -8;
    const char *pszError = nullptr;
    if (iBmp == -20) {
        pszError = "Couldn't convert read bitmap file to internal format";
    } else if (iBmp == -7) {
        pszError = "Couldn't read BMP file, unsupported format.";
    } else if (iBmp != 1) {
        NKFree(pImage->pPixels);
        pImage->pPixels = nullptr;
        int iSgi = sg_Readers.pfnReadSgi ? sg_Readers.pfnReadSgi(pszFile, pImage) : -9;
        if (iSgi != 1) {
            if (iBmp == -5 || iSgi == -5)
                pszError = "Unable to open file for reading";
            else if (iBmp == -12 || iSgi == -12)
                pszError = "Could't allocate memory for image";
            else if (iBmp == -8 || iSgi == -9)
                pszError = "Image file format not recognized (tried both BMP and SGI RGB)";
            else
                pszError = "Error reading specifed image file";
        }
    }
    if (pszError != nullptr) {
        NKPrintError(pszError);
        NKPrintFileProblem(pszFile);
        FreeImage(pImage);
        return nullptr;
    }
    ImageRecord *pAdded = NKAddTextureImage(pList, pImage);
    if (pAdded == nullptr) NKPrintError("Couldn't add newly read texture to list");
    return pAdded;
}

ImageRecord *NKReadClipboardTexture(PtrArray *pList, const char *pszName)
{
    if (pList == nullptr) return nullptr;
    std::vector<uint8_t> dib;
    if (!NKGetClipboardDib(&dib) || dib.empty()) {
        NKPrintError("No valid image data available on clipboard");
        return nullptr;
    }
    std::string name;
    if (pszName != nullptr && pszName[0] != '\0')
        name = pszName;
    else
        name = "ClipImage" + std::to_string(sg_iClipboardCounter++);
    ImageRecord *pImage = NewNamedImage(name.c_str(), nullptr);
    if (sg_Readers.pfnDibToImage == nullptr ||
        !sg_Readers.pfnDibToImage(dib.data(), dib.size(), pImage)) {
        NKPrintError("Couldn't convert clipboard bitmap to internal format");
        FreeImage(pImage);
        return nullptr;
    }
    ImageRecord *pAdded = NKAddTextureImage(pList, pImage);
    if (pAdded == nullptr) NKPrintError("Couldn't add newly read texture to list");
    return pAdded;
}

void NKClearTextureImageList(PtrArray *pList)
{
    if (pList == nullptr) return;
    for (int i = 0; i < pList->GetSize(); i++)
        FreeImage(static_cast<ImageRecord *>(pList->GetAt(i)));
    pList->SetSize(0);
}

bool NKClearTextureImages(PtrArray *pList, ImageRecord *pImage)
{
    if (pList == nullptr || pList->GetSize() == 0) return false;
    if (pImage != nullptr) return NKRemoveTextureImage(pList, pImage);
    NKClearTextureImageList(pList);
    return true;
}

bool NKRemoveTextureImage(PtrArray *pList, ImageRecord *pImage)
{
    if (pList == nullptr || pImage == nullptr || pList->GetSize() == 0) return false;
    const int i = NKFindTextureImage(pList, pImage->szName.GetText());
    if (i < 0) return false;
    FreeImage(static_cast<ImageRecord *>(pList->GetAt(i)));
    for (int k = i + 1; k < pList->GetSize(); k++) pList->SetAt(k - 1, pList->GetAt(k));
    pList->SetSize(pList->GetSize() - 1);
    return true;
}

// Marks parts iFirst..iLast (-1, -1: all) for an update in the range
// *piFirst..*piLast that *pbFlag says is set.
static void WidenUpdateRange(uint8_t *pbFlag, int32_t *piFirst, int32_t *piLast, int iFirst,
                             int iLast)
{
    if (!*pbFlag) {
        *pbFlag = 1;
        *piFirst = iFirst;
        *piLast = iLast;
    } else if (*piFirst == -1 || *piLast == -1) {
        // already all
    } else if (iFirst == -1 && iLast == -1) {
        *piFirst = *piLast = -1;
    } else {
        if (iFirst < *piFirst) *piFirst = iFirst;
        if (iLast > *piLast) *piLast = iLast;
    }
}

bool NKFlagTexturesForUpdate(NKListUpdateInfo *pInfo, int iFirst, int iLast)
{
    if (pInfo == nullptr) return false;
    WidenUpdateRange(&pInfo->bPartTextures, &pInfo->iTextureFirst, &pInfo->iTextureLast, iFirst,
                     iLast);
    return true;
}

bool NKFlagTextureImagesForUpdate(NKListUpdateInfo *pInfo, int iFirst, int iLast)
{
    if (pInfo == nullptr) return false;
    WidenUpdateRange(&pInfo->bTextureImages, &pInfo->iImageFirst, &pInfo->iImageLast, iFirst,
                     iLast);
    return true;
}

bool NKSetBackgroundImage(ImageRecord *pImage, int iCorner, float fXScale, float fYScale)
{
    g_LogoState.pImage = pImage;
    if (pImage == nullptr) return true;
    g_LogoState.iCorner = iCorner;
    g_LogoState.fXScale = fXScale;
    g_LogoState.fYScale = fYScale;
    return true;
}

bool NKBuildTextureLists(NKDisplayListSet *pSet, int iFirst, int iLast, int iFrame)
{
    if (pSet == nullptr) return false;
    NKGeometry *pGeo = NKGetFrameGeometry(NKGetFrame(iFrame));
    if (pGeo == nullptr || pGeo->pParts == nullptr || pGeo->iNumParts <= 0) return false;
    if (pSet->iTextureCount != pGeo->iNumParts) {
        if (pSet->uTextureBase != 0 && pSet->iTextureCount > 0)
            glDeleteLists(pSet->uTextureBase, pSet->iTextureCount);
        pSet->uTextureBase = glGenLists(pGeo->iNumParts);
        pSet->iTextureCount = pSet->uTextureBase != 0 ? pGeo->iNumParts : 0;
        if (pSet->iTextureCount == 0) return false;
        iFirst = iLast = -1;
    }
    if (iFirst == -1 || iLast == -1) {
        iFirst = 0;
        iLast = pGeo->iNumParts - 1;
    }
    if (iFirst < 0) iFirst = 0;
    if (iLast > pGeo->iNumParts - 1) iLast = pGeo->iNumParts - 1;
    for (int i = iFirst; i <= iLast; i++) {
        const NKPart &part = pGeo->pParts[i];
        glNewList(pSet->uTextureBase + i, GL_COMPILE);
        if (part.uTextureMode[0] || part.uTextureMode[1]) {
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, part.envmode ? GL_DECAL : GL_MODULATE);
            const GLint iWrap = part.bTextureTile ? GL_REPEAT : GL_CLAMP_TO_EDGE;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, iWrap);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, iWrap);
            const GLint iFilter = part.bTextureFlag ? GL_NEAREST : GL_LINEAR;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, iFilter);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, iFilter);
            if (part.uTextureMode[1]) {
                glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
                glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
                glEnable(GL_TEXTURE_GEN_S);
                glEnable(GL_TEXTURE_GEN_T);
            } else {
                glDisable(GL_TEXTURE_GEN_S);
                glDisable(GL_TEXTURE_GEN_T);
            }
            glEnable(GL_TEXTURE_2D);
        }
        glEndList();
    }
    return true;
}

void NKDeleteTextureObjects(void)
{
    for (GLuint &u : sg_TextureObjects)
        if (u != 0) glDeleteTextures(1, &u);
    sg_TextureObjects.clear();
}

bool NKBuildTextureImageLists(NKDisplayListSet *pSet, int iFirst, int iLast)
{
    if (pSet == nullptr) return false;
    const int n = TextureImageList.GetSize();
    if (pSet->iImageCount < n) {
        if (pSet->uImageBase != 0 && pSet->iImageCount > 0)
            glDeleteLists(pSet->uImageBase, pSet->iImageCount);
        NKDeleteTextureObjects();
        pSet->uImageBase = glGenLists(n + 10);
        pSet->iImageCount = pSet->uImageBase != 0 ? n + 10 : 0;
        if (pSet->iImageCount == 0) return false;
        iFirst = iLast = -1;
    }
    if (sg_TextureObjects.size() < static_cast<size_t>(pSet->iImageCount))
        sg_TextureObjects.resize(pSet->iImageCount, 0);
    if (iFirst == -1 || iLast == -1) {
        iFirst = 0;
        iLast = n - 1;
    }
    if (iFirst < 0) iFirst = 0;
    if (iLast > n - 1) iLast = n - 1;
    GLint iAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &iAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int i = iFirst; i <= iLast; i++) {
        const ImageRecord *p = static_cast<const ImageRecord *>(TextureImageList.GetAt(i));
        if (p == nullptr || p->pPixels == nullptr || p->iWidth < 1 || p->iHeight < 1) continue;
        GLuint &u = sg_TextureObjects[i];
        if (u == 0) glGenTextures(1, &u);
        glBindTexture(GL_TEXTURE_2D, u);
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, p->iWidth, p->iHeight, GL_RGB, GL_UNSIGNED_BYTE,
                          p->pPixels);
        glBindTexture(GL_TEXTURE_2D, 0);
        glNewList(pSet->uImageBase + i, GL_COMPILE);
        glBindTexture(GL_TEXTURE_2D, u);
        glEndList();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, iAlignment);
    return true;
}

unsigned int NKGetImageTextureList(const ImageRecord *pImage)
{
    if (pImage == nullptr) return 0;
    const int i = NKFindTextureImage(&TextureImageList, pImage->szName.GetText());
    const NKDisplayListSet &set = g_DisplayLists;
    if (i < 0 || set.uImageBase == 0 || i >= set.iImageCount) return 0;
    if (static_cast<size_t>(i) >= sg_TextureObjects.size() || sg_TextureObjects[i] == 0) return 0;
    return set.uImageBase + i;
}
