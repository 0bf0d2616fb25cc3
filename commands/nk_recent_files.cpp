// commands/nk_recent_files.cpp -- the recent-file list (see
// nk_recent_files.h).
#include "commands/nk_recent_files.h"

#include "core/nk_file.h"

namespace {

NKString sg_Entries[NK_NUM_RECENT_FILES] = {NKString(""), NKString(""), NKString(""), NKString("")};

}  // namespace

void AddRecentFile(const char *pszFileName)
{
    NKString fullPath;
    if (pszFileName == nullptr || !NKGetFullPath(pszFileName, &fullPath) || fullPath.IsEmpty())
        return;
    // Entries from the found one (or the last) move down one place.
    int iFrom = NK_NUM_RECENT_FILES - 1;
    for (int i = 0; i < NK_NUM_RECENT_FILES; i++) {
        if (sg_Entries[i] == fullPath) {
            iFrom = i;
            break;
        }
    }
    for (int i = iFrom; i > 0; i--) sg_Entries[i] = sg_Entries[i - 1];
    sg_Entries[0] = fullPath;
}

void ClearRecentFiles(void)
{
    for (NKString &entry : sg_Entries) entry = "";
}

void NKSetRecentFile(int i, const char *pszName)
{
    if (i < 0 || i >= NK_NUM_RECENT_FILES) return;
    sg_Entries[i] = pszName != nullptr ? pszName : "";
}

const NKString &NKGetRecentFile(int i)
{
    static const NKString s_Empty("");
    return i >= 0 && i < NK_NUM_RECENT_FILES ? sg_Entries[i] : s_Empty;
}
