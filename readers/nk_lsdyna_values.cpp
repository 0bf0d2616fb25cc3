// readers/nk_lsdyna_values.cpp -- the values of one result quantity of the
// current LS-DYNA state, per node and per element, and the result records
// made from them (see nk_lsdyna.h). Word positions inside an element's state
// record follow the database's control words; a quantity whose words the
// database lacks yields undefined values.
#include <algorithm>
#include <cmath>

#include "core/nk_element_types.h"
#include "core/nk_math.h"
#include "core/nk_mesh.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "readers/nk_fld_curve.h"
#include "readers/nk_lsdyna.h"

namespace {

constexpr float U = NK_UNDEFINED_VALUE;
// NaN and minus infinity are undefined values too (they fail f < 2.99e38 or
// -inf < f), so that averages to the nodes pass over them.
bool Defined(float f) { return f < 2.99e38f && -INFINITY < f; }

// One element class of the current state.
struct ClassView {
    uint32_t uClass;
    int iCount, iWords, iNodes, iFirstGlobal;
    const std::vector<float> *pValues;
    const std::vector<int> *pConnect;
    int iStride;
};

std::vector<ClassView> Classes(const LSDynaStateData &s, const LSDynaGeometry &geo)
{
    const LSDynaHeader &h = s.header;
    int g0 = 0, g1 = geo.NEL8, g2 = g1 + geo.NELT, g3 = g2 + geo.NEL2;
    return {{NK_DYNA_SOLIDS, geo.NEL8, h.w[NK_DW_NV3D], 8, g0, &s.solids, &geo.solids, 9},
            {NK_DYNA_THICK_SHELLS, geo.NELT, h.w[NK_DW_NV3DT], 8, g1, &s.thickShells,
             &geo.thickShells, 9},
            {NK_DYNA_BEAMS, geo.NEL2, h.w[NK_DW_NV1D], 2, g2, &s.beams, &geo.beams, 6},
            {NK_DYNA_SHELLS, geo.NEL4, h.w[NK_DW_NV2D], 4, g3, &s.shells, &geo.shells, 5}};
}

// p of the shell word positions: stresses of one surface and its extras.
int ShellP(const LSDynaHeader &h)
{
    return (h.w[NK_DW_IOSHL1] == 1000 ? 6 : 0) + (h.w[NK_DW_IOSHL2] == 1000 ? 1 : 0) +
           h.w[NK_DW_NEIPS];
}

// Start of the stress tensor (and plastic strain at +6) of a class; -1 none.
int StressPos(const LSDynaHeader &h, uint32_t c, int iSurface)
{
    if (c == NK_DYNA_SOLIDS) return 0;
    if (c == NK_DYNA_BEAMS) return -1;
    int p = ShellP(h);
    return iSurface == 1 ? 0 : iSurface == 0 ? p : 2 * p;
}

int StrainPos(const LSDynaHeader &h, uint32_t c, int iSurface)
{
    if (c == NK_DYNA_SOLIDS) return h.w[NK_DW_NV3D] - 6;
    if (c == NK_DYNA_BEAMS || h.ISTRN < 1) return -1;
    int nv = c == NK_DYNA_SHELLS ? h.w[NK_DW_NV2D] : h.w[NK_DW_NV3DT];
    int iPos = nv - (iSurface == 2 ? 6 : 12);
    if (c == NK_DYNA_SHELLS && h.w[NK_DW_IOSHL4] == 1000) iPos--;
    return iPos;
}

// Start of the words of a plain kind; -1 when the class has none.
int PlainPos(const LSDynaHeader &h, uint32_t c, int iKind, int iSub, int iSurface)
{
    int p = ShellP(h), ne = h.w[NK_DW_NEIPS];
    if (iKind <= 5 || iKind == 18) {
        int b = StressPos(h, c, iSurface);
        return b < 0 ? -1 : b + (iKind == 18 ? 6 : iKind);
    }
    if (iKind == 40 && c == NK_DYNA_SOLIDS) {
        int r = h.w[NK_DW_NV3D] - h.w[NK_DW_NEIPH] - (h.ISTRN >= 1 ? 6 : 0);
        return (r >= 6 ? 6 : 0) + (r == 7 || r == 1 ? 1 : 0) + iSub;
    }
    if (iKind == 41 && (c == NK_DYNA_SHELLS || c == NK_DYNA_THICK_SHELLS)) {
        int b = iSurface == 1 ? p - ne : iSurface == 0 ? 2 * (p - ne) + ne : 3 * (p - ne) + 2 * ne;
        return b + iSub;
    }
    if (c != NK_DYNA_SHELLS) return -1;
    if (iKind == 22) return h.w[NK_DW_NV2D] - 1;
    if (iKind == 23) return h.w[NK_DW_NV2D] - 4 - (h.ISTRN >= 1 ? 12 : 0);
    return -1;
}

// Six words from iPos of element e, or all undefined.
void Tensor(const ClassView &v, int e, int iPos, float t[6])
{
    std::fill(t, t + 6, U);
    if (iPos < 0 || iPos + 6 > v.iWords) return;
    const float *w = v.pValues->data() + (size_t)e * v.iWords + iPos;
    std::copy(w, w + 6, t);
}

// R T R^T of a symmetric tensor (xx, yy, zz, xy, yz, zx).
void Rotate(const float R[3][3], float t[6])
{
    float T[3][3] = {{t[0], t[3], t[5]}, {t[3], t[1], t[4]}, {t[5], t[4], t[2]}}, o[3][3] = {};
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            for (int a = 0; a < 3; a++)
                for (int b = 0; b < 3; b++) o[i][j] += R[i][a] * T[a][b] * R[j][b];
    t[0] = o[0][0], t[1] = o[1][1], t[2] = o[2][2], t[3] = o[0][1], t[4] = o[1][2], t[5] = o[2][0];
}

// The element's strain tensor of the selected surface (middle: the mean).
void StrainTensor(const LSDynaHeader &h, const ClassView &v, int e, float t[6])
{
    int s = NKGetShellSurface();
    if (v.uClass == NK_DYNA_SOLIDS || s != 1) {
        Tensor(v, e, StrainPos(h, v.uClass, s), t);
        return;
    }
    float a[6], b[6];
    Tensor(v, e, StrainPos(h, v.uClass, 0), a);
    Tensor(v, e, StrainPos(h, v.uClass, 2), b);
    for (int k = 0; k < 6; k++) t[k] = Defined(a[k]) && Defined(b[k]) ? 0.5f * (a[k] + b[k]) : U;
}

// The current coordinates of node i (1-based in connectivity callers).
void Current(const LSDynaStateData &s, const LSDynaGeometry &geo, int i, float p[3])
{
    for (int k = 0; k < 3; k++)
        p[k] = !s.coords.empty() && k < geo.NDIM ? s.coords[(size_t)i * geo.NDIM + k]
                                                 : geo.Coord(i, k);
}

// ncomp values per element of one class into the per-element array.
struct Values {
    int ncomp;
    std::vector<float> elem;  // total x ncomp
};

void ElementTensorOrPlain(const LSDynaStateData &s, const LSDynaGeometry &geo, int iKind, int iSub,
                          Values *pOut)
{
    const LSDynaHeader &h = s.header;
    int iSurface = NKGetShellSurface();
    for (const ClassView &v : Classes(s, geo)) {
        for (int e = 0; e < v.iCount && v.iWords > 0 && !v.pValues->empty(); e++) {
            float *o = &pOut->elem[(size_t)(v.iFirstGlobal + e) * pOut->ncomp];
            if (pOut->ncomp == 1) {
                int iPos = PlainPos(h, v.uClass, iKind, iSub, iSurface);
                if (iPos < 0 || iPos >= v.iWords) continue;
                float f = (*v.pValues)[(size_t)e * v.iWords + iPos];
                o[0] = iKind == 23 && f == 0.0f ? U : f;
            } else if (iKind <= 11) {
                Tensor(v, e, StressPos(h, v.uClass, iSurface), o);
            } else if (v.uClass != NK_DYNA_BEAMS) {
                StrainTensor(h, v, e, o);
                if (iKind >= 19 && v.uClass != NK_DYNA_SOLIDS && Defined(o[0])) {
                    float p[4][3], R[3][3];
                    const int *c = &(*v.pConnect)[(size_t)e * v.iStride];
                    for (int k = 0; k < 4; k++) Current(s, geo, c[k] - 1, p[k]);
                    NKLSDynaShellAxes(p, R);
                    Rotate(R, o);
                }
            }
        }
    }
}

// Averages per-element values to nodes, component by component.
std::vector<float> ToNodes(const LSDynaStateData &s, const LSDynaGeometry &geo, const Values &v)
{
    std::vector<float> sum((size_t)geo.NUMNP * v.ncomp, U);
    std::vector<int> count((size_t)geo.NUMNP * v.ncomp, 0);
    for (const ClassView &c : Classes(s, geo))
        for (int e = 0; e < c.iCount; e++)
            for (int k = 0; k < c.iNodes; k++) {
                int n = (*c.pConnect)[(size_t)e * c.iStride + k] - 1;
                for (int j = 0; j < v.ncomp; j++) {
                    float f = v.elem[(size_t)(c.iFirstGlobal + e) * v.ncomp + j];
                    if (!Defined(f)) continue;
                    float &t = sum[(size_t)n * v.ncomp + j];
                    t = Defined(t) ? t + f : f;
                    count[(size_t)n * v.ncomp + j]++;
                }
            }
    for (size_t i = 0; i < sum.size(); i++)
        if (count[i] > 0 && Defined(sum[i])) sum[i] /= (float)count[i];
    return sum;
}

// The derived value of kinds 6-11 and 19-21 from a tensor; undefined for an
// undefined tensor.
float Derived(int iKind, const float *pt)
{
    float t[6];
    std::copy(pt, pt + 6, t);
    if (NKTensorIsUndefined(t)) return U;
    if (iKind >= 6 && iKind <= 11) {
        static const int kSel[6] = {9, 11, 12, 13, 14, 10};
        return NKTensorDerivedValue(kSel[iKind - 6], t);
    }
    if (NKTensorIsZero(t)) return 0.0f;
    float l1, l2;
    NKPrincipalValues2D(t[0], t[3], t[3], t[1], &l1, &l2, nullptr, nullptr);
    if (iKind == 19) return l1;
    if (iKind == 20) return l2;
    float fLimit = NKFLDCurveMajorAt(g_FLDCurve, l2);
    if (fLimit == 0.0f) return l1 == 0.0f ? 1.0f : U;
    return l1 / fLimit;
}

bool NodeKind(const LSDynaStateData &s, const LSDynaGeometry &geo, int iKind,
              std::vector<float> *pNodes)
{
    if ((iKind == 27 || iKind == 31 || iKind == 35 || iKind == 39) && geo.NDIM < 3) return false;
    const std::vector<float> *pArr = iKind == 24   ? &s.temperatures
                                     : iKind <= 31 ? &s.coords
                                     : iKind <= 35 ? &s.velocities
                                                   : &s.accelerations;
    if (pArr->empty()) return true;
    for (int i = 0; i < geo.NUMNP; i++) {
        if (iKind == 24) {
            (*pNodes)[(size_t)i] = (*pArr)[(size_t)i];
            continue;
        }
        float v[3] = {0, 0, 0};
        for (int k = 0; k < geo.NDIM && k < 3; k++) {
            v[k] = (*pArr)[(size_t)i * geo.NDIM + k];
            if (iKind >= 28 && iKind <= 31) v[k] -= geo.Coord(i, k);
        }
        int iFirst = iKind <= 27 ? 25 : iKind <= 31 ? 28 : iKind <= 35 ? 32 : 36;
        int c = iKind - iFirst - (iFirst == 25 ? 0 : 1);
        (*pNodes)[(size_t)i] = c < 0 ? std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]) : v[c];
    }
    return true;
}

