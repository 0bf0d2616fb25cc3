// render/nk_texture_images.h -- the texture image list: the RGB images
// (read from files or taken from the clipboard) that textured polygons, the
// logo and the part textures show. The list itself is core data
// (TextureImageList, core/nk_export_items.h), read by the NKF export; it
// holds at most 100 images, keyed by name, and owns them and their pixels.
// The display lists that upload the images are built from the update flags
// of NKListUpdateInfo by the list update of the scene.
#pragma once

#include <cstddef>
#include <cstdint>

class PtrArray;
struct ImageRecord;
struct NKDisplayListSet;
struct NKListUpdateInfo;

constexpr int NK_MAX_TEXTURE_IMAGES = 100;

// Position of the image with exactly that name; -1 when absent.
int NKFindTextureImage(PtrArray *pList, const char *pszName);
// Adds the record (taking it over), or, when an image of the same name is
// listed, moves the new pixels into the listed record, frees the new one and
// returns the listed one. Null, with the record freed, when the list is full.
ImageRecord *NKAddTextureImage(PtrArray *pList, ImageRecord *pImage);
// An image file (BMP, else SGI RGB) as a listed image named pszName (or the
// file name without its directory); null when it cannot be read.
ImageRecord *NKReadTextureImage(PtrArray *pList, const char *pszFile, const char *pszName);
// The clipboard image as a listed image; null when there is none.
ImageRecord *NKReadClipboardTexture(PtrArray *pList, const char *pszName);
// Frees every listed image and empties the list.
void NKClearTextureImageList(PtrArray *pList);
// With an image: NKRemoveTextureImage. Without: every image freed and the
// list emptied. False for an empty list.
bool NKClearTextureImages(PtrArray *pList, ImageRecord *pImage);
// Frees the listed image of that name and moves the later ones one place
// down; false when it is not listed.
bool NKRemoveTextureImage(PtrArray *pList, ImageRecord *pImage);
// Flags the part texture lists first..last (-1, -1: all) for rebuilding.
bool NKFlagTexturesForUpdate(NKListUpdateInfo *pInfo, int iFirst, int iLast);

// Compiles the part texture lists first..last (-1, -1: all) of the frame's
// geometry: environment mode, wrap (repeat or clamp to edge), filter, sphere
// mapping, GL_TEXTURE_2D on; empty for a part without mapping. A block of
// another size is regenerated and all its parts built. False without parts.
bool NKBuildTextureLists(NKDisplayListSet *pSet, int iFirst, int iLast, int iFrame);
// Uploads the images first..last (-1, -1: all) once each into a texture
// object (mipmaps, unpack alignment 1) and compiles list base + position to
// bind it. A block smaller than the image count is regenerated at count + 10
// and every image rebuilt. False without an image list.
bool NKBuildTextureImageLists(NKDisplayListSet *pSet, int iFirst, int iLast);
// Deletes the texture objects of the image lists (with the display lists).
void NKDeleteTextureObjects(void);
// The display list that binds the listed image (base + position); 0 when
// the image is not listed or its list is not built.
unsigned int NKGetImageTextureList(const ImageRecord *pImage);

// The image file readers NKReadTextureImage tries, installed at start-up by
// the image file code (a higher tier). Each fills the record's size and
// pixels and answers 1 or a status code: -5 cannot open, -12 no memory,
// -8 not this format, -20 read but not convertible, else another failure.
struct NKTextureFileReaders {
    int (*pfnReadBmp)(const char *pszFile, ImageRecord *pImage) = nullptr;
    int (*pfnReadSgi)(const char *pszFile, ImageRecord *pImage) = nullptr;
    // A packed device-independent bitmap converted into the record.
    bool (*pfnDibToImage)(const uint8_t *pDib, size_t nBytes, ImageRecord *pImage) = nullptr;
};
void NKSetTextureFileReaders(const NKTextureFileReaders &readers);
// Flags the image lists first..last (-1, -1: all) for rebuilding.
bool NKFlagTextureImagesForUpdate(NKListUpdateInfo *pInfo, int iFirst, int iLast);
// Null clears the logo image only; otherwise stores image, corner and
// scales. Always true.
bool NKSetBackgroundImage(ImageRecord *pImage, int iCorner, float fXScale, float fYScale);
