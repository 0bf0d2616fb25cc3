// app/nk_study_mouse.cpp -- study navigation by mouse (see
// nk_study_mouse.h).
#include "app/nk_study_mouse.h"

#include "core/nk_view_state.h"
#include "render/nk_camera.h"

namespace {

enum StudyMode { kNone, kPan, kZoom, kRotate };

// The last point is kept as signed pixels with a flag telling whether it
// is set: a grabbed mouse can leave the view on either side.
struct StudyState {
    StudyMode mode = kNone;
    bool bLastSet = false;
    int iLastX = 0, iLastY = 0;
};
StudyState sg_Study;

float ViewWidth(void)
{
    return NKViewWindowSize.iWidth > 0 ? float(NKViewWindowSize.iWidth) : 1.0f;
}
float ViewHeight(void)
{
    return NKViewWindowSize.iHeight > 0 ? float(NKViewWindowSize.iHeight) : 1.0f;
}

// The trackball turn from the last point to (x, y), both bottom-up.
void Rotate(int iX, int iY)
{
    float x1, y1, x2, y2, afQuat[4];
    NKStudyNormalisePoint(sg_Study.iLastX, sg_Study.iLastY, &x1, &y1);
    NKStudyNormalisePoint(iX, iY, &x2, &y2);
    NKTrackball(afQuat, x1, y1, x2, y2, g_ViewMatrix, &g_InputState);
    NKApplyRotation(afQuat, nullptr, g_ViewMatrix);
}

}  // namespace

void NKStudyNormalisePoint(int iX, int iY, float *pfX, float *pfY)
{
    *pfX = 2.0f * float(iX) / ViewWidth() - 1.0f;
    *pfY = 2.0f * float(iY) / ViewHeight() - 1.0f;
}

void NKStudyMouse(uint32_t uButtons, int iX, int iY)
{
    switch (uButtons) {
    case 1:
        sg_Study.mode = kPan;
        break;
    case 2:
        sg_Study.mode = kZoom;
        break;
    case 3:
        sg_Study.mode = kRotate;
        break;
    default:
        sg_Study = StudyState();
        return;
    }
    NKStudyMouseMove(iX, iY);
}

void NKStudyMouseMove(int iX, int iY)
{
    if (sg_Study.mode == kNone) return;
    // A view without pixels has no motion to measure.
    if (NKViewWindowSize.iWidth < 1 || NKViewWindowSize.iHeight < 1) return;
    const int x = iX, y = NKViewWindowSize.iHeight - iY;
    if (!sg_Study.bLastSet) {
        sg_Study.iLastX = x;
        sg_Study.iLastY = y;
        sg_Study.bLastSet = true;
    }
    const float dx = float(x - sg_Study.iLastX) / ViewWidth();
    const float dy = float(y - sg_Study.iLastY) / ViewHeight();
    const float f = g_InputState.fMotionFactor;
    if (sg_Study.mode == kPan) {
        const float afMove[3] = {dx * f, dy * f, 0.0f};
        NKApplyRotation(nullptr, afMove, g_ViewMatrix);
    } else if (sg_Study.mode == kZoom) {
        const float afMove[3] = {0.0f, 0.0f, (dy + dx) * f};
        NKApplyRotation(nullptr, afMove, g_ViewMatrix);
    } else {
        Rotate(x, y);
    }
    sg_Study.iLastX = x;
    sg_Study.iLastY = y;
}

bool NKIsStudyMotion(void) { return sg_Study.mode != kNone; }
