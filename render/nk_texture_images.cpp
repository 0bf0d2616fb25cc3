// render/nk_texture_images.cpp -- the texture image list operations (see
// nk_texture_images.h).
#include "render/nk_texture_images.h"

#include <cstdlib>
#include <cstring>

#include "core/nk_export_items.h"
#include "core/nk_memory.h"
#include "core/nk_render_state.h"
#include "render/nk_overlays.h"

namespace {

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

// Placeholder: the BMP and SGI RGB readers come with the image files
// (export/); until then no file gives an image, silently.
ImageRecord *NKReadTextureImage(PtrArray *, const char *, const char *) { return nullptr; }

// Placeholder: the clipboard image comes with the image files (export/);
// until then there is none, silently.
ImageRecord *NKReadClipboardTexture(PtrArray *, const char *) { return nullptr; }

void NKClearTextureImageList(PtrArray *pList)
{
    if (pList == nullptr) return;
    for (int i = 0; i < pList->GetSize(); i++)
        FreeImage(static_cast<ImageRecord *>(pList->GetAt(i)));
    pList->SetSize(0);
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
