// render/nk_texture_images.cpp -- the texture image list operations (see
// nk_texture_images.h).
#include "render/nk_texture_images.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/nk_export_items.h"
#include "core/nk_memory.h"
#include "core/nk_message.h"
#include "core/nk_render_state.h"
#include "platform/nk_clipboard.h"
#include "render/nk_overlays.h"

namespace {

NKTextureFileReaders s_Readers;
int s_iClipboardCounter = 0;

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
        return pOld;
    }
    if (pList->GetSize() >= NK_MAX_TEXTURE_IMAGES) {
        FreeImage(pImage);
        return nullptr;
    }
    pList->SetSize(pList->GetSize() + 1);
    pList->SetAt(pList->GetSize() - 1, pImage);
    return pImage;
}

void NKSetTextureFileReaders(const NKTextureFileReaders &readers) { s_Readers = readers; }

ImageRecord *NKReadTextureImage(PtrArray *pList, const char *pszFile, const char *pszName)
{
    if (pList == nullptr || pszFile == nullptr) return nullptr;
    ImageRecord *pImage = NewNamedImage(pszName, pszFile);
    int iBmp = s_Readers.pfnReadBmp ? s_Readers.pfnReadBmp(pszFile, pImage) : -8;
    const char *pszError = nullptr;
    if (iBmp == -20) {
        pszError = "Couldn't convert read bitmap file to internal format";
    } else if (iBmp == -7) {
        pszError = "Couldn't read BMP file, unsupported format.";
    } else if (iBmp != 1) {
        NKFree(pImage->pPixels);
        pImage->pPixels = nullptr;
        int iSgi = s_Readers.pfnReadSgi ? s_Readers.pfnReadSgi(pszFile, pImage) : -9;
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
        name = "ClipImage" + std::to_string(s_iClipboardCounter++);
    ImageRecord *pImage = NewNamedImage(name.c_str(), nullptr);
    if (s_Readers.pfnDibToImage == nullptr ||
        !s_Readers.pfnDibToImage(dib.data(), dib.size(), pImage)) {
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

bool NKFlagTexturesForUpdate(NKListUpdateInfo *pInfo, int iFirst, int iLast)
{
    if (pInfo == nullptr) return false;
    if (!pInfo->bPartTextures) {
        pInfo->bPartTextures = 1;
        pInfo->iTextureFirst = iFirst;
        pInfo->iTextureLast = iLast;
    } else if (pInfo->iTextureFirst == -1 || pInfo->iTextureLast == -1) {
        // already all
    } else if (iFirst == -1 && iLast == -1) {
        pInfo->iTextureFirst = pInfo->iTextureLast = -1;
    } else {
        if (iFirst < pInfo->iTextureFirst) pInfo->iTextureFirst = iFirst;
        if (iLast > pInfo->iTextureLast) pInfo->iTextureLast = iLast;
    }
    return true;
}

bool NKFlagTextureImagesForUpdate(NKListUpdateInfo *pInfo, int iFirst, int iLast)
{
    if (pInfo == nullptr) return false;
    if (!pInfo->bTextureImages) {
        pInfo->bTextureImages = 1;
        pInfo->iImageFirst = iFirst;
        pInfo->iImageLast = iLast;
    } else if (pInfo->iImageFirst == -1 || pInfo->iImageLast == -1) {
        // already all
    } else if (iFirst == -1 && iLast == -1) {
        pInfo->iImageFirst = pInfo->iImageLast = -1;
    } else {
        if (iFirst < pInfo->iImageFirst) pInfo->iImageFirst = iFirst;
        if (iLast > pInfo->iImageLast) pInfo->iImageLast = iLast;
    }
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