// Raw strain words of a shell: key 1000 + k is word k from the inner strain
// position (1000-1005 the inner tensor, 1006-1011 the outer one).
float RawShellStrainWord(const LSDynaHeader &h, const ClassView &v, int iKey)
{
    int iPos = StrainPos(h, NK_DYNA_SHELLS, 0);
    int k = iPos < 0 ? -1 : iPos + iKey - 1000;
    return k >= 0 && k < v.iWords ? (*v.pValues)[(size_t)k] : U;
}

}  // namespace

float NKLSDynaElementValue(const LSDynaHeader &h, uint32_t uClass, const float *pfWords,
                           int iNumWords, int iKey, const float (*pfNodes)[3])
{
    std::vector<float> words(pfWords, pfWords + std::max(iNumWords, 0));
    ClassView v{uClass, 1, iNumWords, 0, 0, &words, nullptr, 0};
    if (uClass == NK_DYNA_NODE_COORDS)
        return iKey >= 25 && iKey <= 27 && iKey - 25 < iNumWords ? words[(size_t)(iKey - 25)] : U;
    if (uClass == NK_DYNA_SHELLS && iKey >= 1000) return RawShellStrainWord(h, v, iKey);
    int iKind, iSub;
    if (uClass == NK_DYNA_BEAMS || !NKLSDynaScalarIndexToKind(iKey, &iKind, &iSub) ||
        (NKLSDynaKindMask(iKind) & uClass) == 0)
        return U;
    int iSurface = NKGetShellSurface();
    bool bTensor = (iKind >= 6 && iKind <= 17) || (iKind >= 19 && iKind <= 21);
    if (!bTensor) {
        int iPos = PlainPos(h, uClass, iKind, iSub, iSurface);
        if (iPos < 0 || iPos >= iNumWords) return U;
        return iKind == 23 && words[(size_t)iPos] == 0.0f ? U : words[(size_t)iPos];
    }
    float t[6];
    if (iKind <= 11) {
        Tensor(v, 0, StressPos(h, uClass, iSurface), t);
        return Derived(iKind, t);
    }
    StrainTensor(h, v, 0, t);
    if (iKind <= 17) return t[iKind - 12];
    if (uClass == NK_DYNA_SOLIDS || pfNodes == nullptr || !Defined(t[0])) return U;
    float R[3][3];
    NKLSDynaShellAxes(pfNodes, R);
    Rotate(R, t);
    return Derived(iKind, t);
}

