// tools/nk_particle_trace_commands.h -- the particle-trace commands, served
// by the handler of the cutting-plane commands (nk_cut_plane_commands.cpp),
// which splits the argument text into words first.
#pragma once

#include <string>
#include <vector>

struct CommandTableEntry;

// Performs the particle-trace command of pEntry on the global trace set and
// the current frame: 0 done, 1 failed, 3 for a command that is not one of
// them. words are the argument words after "PARAMS"; bAll says whether the
// word "all" is among them.
int NKCommandHandleParticleTraces(CommandTableEntry *pEntry, const char *pszArguments,
                                  const std::vector<std::string> &words, bool bAll);
