// core/nk_source_settings.cpp -- the user's values that a data source's own
// stand in for while it is open (see nk_source_settings.h).
#include "core/nk_source_settings.h"

#include <cstdint>
#include <cstring>

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

// The seed the trace kept ends with once its source goes: of its box and its
// counts, what still is as the source set it is the user's before the
// source again, and what the user changed while the source was open stays.
NKTraceSeed UserSeedOf(const NKTraceSeed &now)
{
    NKTraceSeed seed = now;
    const NKTraceSeed &source = sg_User.sourceSeed, &user = sg_User.userSeed;
    if (std::memcmp(now.aiCounts, source.aiCounts, sizeof(now.aiCounts)) == 0)
        std::memcpy(seed.aiCounts, user.aiCounts, sizeof(seed.aiCounts));
    if (now.bIsBox == source.bIsBox &&
        std::memcmp(now.afBox, source.afBox, sizeof(now.afBox)) == 0) {
        seed.bIsBox = user.bIsBox;
        std::memcpy(seed.afBox, user.afBox, sizeof(seed.afBox));
    }
    return seed;
}

// Gives the trace kept the user's seed back; false when there is none to
// give (no seed kept, or the trace is gone).
bool RestoreUserSeed(void)
{
    NKTraceSeed now;
    if (!sg_User.bSeedKept || !NKGetTraceSeed(sg_User.iSeedTrace, nullptr, &now)) return false;
    NKTraceSeed seed = UserSeedOf(now);
    if (!(seed == now)) NKSetTraceSeed(sg_User.iSeedTrace, seed);
    return true;
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
    // The source seeds the current trace. When a source before it seeded the
    // same one, what the user changed of that seed since is the user's now
    // and the rest stays the user's from before; a source before it that
    // seeded another trace gives that one back first.
    int iTrace = 0;
    NKTraceSeed now;
    bool bSeed = NKGetTraceSeed(-1, &iTrace, &now);
    if (sg_User.bSeedKept && bSeed && iTrace == sg_User.iSeedTrace) {
        sg_User.userSeed = UserSeedOf(now);
    } else {
        RestoreUserSeed();
        sg_User.bSeedKept = bSeed;
        sg_User.iSeedTrace = iTrace;
        sg_User.userSeed = now;
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
    RestoreUserSeed();
    sg_User = UserValues();
}
