// readers/nk_animation_setup.h -- turns steps of the open data source into
// the frames of the model, one frame per chosen step.
//
// The animation command runs it after a source was opened (then starts the
// animation). Each frame gets its step's geometry (or the last one the source
// delivered), the current scalar and vector results, the secondary scalar and
// vector, the transformation results, the step's name, time, matrices and
// viewpoint, and the source's element visibility. The source is asked through
// the dispatcher (nk_data_source.h); everything the load pipeline does with
// what it delivers goes through core/nk_load_hooks.h. A progress bar with a
// Cancel button runs over the frames.
#pragma once

#include <vector>

// Makes one frame per step: the steps piSteps[0 .. iCount - 1] when piSteps
// is given, else iFrom, iFrom + iSkip, ... up to iTo. When the model already
// has that many frames for the same first and last step they are reused,
// else the frame array is rebuilt as copies of the present last frame. The
// current frame ends at the last frame made.
// False, with the frames untouched, when no source is open, a listed step is
// outside the source's steps, the range is empty (iTo < iFrom or iSkip < 1),
// a step is refused by the source (every step is checked, the first refused
// one reported by its check) or memory runs out. False after a Cancel:
// "Animation setup canceled." and the model is cut back to its first frame.
bool SetupAnimationFromInterface(int iFrom, int iTo, int iSkip, const int *piSteps, int iCount);

// The steps (0-based, in the set-up's order) that the last set-up found
// refused; empty when it found none or when the record was cleared since.
const std::vector<int> &NKRefusedAnimationSteps(void);
// Clears that record: every animation set-up of the data source clears it
// first, also one that never reaches the steps' check.
void NKClearRefusedAnimationSteps(void);
