// core/nk_view_state.cpp -- the view size and part-highlight globals.
#include "core/nk_view_state.h"

NKViewSize NKViewWindowSize = {0, 0};
NKPartHighlight NKPartHighlightSettings = {{255, 0, 0}};

namespace {
bool sg_bPolygonInfoInPick = false;
}

bool NKGetPolygonInfoInPick(void) { return sg_bPolygonInfoInPick; }
void NKSetPolygonInfoInPick(bool bOn) { sg_bPolygonInfoInPick = bOn; }

uint8_t g_bAutoFringeRange = 0;
uint8_t g_bContoursShown = 0;
uint8_t g_bDrawAnimationSetup = 0;
uint8_t g_bFringesShown = 0;
NKValueFilterSettings g_ValueFilter;

void NKSetValueFilter(bool bOn, float fMin, float fMax)
{
    g_ValueFilter.bOn = bOn ? 1 : 0;
    g_ValueFilter.fMin = fMin;
    g_ValueFilter.fMax = fMax;
}

namespace {
uint8_t sg_bSeparateVectorsShown[3] = {0, 0, 0};
}

bool NKIsSeparateVectorFieldShown(int iField)
{
    return iField >= 0 && iField < 3 && sg_bSeparateVectorsShown[iField] != 0;
}

void NKShowSeparateVectorField(int iField, bool bShown)
{
    if (iField >= 0 && iField < 3) sg_bSeparateVectorsShown[iField] = bShown ? 1 : 0;
}
