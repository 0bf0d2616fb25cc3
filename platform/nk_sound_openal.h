// platform/nk_sound_openal.h -- the OpenAL output on OpenAL Soft's loopback
// device, which mixes only when asked: the tests measure with it what the
// output really plays. The output itself is made by NKCreateOpenALSoundOutput
// (nk_sound_output.h). No OpenAL type appears here.
#pragma once

class NKSoundOutput;

// An unopened output whose Open makes a loopback device of iRate frames a
// second, stereo, 32-bit float; Open fails without ALC_SOFT_loopback.
NKSoundOutput *NKCreateOpenALLoopbackOutput(int iRate);
// Mixes iFrames stereo frames into pfStereo (2 x iFrames floats); false
// when pOutput is not an opened loopback output.
bool NKRenderOpenALLoopback(NKSoundOutput *pOutput, float *pfStereo, int iFrames);
// The voice's play position in its own samples; -1 for an unknown voice.
int NKGetOpenALSampleOffset(NKSoundOutput *pOutput, int iVoice);
