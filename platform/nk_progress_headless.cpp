// platform/nk_progress_headless.cpp -- the status bar without a window, and
// the choice of the installed progress user interface (see nk_progress_ui.h).
// Used by tests and batch runs, and by the program until its status bar
// installs itself.
#include "platform/nk_progress_ui.h"

namespace {

NKHeadlessProgressUI sg_Headless;
NKProgressUI *sg_pUI = &sg_Headless;

}  // namespace

bool NKHeadlessProgressUI::SetStatusbarMode(unsigned int uFlags)
{
    if (!m_bStatusbar) return false;
    m_bNormal = (uFlags & NK_STATUSBAR_NORMAL) != 0;
    m_bCancelShown = !m_bNormal && (uFlags & NK_STATUSBAR_CANCEL) != 0;
    bool bProgress = !m_bNormal && (uFlags & NK_STATUSBAR_PROGRESS) != 0;
    if (!bProgress) {
        m_iRange = 0;
        m_iPosition = 0;
    }
    m_bProgressShown = bProgress;
    // The normal mode clears the status line like every other part.
    if (m_bNormal) m_StatusText = " ";
    return true;
}

void NKHeadlessProgressUI::SetStatusText(const char *pszText)
{
    if (m_bStatusbar) m_StatusText = pszText != nullptr ? pszText : "";
}

void NKHeadlessProgressUI::SetProgressRange(int iRange)
{
    if (!m_bProgressShown) return;
    m_iRange = iRange;
    m_iPosition = 0;
}

void NKHeadlessProgressUI::SetProgressPosition(int iPosition)
{
    if (m_bProgressShown) m_iPosition = iPosition;
}

void NKHeadlessProgressUI::SetStatusbarPresent(bool bPresent)
{
    m_bStatusbar = bPresent;
    if (!bPresent) {
        m_bNormal = m_bCancelShown = m_bProgressShown = false;
        m_StatusText.clear();
        m_iRange = m_iPosition = 0;
    } else {
        m_bNormal = true;
    }
}

void NKHeadlessProgressUI::Reset()
{
    SetStatusbarPresent(true);
    m_bCancelShown = m_bProgressShown = false;
    m_StatusText.clear();
    m_iRange = m_iPosition = 0;
    m_iPumpCount = 0;
    ClearCancelRequest();
    ClearQuitRequest();
}

NKProgressUI *NKGetProgressUI(void) { return sg_pUI; }

void NKSetProgressUI(NKProgressUI *pUI) { sg_pUI = pUI != nullptr ? pUI : &sg_Headless; }

NKHeadlessProgressUI *NKGetHeadlessProgressUI(void) { return &sg_Headless; }
