// platform/nk_status_line.cpp -- the headless status line and the switch to
// the status line of the main window (see nk_status_line.h). No Qt here: the
// window's own NKStatusLine lives with the main window.
#include "platform/nk_status_line.h"

#include <string>

namespace {

// Shows nothing: the remembered text below is all a headless run has.
class NKHeadlessStatusLine : public NKStatusLine {
public:
    void ShowText(const char *) override {}
};

NKHeadlessStatusLine sg_Headless;
NKStatusLine *sg_pStatusLine = &sg_Headless;
std::string sg_LastText;
int sg_iTextCount = 0;

}  // namespace

void NKSetStatusText(const char *pszText)
{
    sg_LastText = pszText ? pszText : "";
    sg_iTextCount++;
    sg_pStatusLine->ShowText(sg_LastText.c_str());
}

const char *NKGetStatusText(void) { return sg_LastText.c_str(); }
int NKGetStatusTextCount(void) { return sg_iTextCount; }

NKStatusLine *NKSetStatusLine(NKStatusLine *pStatusLine)
{
    NKStatusLine *pPrevious = sg_pStatusLine == &sg_Headless ? nullptr : sg_pStatusLine;
    sg_pStatusLine = pStatusLine ? pStatusLine : &sg_Headless;
    return pPrevious;
}
