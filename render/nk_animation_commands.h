// render/nk_animation_commands.h -- the animation commands: animations from
// numbered result files, from the steps of the open data source, of a mode
// shape and between the states (interpolated frames); starting, stepping,
// pausing and stopping the playback; its timing (frame rate, start and stop
// delays, the share of the frame rate while the application is inactive);
// the step numbers and the step text shown with each frame.
//
// NKCommandHandleAnimation sits in slot NK_HANDLER_ANIMATION of the handler
// chain (commands/nk_command.h); NKRegisterAnimationCommands fills it at
// start-up. The playback itself runs in the shell (NKRunAnimation,
// core/nk_shell_hooks.h) and the scene steps the frames by the animation
// clock (g_AnimationSettings, core/nk_view_state.h).
#pragma once

struct CommandTableEntry;

int NKCommandHandleAnimation(CommandTableEntry *pEntry, const char *pszArguments);
void NKRegisterAnimationCommands(void);
