// tests/test_support/recording_progress_ui.h -- a headless status bar for
// tests of long operations: it keeps every status text and presses Cancel
// when the progress bar reaches a chosen position. Install it with
// NKSetProgressUI (platform/nk_progress_ui.h) and put null back afterwards.
#pragma once

#include <string>
#include <vector>

#include "platform/nk_progress_ui.h"

// A status bar that keeps every status text and presses Cancel when the bar
// reaches iCancelAt.
class RecordingProgressUI : public NKHeadlessProgressUI {
public:
    void SetStatusText(const char *pszText) override
    {
        texts.push_back(pszText);
        NKHeadlessProgressUI::SetStatusText(pszText);
    }
    void SetProgressPosition(int iPosition) override
    {
        if (iPosition == iCancelAt) RequestCancel();
        NKHeadlessProgressUI::SetProgressPosition(iPosition);
    }
    std::vector<std::string> texts;
    int iCancelAt = -1;
};
