// nkf/nkf_state_records.cpp -- the defaults of the display-state records
// (layouts in nkf_state_records.h).
#include "nkf/nkf_state_records.h"

const int g_aiMainTextWords[] = {48, 110, 132, 153, 176, -1};
const int g_aiExtraTextWords[] = {1, 21, 41, -1};
const int g_aiPartTextWords[] = {30, -1};
const int g_aiNoTextWords[] = {-1};

namespace {

enum Kind { I, F, T, C };  // int -1, float unset, text, colour / material -1.0

struct Range {
    int iFirst;
    int iLast;
    Kind eKind;
};

template <int N>
void Fill(NKFRecord<N> *pRec, int iSize, const Range *pRanges, int nRanges)
{
    std::memset(pRec->aiWords, 0, sizeof(pRec->aiWords));
    pRec->SetI(0, iSize);
    for (int r = 0; r < nRanges; r++) {
        for (int w = pRanges[r].iFirst; w <= pRanges[r].iLast; w++) {
            switch (pRanges[r].eKind) {
            case I:
                pRec->SetI(w, -1);
                break;
            case F:
                pRec->SetF(w, NKF_UNSET_FLOAT);
                break;
            case C:
                pRec->SetF(w, -1.0f);
                break;
            case T:
                pRec->SetI(w, 0);
                break;
            }
        }
    }
}

}  // namespace

void NKFInitMainSettings(NKFMainSettings *pRec)
{
    static const Range r[] = {
        {1, 12, I},    {13, 33, C},   {34, 36, I},   {37, 45, C},   {46, 47, I},   {48, 67, T},
        {68, 80, I},   {81, 84, F},   {85, 94, I},   {95, 109, F},  {110, 129, T}, {130, 131, F},
        {132, 151, T}, {152, 152, I}, {153, 172, T}, {173, 173, I}, {174, 175, F}, {176, 195, T},
        {196, 197, I}, {198, 199, F}, {200, 205, I}, {206, 213, F}, {214, 229, I}, {230, 230, F},
        {231, 235, I}, {236, 237, F}, {238, 247, I}, {248, 250, C}, {251, 251, I}, {252, 299, C},
        {300, 306, I}};
    Fill(pRec, NKF_MAIN_SETTINGS_WORDS * 4, r, (int)(sizeof r / sizeof r[0]));
    pRec->SetI(233, -999);
}

void NKFInitScalarSettings(NKFScalarSettings *pRec)
{
    static const Range r[] = {{1, 2, F}, {3, 4, I}, {5, 6, F}};
    Fill(pRec, NKF_SCALAR_SETTINGS_WORDS * 4, r, 3);
}

void NKFInitVectorSettings(NKFVectorSettings *pRec)
{
    static const Range r[] = {{1, 1, F},   {2, 2, I},   {3, 3, F},   {4, 6, C},  {7, 9, I},
                              {10, 12, F}, {13, 13, I}, {14, 15, F}, {16, 17, I}};
    Fill(pRec, NKF_VECTOR_SETTINGS_WORDS * 4, r, (int)(sizeof r / sizeof r[0]));
}

// Words 94-96 and 100-106 start at 0 (the memset).
void NKFInitExtraSettings(NKFExtraSettings *pRec)
{
    static const Range r[] = {{1, 60, T},  {61, 64, I}, {65, 66, C}, {67, 80, I},
                              {81, 87, C}, {88, 93, I}, {97, 99, I}};
    Fill(pRec, NKF_EXTRA_SETTINGS_WORDS * 4, r, (int)(sizeof r / sizeof r[0]));
}

void NKFInitPartAttributes(NKFPartAttributes *pRec)
{
    static const Range r[] = {{1, 11, I}, {12, 29, C}, {30, 49, T}, {50, 54, I}};
    Fill(pRec, NKF_PART_ATTRIBUTES_WORDS * 4, r, 4);
}

void NKFInitCutPlaneItem(NKFCutPlaneItem *pRec)
{
    static const Range r[] = {{1, 6, F}, {7, 10, I}};
    Fill(pRec, NKF_CUTPLANE_ITEM_WORDS * 4, r, 2);
}

void NKFInitIsoSurfaceItem(NKFIsoSurfaceItem *pRec)
{
    static const Range r[] = {{1, 1, F}};
    Fill(pRec, NKF_ISOSURFACE_ITEM_WORDS * 4, r, 1);
}

void NKFInitParticleTraceItem(NKFParticleTraceItem *pRec)
{
    static const Range r[] = {{1, 4, I}, {5, 10, F}};
    Fill(pRec, NKF_PARTICLE_ITEM_WORDS * 4, r, 2);
}

void NKFInitNodeItem(NKFNodeItem *pRec)
{
    static const Range r[] = {{1, 2, I}};
    Fill(pRec, NKF_NODE_ITEM_WORDS * 4, r, 1);
}

float NKFColorToFloat(uint8_t c) { return (float)c * (1.0f / 255.0f); }

bool NKFFloatToColor(float f, uint8_t *pc)
{
    if (!(f >= 0.0f)) return false;
    float v = f * 255.0f;
    *pc = v >= 255.0f ? (uint8_t)255 : (uint8_t)v;
    return true;
}
