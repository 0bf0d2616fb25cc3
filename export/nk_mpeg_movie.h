// export/nk_mpeg_movie.h -- MPEG-1 movies through the outside encoder
// "mpgenc" of the program directory: PPM frames and a parameter file in a
// private folder, the encoder run with Cancel, the folder removed after.
#pragma once

// Writes steps iFrom .. iTo by iSkip as PPM frames, the parameter file and
// runs the encoder on them; true when the encoder finished with status 0.
// With bDelete false the frames "qln%03d.ppm" and "qln.par" are written in
// the current folder and kept.
bool MakeMpegMovie(int iFrom, int iTo, int iSkip, const char *pszOutput, int iQScale, bool bDelete);

// Writes the parameter file the encoder reads (see mpgenc); false when it
// cannot be created.
bool WriteMpegParamFile(const char *pszOutput, const char *pszParamFile, const char *pszInputDir,
                        int iQScale, int iFrom, int iTo, int iSkip);
