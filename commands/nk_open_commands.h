// commands/nk_open_commands.h -- opening primary files and data sources by
// command: the type-detecting open, opening a data source with everything
// its first state carries, reading one state, animations from the data
// source or the current displacement, closing, the result-list export,
// reading or adding an older native geometry file, and the size arguments of
// the image and plot commands.
//
// The file commands (nk_command_files.cpp) call these; the loading itself
// goes through the load sequence (core/nk_load_hooks.h: reset, geometry
// data, refresh), the data-source dispatcher (readers/nk_data_source.h) and
// the NKF import. A failed open keeps the model that was loaded before it.
#pragma once

#include "core/nk_string.h"

class NKArgumentScan;

// An open request: a file type (NKFileType, nk_file_type.h; 1 detects it)
// and the file name.
struct NKOpenRequest {
    int iType = 1;
    NKString fileName;
};

// Detects the type when asked, closes the current data source, runs the
// open command of the type ("opennkffile", "source", ...) and, when it
// answers 0, the "fileopen.qlc" command file. False (reported) otherwise.
bool OpenFileAutoDetect(const NKOpenRequest &request);

// Opens the file as a data source of the kind and loads its first state
// (for an NKF file also its display state). False (reported); the model
// loaded before is kept when the source cannot be opened.
bool NKCommandOpenInterface(int iKind, const char *pszFileName);

// Whether state iState (0-based) of the data source can be read: false,
// reported, for a state out of range or one the reader refuses (a damaged
// state). It changes nothing the view, info or an export reads, so that a
// refused state leaves them as they were.
bool NKCheckStateToRead(int iState);
// Reads state iState, which NKCheckStateToRead let pass, into the model's
// one frame, with scalar and vector result indices (-1 none); all 0-based.
// 0 when read; -1 (reported) when refused with nothing changed: a result
// index the source lacks, or a result that cannot be read for the geometry
// the frame keeps; 1 (reported) when a state with a new geometry lacks a
// result, which shows then without it.
int NKCommandReadState(int iState, int iScalar, int iVector);

// Frames from the data source's steps iFirst..iLast (1-based) by
// iIncrement, or from the 0-based list (each listed step must exist; the
// range is then not used), then "anim_run". False (reported).
bool NKSetupInterfaceAnimation(int iFirst, int iLast, int iIncrement, const int *piList,
                               int iCount);
// A mode-shape animation of iNegative + iPositive + 1 frames from frame 0's
// displacement, with sine or linear factors, scaling the scalar result too
// when bWithScalar. False (reported).
bool NKSetupModeShapeAnimation(int iNegative, int iPositive, bool bSine, bool bWithScalar);
// The factor of frame iFrame of a mode-shape animation (see above).
float NKModeShapeFactor(int iFrame, int iNegative, int iPositive, bool bSine);

// Closes the data source: "Closing interface.".
void NKCommandCloseInterface(void);
// Writes the data source's step, scalar and vector lists to a text file.
// False (reported) when the file cannot be written.
bool ExportResultInfo(const char *pszFileName);

// Reads an older native geometry file as the model's geometry (the model is
// cleared with ResetStateBeforeLoad only once the file was read), or adds the
// parts of a geometry file (NKF or older native) to frame 0's geometry.
// False (reported); a file that cannot be read leaves the model.
bool NKCommandReadGeometry(const char *pszFileName);
bool NKCommandAddGeometry(const char *pszFileName);

// Reads two size words (width, height) from the scan: an absent word gives
// the preset, "*" leaves the size open for the aspect ratio of dw x dh, 0
// gives the default. Codes: 0 both given, 1 width from the ratio, 2 height
// from the ratio, 3 a size outside 1..2000 (nothing stored).
int NKParseSizeArguments(NKArgumentScan *pScan, int iDefaultWidth, int iDefaultHeight, int *piWidth,
                         int *piHeight, bool bKeepAspect, int iPresetWidth, int iPresetHeight);
