// tools/nk_primitive_list.cpp -- Primitive3DList, the primitive command body
// and the model core's primitive slots (see nk_primitives_3d.h). Every walk
// visits a node, then everything reached through its next sibling, then
// everything reached through its first child, with an explicit stack.
#include <GL/gl.h>

#include <cstring>
#include <new>
#include <vector>

#include "commands/nk_command_params.h"
#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_tool_state.h"
#include "tools/nk_primitives_3d.h"

namespace {

// Calls fn on every node of the tree in walk order; stops when fn answers
// true and returns that node (null when it never does).
template <typename Fn>
Primitive3D *Walk(Primitive3D *pRoot, Fn fn)
{
    std::vector<Primitive3D *> stack;
    if (pRoot != nullptr) stack.push_back(pRoot);
    while (!stack.empty()) {
        Primitive3D *p = stack.back();
        stack.pop_back();
        if (fn(p)) return p;
        if (p->m_pFirstChild != nullptr) stack.push_back(p->m_pFirstChild);
        if (p->m_pNextSibling != nullptr) stack.push_back(p->m_pNextSibling);
    }
    return nullptr;
}

bool IsNamed(const Primitive3D *p, const char *pszName)
{
    return std::strcmp(p->m_name.GetText(), pszName != nullptr ? pszName : "") == 0;
}

}  // namespace

// An unknown parent makes the primitive the root above the old tree; a
// parent without children takes it as its first child; otherwise it goes
// after the named sibling, or in front of the children when none matches.
bool Primitive3DList::Add(Primitive3D *pPrim, const char *pszParent, const char *pszSibling)
{
    if (pPrim == nullptr) return false;
    m_NameCounts[pPrim->m_name.GetText()]++;
    if (m_pRoot == nullptr) {
        m_pRoot = pPrim;
        return true;
    }
    Primitive3D *pParent = nullptr;
    if (m_NameCounts.count(pszParent != nullptr ? pszParent : "") > 0)
        pParent = Walk(m_pRoot, [&](Primitive3D *p) { return IsNamed(p, pszParent); });
    if (pParent == nullptr) {
        pPrim->m_pFirstChild = m_pRoot;
        m_pRoot = pPrim;
        return true;
    }
    if (pParent->m_pFirstChild == nullptr) {
        pParent->m_pFirstChild = pPrim;
        return true;
    }
    Primitive3D *pSib = pParent->m_pFirstChild;
    while (pSib != nullptr && !IsNamed(pSib, pszSibling)) pSib = pSib->m_pNextSibling;
    if (pSib != nullptr) {
        pPrim->m_pNextSibling = pSib->m_pNextSibling;
        pSib->m_pNextSibling = pPrim;
    } else {
        pPrim->m_pNextSibling = pParent->m_pFirstChild;
        pParent->m_pFirstChild = pPrim;
    }
    return true;
}

void Primitive3DList::UpdateBoundingBox()
{
    if (m_pRoot == nullptr) return;
    for (int i = 0; i < 3; i++) {
        m_afBox[i] = 1e12f;
        m_afBox[i + 3] = -1e12f;
    }
    Walk(m_pRoot, [&](Primitive3D *p) {
        float b[6];
        if (p->BoundingBox(b)) {
            for (int i = 0; i < 3; i++) {
                if (b[i] < m_afBox[i]) m_afBox[i] = b[i];
                if (b[i + 3] > m_afBox[i + 3]) m_afBox[i + 3] = b[i + 3];
            }
        }
        return false;
    });
}

bool Primitive3DList::GetBoundingBox(float *pfBox) const
{
    if (m_pRoot == nullptr || pfBox == nullptr) return false;
    std::memcpy(pfBox, m_afBox, sizeof(m_afBox));
    return true;
}

void Primitive3DList::DrawAll(int iStyle, bool bKeepState)
{
    Walk(m_pRoot, [&](Primitive3D *p) {
        p->Draw(iStyle, bKeepState);
        return false;
    });
}

void Primitive3DList::Clear()
{
    delete m_pRoot;
    m_pRoot = nullptr;
    m_NameCounts.clear();
}

int Primitive3DList::Count() const
{
    int n = 0;
    Walk(m_pRoot, [&](Primitive3D *) {
        n++;
        return false;
    });
    return n;
}

// ---- The command body -------------------------------------------------------------

