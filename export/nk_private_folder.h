// export/nk_private_folder.h -- a private working folder for the frames of
// a movie: made with a unique name inside a given folder, so that files of
// other sequences there are never overwritten or deleted, and removed with
// everything in it when the movie is done.
#pragma once

#include <string>

// Makes "<folder>/<prefix>XXXXXX" (folder "" for the current one); the
// path without a trailing '/', or "" when it cannot be made.
std::string NKMakePrivateFolder(const std::string &folder, const char *pszPrefix);
// Removes the folder and its contents; an empty path is ignored.
void NKRemovePrivateFolder(const std::string &path);