void NKLSDynaRotateTensor(const float R[3][3], float t[6]) { Rotate(R, t); }

void NKLSDynaShellAxes(const float p[4][3], float R[3][3])
{
    float a[3], b[3];
    for (int k = 0; k < 3; k++) {
        a[k] = ((p[1][k] - p[0][k]) + (p[2][k] - p[3][k])) / 4.0f;
        b[k] = ((p[3][k] - p[0][k]) + (p[2][k] - p[1][k])) / 4.0f;
    }
    float z[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    auto Norm = [](float *v) {
        float l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (l > 0.0f)
            for (int k = 0; k < 3; k++) v[k] /= l;
    };
    Norm(z);
    Norm(a);
    float y[3] = {z[1] * a[2] - z[2] * a[1], z[2] * a[0] - z[0] * a[2], z[0] * a[1] - z[1] * a[0]};
    for (int k = 0; k < 3; k++) R[0][k] = a[k], R[1][k] = y[k], R[2][k] = z[k];
}

bool NKLSDynaComputeValues(int iKind, int iSub, std::vector<float> *pNodes,
                           std::vector<float> *pElements)
{
    const LSDynaGeometry *pGeo = NKLSDynaGetCachedGeometry();
    const LSDynaStateData &s = NKLSDynaGetStateData();
    if (pGeo == nullptr || iKind < 0 || iKind > 41) return false;
    pNodes->assign((size_t)pGeo->NUMNP, U);
    pElements->assign((size_t)pGeo->TotalElements(), U);
    if (iKind >= 24 && iKind <= 39) return NodeKind(s, *pGeo, iKind, pNodes);
    bool bTensor = (iKind >= 6 && iKind <= 17) || (iKind >= 19 && iKind <= 21);
    Values v{bTensor ? 6 : 1,
             std::vector<float>((size_t)pGeo->TotalElements() * (bTensor ? 6 : 1), U)};
    ElementTensorOrPlain(s, *pGeo, iKind, iSub, &v);
    std::vector<float> nodes = ToNodes(s, *pGeo, v);
    if (!bTensor) {
        *pNodes = nodes;
        *pElements = v.elem;
        return true;
    }
    for (size_t e = 0; e < pElements->size(); e++)
        (*pElements)[e] = iKind >= 12 && iKind <= 17 ? v.elem[e * 6 + (size_t)(iKind - 12)]
                                                     : Derived(iKind, &v.elem[e * 6]);
    for (size_t n = 0; n < pNodes->size(); n++)
        (*pNodes)[n] = iKind >= 12 && iKind <= 17 ? nodes[n * 6 + (size_t)(iKind - 12)]
                                                  : Derived(iKind, &nodes[n * 6]);
    return true;
}

namespace {

// The file in which the current state begins; empty without one.
NKString CurrentStateFile(void)
{
    int iState = NKLSDynaGetCurrentState();
    const LSDynaControlData &g = g_LSDynacontrolData;
    return iState >= 0 && (size_t)iState < g.states.size() ? g.states[(size_t)iState].szFileName
                                                           : NKString("");
}

// One warning naming the file, the state and the result when values of the
// current state are NaN or minus infinity; later steps make them undefined.
// The first is named among pfFirst's values (pszFirst), else pfSecond's.
void WarnNotNumbers(const NKString &name, const float *pfFirst, int64_t iFirst,
                    const char *pszFirst, const float *pfSecond, int64_t iSecond,
                    const char *pszSecond)
{
    int64_t iCount1 = 0, iCount2 = 0;
    int64_t iAt1 = NKFirstNaNOrMinusInf(pfFirst, iFirst, &iCount1);
    int64_t iAt2 = NKFirstNaNOrMinusInf(pfSecond, iSecond, &iCount2);
    if (iAt1 < 0 && iAt2 < 0) return;
    NKPrintWarning(NKString::FromFormat(
                       "The %s result of file %s, state %d: NaN or -inf values: %lld, the "
                       "first is %s %lld; they count as undefined values.",
                       name.GetText(), CurrentStateFile().GetText(), NKLSDynaGetCurrentState() + 1,
                       (long long)(iCount1 + iCount2), iAt1 >= 0 ? pszFirst : pszSecond,
                       (long long)(iAt1 >= 0 ? iAt1 : iAt2) + 1)
                       .GetText());
}

}  // namespace

NKScalarResult *NKLSDynaCreateScalar(int iKind, int iSub, NKGeometry *pGeo)
{
    std::vector<float> nodes, elems;
    if (pGeo == nullptr || !NKLSDynaComputeValues(iKind, iSub, &nodes, &elems)) return nullptr;
    NKScalarResult *pResult = NKCreateScalarResultFromArrays(nodes.data(), (int)nodes.size(),
                                                             elems.empty() ? nullptr : elems.data(),
                                                             (int)elems.size(), pGeo);
    if (pResult == nullptr) return nullptr;
    const LSDynaControlData &g = g_LSDynacontrolData;
    int iState = NKLSDynaGetCurrentState();
    pResult->iNumStepsInFile = 1;
    if (iState >= 0) pResult->szFileName = g.states[(size_t)iState].szFileName;
    pResult->szDescription = NKLSDynaKindName(iKind);
    if (iKind >= 40 && (iKind == 40 ? g.NEIPH : g.NEIPS) > 1) pResult->szDescription += iSub + 1;
    WarnNotNumbers(pResult->szDescription, elems.data(), (int64_t)elems.size(), "element",
                   nodes.data(), (int64_t)nodes.size(), "node");
    return pResult;
}

NKVectorResult *NKLSDynaCreateVector(int iKind, NKGeometry *pGeo)
{
    const LSDynaGeometry *pDyna = NKLSDynaGetCachedGeometry();
    const LSDynaStateData &s = NKLSDynaGetStateData();
    if (pGeo == nullptr || pDyna == nullptr || iKind < 0 || iKind > 2) return nullptr;
    const std::vector<float> &a = iKind == 0   ? s.coords
                                  : iKind == 1 ? s.velocities
                                               : s.accelerations;
    if (a.empty()) return nullptr;
    std::vector<float> v((size_t)pDyna->NUMNP * 3, 0.0f);
    for (int i = 0; i < pDyna->NUMNP; i++)
        for (int k = 0; k < pDyna->NDIM && k < 3; k++)
            v[(size_t)i * 3 + k] =
                a[(size_t)i * pDyna->NDIM + k] - (iKind == 0 ? pDyna->Coord(i, k) : 0.0f);
    NKVectorResult *pResult =
        NKCreateVectorResultFromArray((const float(*)[3])v.data(), pDyna->NUMNP, pGeo);
    if (pResult == nullptr) return nullptr;
    int iState = NKLSDynaGetCurrentState();
    pResult->iNumStepsInFile = 1;
    if (iState >= 0) pResult->szFileName = g_LSDynacontrolData.states[(size_t)iState].szFileName;
    pResult->szDescription = iKind == 0 ? "Displacement" : iKind == 1 ? "Velocity" : "Acceleration";
    WarnNotNumbers(pResult->szDescription, v.data(), (int64_t)v.size(), "value", nullptr, 0, "");
    return pResult;
}
