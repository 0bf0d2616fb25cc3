// render/nk_lights.cpp -- lights, lighting models, materials and their
// display lists (see nk_lights.h).
#include "render/nk_lights.h"

#include <cstring>
#include <new>

#include "core/nk_diagnostic.h"
#include "core/nk_frames.h"
#include "core/nk_memory.h"
#include "core/nk_model.h"
#include "core/nk_render_state.h"
#include "render/nk_overlays.h"
#include "render/nk_texture_images.h"

NKLight *g_pLights = nullptr;
NKLightModel *g_pLightModels = nullptr;
NKDisplayListSet g_DisplayLists = {};

namespace {

// The start-up lights: only light 0 is on, shining from the viewer.
NKLight MakeDefaultLight(float fDiffuse, float fSpecular, const float afPos[3], uint8_t bOn)
{
    NKLight l = {};
    const float afAmbient[4] = {0, 0, 0, 1};
    std::memcpy(l.ambient, afAmbient, sizeof(afAmbient));
    for (int k = 0; k < 3; k++) {
        l.diffuse[k] = fDiffuse;
        l.specular[k] = fSpecular;
        l.position[k] = afPos[k];
        l.direction[k] = -afPos[k];
    }
    l.diffuse[3] = l.specular[3] = 1.0f;
    l.fSpotCutoff = 90.0f;
    l.fConstantAttenuation = 1.0f;
    l.bFixed = 1;
    l.bOn = bOn;
    return l;
}

const NKLightModel sg_DefaultLightModels[2] = {{{0.3f, 0.3f, 0.3f, 1.0f}, 0, 0},
                                               {{0.3f, 0.3f, 0.3f, 1.0f}, 0, 1}};

const NKGLMaterial sg_DefaultMaterial = {
    {0.2f, 0.2f, 0.2f, 1.0f}, {0.8f, 0.8f, 0.8f, 1.0f}, {0, 0, 0, 1}, {0, 0, 0, 1}, 0};

}  // namespace

void NKSetupDefaultLights(NKLight *pLights)
{
    if (pLights == nullptr) {
        NKDiagnostic("NULL pointer passed", "NKSetupDefaultLights");
        return;
    }
    static const float afPos[NK_NUM_LIGHTS][3] = {{0, 0, 1},  {0, 0, -4}, {-1, -1, 1},
                                                  {1, -1, 1}, {1, 1, 1},  {-1, 1, 1}};
    static const float afDiffuse[NK_NUM_LIGHTS] = {0.6f, 1.0f, 0.5f, 0.5f, 0.5f, 0.6f};
    for (int i = 0; i < NK_NUM_LIGHTS; i++)
        pLights[i] = MakeDefaultLight(afDiffuse[i], i == 1 ? 0.0f : 1.0f, afPos[i], i == 0);
}

NKLight *NKCreateLights(void)
{
    NKLight *pLights = static_cast<NKLight *>(NKCalloc(NK_NUM_LIGHTS, sizeof(NKLight)));
    if (pLights != nullptr) NKSetupDefaultLights(pLights);
    return pLights;
}

NKLightModel *NKCreateLightModels(void)
{
    NKLightModel *pModels = static_cast<NKLightModel *>(NKCalloc(2, sizeof(NKLightModel)));
    if (pModels != nullptr)
        std::memcpy(pModels, sg_DefaultLightModels, sizeof(sg_DefaultLightModels));
    return pModels;
}

NKListUpdateInfo *NKCreateListUpdateInfo(void)
{
    void *pBlock = NKAlloc(sizeof(NKListUpdateInfo));
    if (pBlock == nullptr) return nullptr;
    NKListUpdateInfo *pInfo = new (pBlock) NKListUpdateInfo();
    NKFlagAllListsForUpdate(pInfo);
    return pInfo;
}

void NKSetLight(GLenum uLight, const NKLight *pRec, bool bPositionOnly)
{
    if (pRec == nullptr) return;
    float afPos[4] = {pRec->position[0], pRec->position[1], pRec->position[2], 1.0f};
    if (pRec->iSourceType == 0) {
        for (int k = 0; k < 3; k++) afPos[k] = -pRec->direction[k];
        afPos[3] = 0.0f;
    }
    glLightfv(uLight, GL_POSITION, afPos);
    glLightfv(uLight, GL_SPOT_DIRECTION, pRec->direction);
    if (bPositionOnly) return;
    glLightfv(uLight, GL_AMBIENT, pRec->ambient);
    glLightfv(uLight, GL_DIFFUSE, pRec->diffuse);
    glLightfv(uLight, GL_SPECULAR, pRec->specular);
    glLightf(uLight, GL_SPOT_EXPONENT, pRec->fSpotExponent);
    glLightf(uLight, GL_SPOT_CUTOFF, pRec->iSourceType == 2 ? pRec->fSpotCutoff : 180.0f);
    glLightf(uLight, GL_CONSTANT_ATTENUATION, pRec->fConstantAttenuation);
    glLightf(uLight, GL_LINEAR_ATTENUATION, pRec->fLinearAttenuation);
    glLightf(uLight, GL_QUADRATIC_ATTENUATION, pRec->fQuadraticAttenuation);
}

