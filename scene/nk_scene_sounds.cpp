// scene/nk_scene_sounds.cpp -- the scene's per-frame sound hooks (declared
// in nk_scene_extras.h): the sound source table and the sound manager learn
// the current view in model coordinates and the frame drawn. The table and
// the manager keep their own state (core/nk_sound_sources.h,
// tools/nk_sound_playback.h).
#include "commands/nk_sound_dde.h"
#include "core/nk_bbox.h"
#include "core/nk_model.h"
#include "core/nk_numeric.h"
#include "core/nk_sound_sources.h"
#include "render/nk_camera.h"
#include "scene/nk_scene_extras.h"
#include "tools/nk_sound_playback.h"

namespace {

// Eye, reference point and up vector of the current view, model
// coordinates; false when the view matrix cannot be inverted.
bool GetListenerView(float *pfEye, float *pfReference, float *pfUp)
{
    if (!NKGetCurrentViewPoint(pfEye, pfReference, pfUp)) return false;
    DisplayToModel(pfEye);
    DisplayToModel(pfReference);
    DisplayToModelVector(pfUp);
    return true;
}

}  // namespace

int NKGetSoundSourceCount(void)
{
    return g_pSoundSourceTable != nullptr ? g_pSoundSourceTable->iCount : 0;
}

// The two values after the view are the frame's index and its time.
void NKUpdateSoundListener(int iFrame, NKFrame *pFrame)
{
    SoundSourceTable *pTable = g_pSoundSourceTable;
    if (pTable == nullptr || pFrame == nullptr) return;
    const float fTime =
        NKIsUndefined(pFrame->fTime) ? static_cast<float>(iFrame + 1) : pFrame->fTime;
    pTable->SetTime(fTime);
    float afView[11];
    if (GetListenerView(afView, afView + 3, afView + 6)) {
        afView[9] = static_cast<float>(iFrame);
        afView[10] = fTime;
        pTable->SetListenerView(afView);
    }
    pTable->UpdatePositions(pFrame);
    NKDDESoundUpdateString(pTable);
}

void NKUpdateSoundManager(int iFrame, NKFrame *pFrame)
{
    SoundManager *pManager = g_pSoundManager;
    if (pManager == nullptr) return;
    float afEye[3], afReference[3], afUp[3];
    if (GetListenerView(afEye, afReference, afUp)) pManager->SetListener(afEye, afReference, afUp);
    pManager->UpdatePositions(pFrame);
    pManager->PlayFrameEvents(iFrame);
}
