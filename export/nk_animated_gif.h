// export/nk_animated_gif.h -- animated GIF89a files: the frames are written
// as GIF87a files of the fixed palette by the image-sequence writer
// (export/nk_image_sequence.h), then joined into one file with a looping
// extension, graphic control extensions and a closing comment.
#pragma once

class NKOutputFile;
struct NKMovieSettings;

// Writes the movie settings' steps as an animated GIF named by the settings.
// 1; -1 when the frame writing was cancelled; -10 when the frames could not
// be written ("Problems writing image sequence for generation of AnimGIF");
// otherwise WriteAnimatedGif's code. Frame files "qln_%d.gif" are kept only
// with keep images (beside the output); else they live in a private folder.
int NKWriteAnimatedGif(NKMovieSettings *pSettings);

// Joins frame files 0 .. iCount - 1 of pszPattern into pszOutput (written
// through a temporary file, renamed when complete). iDelay in hundredths of
// a second; iTransparent -1 for none. 1, -5 (output cannot be opened), -2
// (cancelled) or the failing frame's code.
int WriteAnimatedGif(const char *pszPattern, int iCount, bool bLoopForever, int iLoopCount,
                     bool bTransparency, int iTransparent, int iDelay, const char *pszOutput);

// Copies one frame file into the output stream (header and palette too
// when bFirst). 1, -5 (frame cannot be opened) or -6 (it ends before its
// image separator). Uses the join state WriteAnimatedGif set up.
int MergeGifFrame(NKOutputFile *pOutput, const char *pszFrameFile, bool bFirst);
