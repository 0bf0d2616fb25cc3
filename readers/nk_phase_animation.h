// readers/nk_phase_animation.h -- the phase-angle animation of complex
// (frequency-domain) results of the older native result set: one frame per
// angle, each showing the current step's results evaluated at that angle.
//
// The animation command (commands/nk_open_commands.h, NKSetupInterfaceAnimation)
// runs it when the results read last were complex. The results are read
// through the dispatcher (nk_data_source.h) and put into the frames through
// the load pipeline (core/nk_load_hooks.h). The phase angle and the magnitude
// mode (nk_native_result_files.h) are restored afterwards.
#pragma once

// Angles iFrom, iFrom + iStep, ... up to iTo degrees: the frame array is
// rebuilt as (iTo - iFrom) / iStep + 1 copies of the last frame; frame i is
// named "<step name> %3d deg" with no time. A real scalar or vector is read
// once for all frames, a complex one again for each angle. False when the
// source is not kind 3, neither result is complex, iStep < 1, or after a
// Cancel ("Animation setup cancelled"; the model is cut to one frame).
bool NKSetupAnimationFromInterface(int iFrom, int iTo, int iStep);
