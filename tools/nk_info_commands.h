// tools/nk_info_commands.h -- NKCommandHandleInfo, the command handler of
// node numbers, node listings and model information: numbers, nonumbers,
// coordinates (showcoordinates), showdisplacements (showvectors),
// showscalars, info, noinfo, showinfodialog and the 3-D ruler's ruler,
// noruler, ruler scale and ruler unit. It fills the
// NK_HANDLER_INFO slot of the handler chain (commands/nk_command.h). The
// node numbers themselves are drawn by render/nk_node_numbers.h.
#pragma once

#include <string>
#include <vector>

struct CommandTableEntry;

// What a node listing lists: coordinates, showdisplacements (vectors) or
// showscalars.
enum NKListingKind { NK_LIST_COORDINATES, NK_LIST_VECTORS, NK_LIST_SCALARS };
// The listing of the node range in the argument text ("PARAMS" and up to
// two "part,node" pairs) in the pieces it goes to the message output in: the
// header line and one line per node, 25 lines a piece; a scalar that is no
// defined value (NK_UNDEFINED_VALUE, NaN, an infinity) or that the node
// lacks reads NO_VALUE. False, after the error through the command's error
// printer, for a bad range.
bool NKComposeNodeListing(const CommandTableEntry *pEntry, const char *pszArguments,
                          NKListingKind kind, std::vector<std::string> *pPieces);

// Answers 3 for a command that is not its own, 0 done, 1 failed.
int NKCommandHandleInfo(CommandTableEntry *pEntry, const char *pszArguments);
void NKRegisterInfoCommands(void);
