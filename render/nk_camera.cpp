// render/nk_camera.cpp -- the camera as the scene asks it (see nk_camera.h).
#include "render/nk_camera.h"

#include <cstdio>
#include <string>

#include "core/nk_math.h"
#include "core/nk_string.h"

float g_ViewMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
NKRideSpec g_RideSpec;

bool NKGetEyePoint(float *) { return false; }

bool NKIsNavigationActive(void) { return false; }

float *NKLookAtMatrix(const float *, const float *, const float *, float *pfMatrix)
{
    return pfMatrix;
}

bool NKApplyViewPoint(const NKViewPoint *pViewPoint, float *pfMatrix)
{
    if (pViewPoint == nullptr || pfMatrix == nullptr) return false;
    NKLookAtMatrix(pViewPoint->eye, pViewPoint->vrp, pViewPoint->vup, pfMatrix);
    return true;
}

bool NKComputeRideViewPoint(int, NKRideSpec *) { return false; }

NKString *NKMakeSetviewCommand(NKString *pText, const float *pfMatrix)
{
    float afNumbers[7];
    NKMat4ToQuatTranslation(pfMatrix, afNumbers, afNumbers + 4);
    std::string text = "setview ";
    char szNumber[32];
    for (float f : afNumbers) {
        std::snprintf(szNumber, sizeof szNumber, " %g", static_cast<double>(f));
        text += szNumber;
    }
    *pText = NKString(text.c_str());
    return pText;
}
