// core/nk_source_settings.cpp -- the user's values that a data source's own
// stand in for while it is open (see nk_source_settings.h).
#include "core/nk_source_settings.h"

#include <cstdint>

#include "core/nk_model_hooks.h"
#include "core/nk_render_state.h"

namespace {

// The one place the user's own values live while a source's stand in.
struct UserValues {
    bool bAutoScaleKept = false;  // the switch and the factor apart:
    bool bFactorKept = false;     // noascalevectors leaves the factor as it is
    uint8_t bAutoScale = 0;
    float fAutoScaleFactor = 1.0f;
    bool bSeedKept = false;
    int iSeedTrace = 0;    // the trace the source seeded
    NKTraceSeed userSeed;  // its seed before the first source
    NKTraceSeed sourceSeed;
};
UserValues sg_User;
bool sg_bSourceSetting = false;  // between NKBegin- and NKEndSourceSettings

// Whether the trace kept still holds the seed its source gave it.
bool SeedStillTheSources(void)
{
    NKTraceSeed seed;
    return sg_User.bSeedKept && NKGetTraceSeed(sg_User.iSeedTrace, nullptr, &seed) &&
           seed == sg_User.sourceSeed;
}

}  // namespace

void NKBeginSourceSettings(void)
{
    if (!sg_User.bAutoScaleKept) {
        sg_User.bAutoScaleKept = true;
        sg_User.bAutoScale = g_VectorSettings.bAutoScale;
    }
    if (!sg_User.bFactorKept) {
        sg_User.bFactorKept = true;
        sg_User.fAutoScaleFactor = g_VectorSettings.fAutoScaleFactor;
    }
    // A seed the user changed since the last source is the user's now.
    if (!SeedStillTheSources()) {
        int iTrace = 0;
        sg_User.bSeedKept = NKGetTraceSeed(-1, &iTrace, &sg_User.userSeed);
        sg_User.iSeedTrace = iTrace;
    }
    sg_bSourceSetting = true;
}

void NKEndSourceSettings(void)
{
    sg_bSourceSetting = false;
    if (sg_User.bSeedKept)
        sg_User.bSeedKept = NKGetTraceSeed(sg_User.iSeedTrace, nullptr, &sg_User.sourceSeed);
}

void NKForgetUserAutoScale(bool bFactor)
{
    if (sg_bSourceSetting) return;
    sg_User.bAutoScaleKept = false;
    if (bFactor) sg_User.bFactorKept = false;
}

void NKRestoreUserSettings(void)
{
    if (sg_User.bAutoScaleKept) g_VectorSettings.bAutoScale = sg_User.bAutoScale;
    if (sg_User.bFactorKept) g_VectorSettings.fAutoScaleFactor = sg_User.fAutoScaleFactor;
    if (SeedStillTheSources()) NKSetTraceSeed(sg_User.iSeedTrace, sg_User.userSeed);
    sg_User = UserValues();
}
