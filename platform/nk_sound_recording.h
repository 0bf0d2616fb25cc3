// platform/nk_sound_recording.h -- the headless sound output: it plays
// nothing and writes every call into a log, one line a call, so that tests
// can read what would have sounded.
//
// Lines: "open", "voice V RATE BITS CHANNELS BYTES", "play V loop|once",
// "stop V", "rewind V", "volume V N", "pan V N", "frequency V HZ",
// "position V X Y Z" (numbers as "%g") or "position V normal",
// "listener EX EY EZ RX RY RZ UX UY UZ", "release V". A voice counts as
// playing from its play to its stop; IsPlaying writes no line.
#pragma once

#include <string>
#include <vector>

#include "platform/nk_sound_output.h"

// Installs a factory whose outputs append to *pLog (kept by the caller and
// alive while they are); with bOpenFails their Open answers false. Null
// puts the OpenAL output back.
void NKInstallRecordingSoundOutput(std::vector<std::string> *pLog, bool bOpenFails = false);