void NKBuildLightLists(NKDisplayListSet *pSet, const NKLight *pLights)
{
    if (pSet == nullptr || pLights == nullptr) {
        NKDiagnostic("NULL pointer passed", "NKBuildLightLists");
        return;
    }
    if (pSet->uLightBase == 0) {
        pSet->uLightBase = glGenLists(NK_NUM_LIGHTS + 1);
        pSet->iLightCount = pSet->uLightBase != 0 ? NK_NUM_LIGHTS + 1 : 0;
        if (pSet->uLightBase == 0) return;
    }
    for (int i = 0; i < NK_NUM_LIGHTS; i++) {
        glNewList(pSet->uLightBase + i + 1, GL_COMPILE);
        NKSetLight(GL_LIGHT0 + i, &pLights[i], false);
        glEndList();
    }
}

void NKBuildLightingModelLists(NKDisplayListSet *pSet, const NKLightModel *pModels)
{
    if (pSet == nullptr || pModels == nullptr) {
        NKDiagnostic("NULL pointer passed", "NKBuildLightingModelLists");
        return;
    }
    if (pSet->uLightModelBase == 0) {
        pSet->uLightModelBase = glGenLists(3);
        pSet->iLightModelCount = pSet->uLightModelBase != 0 ? 3 : 0;
        if (pSet->uLightModelBase == 0) return;
    }
    for (int v = 0; v < 2; v++) {
        glNewList(pSet->uLightModelBase + v + 1, GL_COMPILE);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, pModels[v].ambient);
        glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, pModels[v].bLocalViewer);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, pModels[v].bTwoSided);
        glEndList();
    }
}

// The OpenGL material of a part: its colours with alpha / 255 as fourth
// component.
static NKGLMaterial MaterialOfPart(const NKPart &part)
{
    NKGLMaterial m = {};
    const float fAlpha = part.material.alpha * 0.003921569f;
    for (int k = 0; k < 3; k++) {
        m.ambient[k] = part.material.ambient[k];
        m.diffuse[k] = part.material.diffuse[k];
        m.specular[k] = part.material.specular[k];
        m.emission[k] = part.material.emission[k];
    }
    m.ambient[3] = m.diffuse[3] = m.specular[3] = m.emission[3] = fAlpha;
    m.uShininess = part.material.shininess;
    return m;
}

// A block of one name per part; the old block goes when the count changed.
static bool EnsureMaterialBlock(NKDisplayListSet *pSet, int iNumParts)
{
    if (pSet->iMaterialCount == iNumParts && pSet->uMaterialBase != 0) return true;
    if (pSet->uMaterialBase != 0 && pSet->iMaterialCount >= 1)
        glDeleteLists(pSet->uMaterialBase, pSet->iMaterialCount);
    pSet->uMaterialBase = 0;
    pSet->iMaterialCount = 0;
    if (iNumParts < 1) return false;
    pSet->uMaterialBase = glGenLists(iNumParts);
    if (pSet->uMaterialBase == 0) return false;
    pSet->iMaterialCount = iNumParts;
    return true;
}

bool NKBuildMaterialLists(NKDisplayListSet *pSet, int iFirst, int iLast, int iFrame)
{
    if (pSet == nullptr) return NKDiagnostic("NULL pointer passed", "NKBuildMaterialLists");
    NKGeometry *pGeo = NKGetFrameGeometry(NKGetFrame(iFrame));
    if (pGeo == nullptr || (pGeo->pParts == nullptr && pGeo->iNumParts > 0)) return false;
    if (!EnsureMaterialBlock(pSet, pGeo->iNumParts)) return true;
    if (iFirst == -1 && iLast == -1) {
        iFirst = 0;
        iLast = pGeo->iNumParts - 1;
    }
    if (iFirst < 0) iFirst = 0;
    if (iLast > pGeo->iNumParts - 1) iLast = pGeo->iNumParts - 1;
    for (int i = iFirst; i <= iLast; i++) {
        NKGLMaterial m = MaterialOfPart(pGeo->pParts[i]);
        glNewList(pSet->uMaterialBase + i, GL_COMPILE);
        NKApplyMaterial(&m);
        glEndList();
    }
    return true;
}