namespace {

const char *const kKindNames[3] = {"cylinder", "cone", "sphere"};

// Reads the parameters of kind k (0 cylinder, 1 cone, 2 sphere) and builds
// the primitive in display coordinates; null on a parameter error.
Primitive3D *ReadPrimitive(CommandParams *pParams, int k)
{
    float p1[3], p2[3], r1 = 0.0f, r2 = 0.0f;
    unsigned char rgb[3];
    const float NR = NK_UNDEFINED_VALUE;  // no range check
    bool bOk = pParams->NKGetParameterVector(p1, true, NR, NR);
    if (bOk && k != 2) bOk = pParams->NKGetParameterVector(p2, true, NR, NR);
    if (bOk) bOk = pParams->NKGetParameterFloat(&r1, true, NR, NR);
    if (bOk && k == 1) bOk = pParams->NKGetParameterFloat(&r2, true, NR, NR);
    if (bOk) bOk = pParams->NKGetParameterColor(rgb, true);
    if (!bOk) return nullptr;
    const float *s = g_pModel != nullptr ? g_pModel->fAxisScale : nullptr;
    float fScale = g_pModel != nullptr ? g_pModel->fGeoScale * (s[0] + s[1] + s[2]) / 3.0f : 1.0f;
    ModelToDisplay(p1);
    if (k != 2) ModelToDisplay(p2);
    Primitive3D *pPrim = nullptr;
    if (k == 0) pPrim = new (std::nothrow) CylinderPrimitive(p1, p2, r1 * fScale);
    if (k == 1) pPrim = new (std::nothrow) CylinderPrimitive(p1, p2, r1 * fScale, r2 * fScale);
    if (k == 2) pPrim = new (std::nothrow) SpherePrimitive(p1, r1 * fScale);
    if (pPrim != nullptr) std::memcpy(pPrim->m_ucColor, rgb, 3);
    return pPrim;
}

// The part's geometry when iPart (1-based) lies in the current frame's
// geometry, else null.
NKPart *ValidPart(int iPart)
{
    NKFrame *pFrame = NKGetCurrentFrame();
    NKGeometry *pGeo = pFrame != nullptr ? pFrame->pGeometry : nullptr;
    if (pGeo == nullptr || iPart < 1 || iPart > pGeo->iNumParts) return nullptr;
    return &pGeo->pParts[iPart - 1];
}

bool AddPrimitive(Primitive3D *pPrim, int k, int iPart)
{
    NKPart *pPart = ValidPart(iPart);
    Primitive3DList **ppList = pPart != nullptr ? &pPart->pPrimitives : &g_pGlobalPrimitives;
    if (*ppList == nullptr) *ppList = new (std::nothrow) Primitive3DList();
    if (*ppList == nullptr) {
        delete pPrim;
        return false;
    }
    (*ppList)->Add(pPrim, "", "");
    (*ppList)->UpdateBoundingBox();
    if (pPart != nullptr)
        NKPrintInfo(
            NKString::FromFormat("Added %s primitive to part %d.", kKindNames[k], iPart).GetText());
    else
        NKPrintInfo(NKString::FromFormat("Added global %s primitive.", kKindNames[k]).GetText());
    return true;
}

void DeletePrimitives(CommandParams *pParams, int iPart)
{
    NKString word;
    pParams->SetPrintErrors(false);
    pParams->NKGetParameterString(&word, false, NK_PARAM_STRING_WORD);
    pParams->SetPrintErrors(true);
    if (std::strcmp(word.GetText(), "all") != 0) {
        NKPrintInfo("Cannot delete selected primitves in this version.");
        return;
    }
    NKPart *pPart = ValidPart(iPart);
    if (pPart != nullptr) {
        if (pPart->pPrimitives != nullptr) {
            pPart->pPrimitives->Clear();
            NKPrintInfo(
                NKString::FromFormat("All primitives in part %d deleted.", iPart).GetText());
        }
    } else if (g_pGlobalPrimitives != nullptr) {
        NKDiscardGlobalPrimitives();
        NKPrintInfo("All global primitives deleted.");
    }
}

}  // namespace

bool NKPrimitiveCommand(CommandParams *pParams, const char *pszKeyword, int iPart)
{
    const char *kw = pszKeyword != nullptr ? pszKeyword : "";
    int k = -1;
    for (int i = 0; i < 3; i++)
        if (std::strcmp(kw, kKindNames[i]) == 0) k = i;
    if (k >= 0) {
        Primitive3D *pPrim = ReadPrimitive(pParams, k);
        if (pPrim == nullptr || !AddPrimitive(pPrim, k, iPart)) return false;
    } else if (std::strcmp(kw, "del") == 0) {
        DeletePrimitives(pParams, iPart);
    } else {
        NKPrintError("Subcommand not found.");
        return false;
    }
    if (g_pModel != nullptr && g_pModel->iNumFrames > 0)
        NKComputeFrameBoundingBoxes(-1, true, true);
    return true;
}

// ---- Slots and the global list ----------------------------------------------------

namespace {

void ReleaseList(Primitive3DList *pList) { delete pList; }

bool GetListBox(const Primitive3DList *pList, float *pfBox)
{
    if (pList == nullptr) pList = g_pGlobalPrimitives;
    return pList != nullptr && pList->GetBoundingBox(pfBox);
}

}  // namespace

void NKInstallPrimitiveHooks(void)
{
    NKModelHooks hooks = NKGetModelHooks();
    hooks.pfnReleasePrimitives = ReleaseList;
    hooks.pfnGetPrimitivesBox = GetListBox;
    NKSetModelHooks(hooks);
}

void NKDiscardGlobalPrimitives(void)
{
    delete g_pGlobalPrimitives;
    g_pGlobalPrimitives = nullptr;
}

void NKDrawGlobalPrimitives(void)
{
    if (g_pGlobalPrimitives == nullptr) return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    glMatrixMode(GL_MODELVIEW);
    g_pGlobalPrimitives->DrawAll(0, false);
    glPopAttrib();
}

void NKDrawPartPrimitives(NKFrame *pFrame)
{
    NKGeometry *pGeo = pFrame != nullptr ? pFrame->pGeometry : nullptr;
    if (pGeo == nullptr) return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < pGeo->iNumParts; i++) {
        NKPart *pPart = &pGeo->pParts[i];
        if (pPart->pPrimitives == nullptr || !pPart->bVisible) continue;
        glPushMatrix();
        if (pFrame->pTransformation != nullptr) glMultMatrixf(pFrame->pTransformation + 16 * i);
        pPart->pPrimitives->DrawAll(pPart->iDrawStyle, false);
        glPopMatrix();
    }
    glPopAttrib();
}
