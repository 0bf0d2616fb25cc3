// nkf/nkf_display_hooks.cpp -- the owners' display-state hooks (see
// nkf_display_hooks.h).
#include "nkf/nkf_display_hooks.h"

#include <cstring>

namespace {
const int kMaxOwners = 8;
NKFDisplayStateHooks sg_aHooks[kMaxOwners];
int sg_iNumHooks = 0;
}  // namespace

bool NKFAddDisplayStateHooks(const NKFDisplayStateHooks &hooks)
{
    if (sg_iNumHooks >= kMaxOwners) return false;
    sg_aHooks[sg_iNumHooks++] = hooks;
    return true;
}

// The record holds function pointers only, so equal bytes mean the same hooks.
void NKFRemoveDisplayStateHooks(const NKFDisplayStateHooks &hooks)
{
    for (int i = 0; i < sg_iNumHooks; i++) {
        if (std::memcmp(&sg_aHooks[i], &hooks, sizeof hooks) != 0) continue;
        for (int k = i + 1; k < sg_iNumHooks; k++) sg_aHooks[k - 1] = sg_aHooks[k];
        sg_aHooks[--sg_iNumHooks] = NKFDisplayStateHooks();
        return;
    }
}

void NKFInstallDisplayStateHooks(const NKFDisplayStateHooks &hooks, bool bInstall,
                                 bool *pbInstalled)
{
    if (bInstall == *pbInstalled) return;
    if (bInstall) {
        *pbInstalled = NKFAddDisplayStateHooks(hooks);
    } else {
        NKFRemoveDisplayStateHooks(hooks);
        *pbInstalled = false;
    }
}

int NKFGetNumDisplayStateHooks(void) { return sg_iNumHooks; }

const NKFDisplayStateHooks &NKFGetDisplayStateHooks(int i) { return sg_aHooks[i]; }

void NKFFillMainSettingsFromOwners(NKFMainSettings *pRec, const NKFExportSettings *pSettings)
{
    for (int i = 0; i < sg_iNumHooks; i++)
        if (sg_aHooks[i].pfnFillMain != nullptr) sg_aHooks[i].pfnFillMain(pRec, pSettings);
}

void NKFApplyMainSettingsGroup(const NKFMainSettings &rec, int iGroup)
{
    for (int i = 0; i < sg_iNumHooks; i++)
        if (sg_aHooks[i].pfnApplyMain != nullptr) sg_aHooks[i].pfnApplyMain(rec, iGroup);
}
