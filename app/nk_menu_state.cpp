// app/nk_menu_state.cpp -- display states and commands shared by the menus
// and the tool bar (see nk_menu_state.h).
#include "app/nk_menu_state.h"

#include <cstring>

#include "commands/nk_command.h"
#include "core/nk_frames.h"
#include "core/nk_numeric.h"
#include "core/nk_string.h"
#include "nkf/nkf_import.h"
#include "render/nk_text_list.h"
#include "render/nk_view_settings.h"

namespace {

// The user text before the user has set one.
constexpr const char *kDefaultUserText = "<user text string>";

const char *UserText(void) { return g_UserText.Text.GetText(); }

// The stored home view: the viewpoint of the open NKF file's settings (eye,
// reference point and up vector, 9 values), whose first value is undefined
// when the file gave none.
bool GetHomeView(float *pfView)
{
    const float *pfFile = NKFGetFileViewpoint();
    std::memcpy(pfView, pfFile, 9 * sizeof(float));
    return true;
}

}  // namespace

int NKCurrentDrawStyle(void)
{
    if (NKAllPartsAsSurface()) return 0;
    if (NKAllPartsAsLines()) return 1;
    if (NKAllPartsAsPoints()) return 2;
    if (NKAllPartsAsOutline()) return 3;
    if (NKAllPartsAsHiddenLines()) return 4;
    return -1;
}

void NKToggleTextInfo(void)
{
    NKViewSettings *v = g_pViewSettings;
    if (v == nullptr) return;
    if (v->bShowStep != 0 || v->bShowUserText != 0) {
        v->bShowUserText = 0;
        ExecuteCommand("nostep");
        return;
    }
    const char *pszUser = UserText();
    if (pszUser[0] != '\0' && std::strcmp(pszUser, kDefaultUserText) != 0) v->bShowUserText = 1;
    ExecuteCommand("step");
}

void NKResetViewCommand(void)
{
    float afHome[9];
    if (!GetHomeView(afHome) || NKIsUndefined(afHome[0])) {
        ExecuteCommand("autofocus");
        return;
    }
    ExecuteUICommand(NKString::FromFormat("lookat %g %g %g %g %g %g %g %g %g", afHome[0], afHome[1],
                                          afHome[2], afHome[3], afHome[4], afHome[5], afHome[6],
                                          afHome[7], afHome[8]));
}