void NKUpdateLightBindings(NKDisplayListSet *pSet, const NKLight *pLights, uint8_t uFixed)
{
    if (pSet == nullptr || pLights == nullptr) {
        NKDiagnostic("NULL pointer passed", "NKUpdateLightBindings");
        return;
    }
    for (int i = 0; i < NK_NUM_LIGHTS; i++) {
        if (pLights[i].bFixed != uFixed) continue;
        if (pLights[i].bOn) {
            if (pSet->uLightBase != 0) glCallList(pSet->uLightBase + i + 1);
            glEnable(GL_LIGHT0 + i);
        } else {
            glDisable(GL_LIGHT0 + i);
        }
    }
}

void NKCallLightingModelList(const NKDisplayListSet *pSet, bool bTwoSided)
{
    if (pSet == nullptr || pSet->uLightModelBase == 0) return;
    glCallList(pSet->uLightModelBase + (bTwoSided ? 2 : 1));
}

void NKCallMaterialList(const NKDisplayListSet *pSet, int iPart)
{
    if (pSet == nullptr || pSet->uMaterialBase == 0) return;
    if (iPart < 0 || iPart >= pSet->iMaterialCount) return;
    glCallList(pSet->uMaterialBase + iPart);
}

void NKClearListUpdateInfo(NKListUpdateInfo *pInfo)
{
    if (pInfo == nullptr) {
        NKDiagnostic("NULL pointer passed", "NKClearListUpdateInfo");
        return;
    }
    *pInfo = NKListUpdateInfo();
}

bool NKNeedListUpdate(const NKListUpdateInfo *pInfo)
{
    if (pInfo == nullptr) return NKDiagnostic("NULL pointer passed", "NKNeedListUpdate");
    return pInfo->bLights || pInfo->bLightingModels || pInfo->bMaterials || pInfo->bPartTextures ||
           pInfo->bTextureImages || pInfo->bLightSwitches;
}

void NKPerformListUpdates(NKListUpdateInfo *pInfo, NKDisplayListSet *pSet, int iFrame)
{
    if (pInfo == nullptr || pSet == nullptr) {
        NKDiagnostic("NULL pointer passed", "NKPerformListUpdates");
        return;
    }
    if (pInfo->bLightingModels) NKBuildLightingModelLists(pSet, g_pLightModels);
    if (pInfo->bLightSwitches && !pInfo->bLights) NKUpdateLightBindings(pSet, g_pLights, 1);
    if (pInfo->bLights) {
        NKBuildLightLists(pSet, g_pLights);
        NKUpdateLightBindings(pSet, g_pLights, 1);
    }
    if (pInfo->bMaterials)
        NKBuildMaterialLists(pSet, pInfo->iMaterialFirst, pInfo->iMaterialLast, iFrame);
    if (pInfo->bPartTextures)
        NKBuildTextureLists(pSet, pInfo->iTextureFirst, pInfo->iTextureLast, iFrame);
    if (pInfo->bTextureImages)
        NKBuildTextureImageLists(pSet, pInfo->iImageFirst, pInfo->iImageLast);
    NKClearListUpdateInfo(pInfo);
}

void NKApplyMaterial(const NKGLMaterial *pMaterial)
{
    if (pMaterial == nullptr) pMaterial = &sg_DefaultMaterial;
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, pMaterial->ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, pMaterial->diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, pMaterial->specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, pMaterial->emission);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, static_cast<float>(pMaterial->uShininess));
}

void NKDeleteAllDisplayLists(void)
{
    NKDisplayListSet *p = &g_DisplayLists;
    GLuint *apBases[5] = {&p->uLightBase, &p->uLightModelBase, &p->uMaterialBase, &p->uTextureBase,
                          &p->uImageBase};
    int32_t *apCounts[5] = {&p->iLightCount, &p->iLightModelCount, &p->iMaterialCount,
                            &p->iTextureCount, &p->iImageCount};
    NKDeleteTextureObjects();
    for (int i = 0; i < 5; i++) {
        if (*apBases[i] != 0 && *apCounts[i] > 0) glDeleteLists(*apBases[i], *apCounts[i]);
        *apBases[i] = 0;
        *apCounts[i] = 0;
    }
    NKDropBackgroundImageList();
    NKFlagAllListsForUpdate(g_pListUpdateInfo);
}

void NKClearDisplayListSet(void) { g_DisplayLists = NKDisplayListSet(); }

void NKSetDefaultMaterial(void) { NKApplyMaterial(nullptr); }
