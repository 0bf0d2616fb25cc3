// export/nk_movie_commands.h -- the image-sequence and movie rows of the
// file commands: makergb, maketiff, makeppm, makegif, makebmp,
// makeoldmpeg, makempeg, makeanimgif, makeavi and animexport with its
// sub-commands. NKCommandHandleImageFiles (export/nk_image_commands.h)
// passes the rows it does not own here.
#pragma once

struct CommandTableEntry;

// The handler of those rows; 3 (not mine) for any other id.
int NKCommandHandleMovieFiles(CommandTableEntry *pEntry, const char *pszArguments);
// The animexport rows alone; 3 for any other id.
int NKCommandHandleAnimExport(CommandTableEntry *pEntry, const char *pszArguments);
