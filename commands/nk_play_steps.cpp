// commands/nk_play_steps.cpp -- Play over the steps of the open data source
// (see nk_play_steps.h). The set-up (readers/nk_animation_setup.h) records
// the steps it found refused; Play reads that record to choose the steps
// that read.
#include "commands/nk_play_steps.h"

#include <algorithm>
#include <vector>

#include "commands/nk_command.h"
#include "core/nk_message.h"
#include "core/nk_string.h"
#include "readers/nk_animation_setup.h"
#include "readers/nk_data_source.h"

namespace {

// Sorted 0-based steps as 1-based single steps and ranges a-b, each word
// after pszSeparator but the first.
NKString StepRanges(const std::vector<int> &steps, const char *pszSeparator)
{
    NKString words;
    for (size_t i = 0; i < steps.size();) {
        size_t e = i;
        while (e + 1 < steps.size() && steps[e + 1] == steps[e] + 1) e++;
        if (i > 0) words += pszSeparator;
        words += e == i ? NKString::FromFormat("%d", steps[i] + 1)
                        : NKString::FromFormat("%d-%d", steps[i] + 1, steps[e] + 1);
        i = e + 1;
    }
    return words;
}

}  // namespace

NKString NKPlayLine(void)
{
    return NKString::FromFormat("animresults 1 %d 1", NKGetInterfaceNumSteps());
}

bool NKPlayAllSteps(void)
{
    if (ExecuteUICommand(NKPlayLine()) == NK_CMD_DONE) return true;
    const int iSteps = NKGetInterfaceNumSteps();
    std::vector<int> refused = NKRefusedAnimationSteps();
    if (refused.empty()) return false;
    std::sort(refused.begin(), refused.end());
    std::vector<int> read;
    for (int s = 0; s < iSteps; s++)
        if (!std::binary_search(refused.begin(), refused.end(), s)) read.push_back(s);
    if (read.empty()) {
        NKPrintLeadError("No state of the data source reads: nothing plays.");
        return false;
    }
    NKPrintWarning(NKString::FromFormat(refused.size() == 1 ? "Play passes over refused state %s."
                                                            : "Play passes over refused states %s.",
                                        StepRanges(refused, ", ").GetText())
                       .GetText());
    return ExecuteUICommand(NKString("animresults steps ") + StepRanges(read, " ")) == NK_CMD_DONE;
}
