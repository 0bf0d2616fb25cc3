// commands/nk_geometry_files.cpp -- reading a geometry file as the model or
// adding one to it, writing the data source's step and result lists, and the
// size arguments of the image and plot commands (see nk_open_commands.h).
#include <cstdio>

#include "commands/nk_argument_scan.h"
#include "commands/nk_open_commands.h"
#include "core/nk_bbox.h"
#include "core/nk_file_read.h"
#include "core/nk_frame_results.h"
#include "core/nk_frames.h"
#include "core/nk_load_hooks.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_output_file.h"
#include "core/nk_part_arrays.h"
#include "core/nk_part_lists.h"
#include "core/nk_progress.h"
#include "nkf/nkf_format.h"
#include "nkf/nkf_import.h"
#include "readers/nk_data_source.h"
#include "readers/nk_native_geometry.h"

namespace {

// The geometry of an NKF file's first geometry block, its first step (index 0),
// read through the NKF import; null (reported).
NKGeometry *ReadNKFGeometry(const char *pszFileName)
{
    int iFailure = NKF_READ_GEOMETRY_OK;
    NKGeometry *pGeo = NKFReadGeometryFile(pszFileName, 0, 0, &iFailure);
    if (iFailure == NKF_READ_GEOMETRY_NOT_PARSED)
        NKPrintError(NKString::FromFormat("Error parsing NKF file: %s", pszFileName).GetText());
    else if (iFailure == NKF_READ_GEOMETRY_NO_BLOCK)
        NKPrintError(
            NKString::FromFormat("Could not find any geometry block in %s", pszFileName).GetText());
    return pGeo;
}

bool IsNKFFile(const char *pszFileName)
{
    FILE *pFile = NKOpenRegularFile(pszFileName);
    if (pFile == nullptr) return false;
    char acHead[8] = {};
    size_t n = fread(acHead, 1, 5, pFile);
    int32_t iWord = 0;
    rewind(pFile);
    size_t m = fread(&iWord, 4, 1, pFile);
    fclose(pFile);
    // The ASCII header line, or the binary header word in either order.
    return (n == 5 && NKString(acHead) == NKF_ASCII_HEADER_PREFIX) ||
           (m == 1 && (iWord == NKF_MAGIC_WORD1 || iWord == NKF_MAGIC_WORD1_SWAPPED));
}

void WriteList(NKOutputFile *pOut, const char *pszHeading, int iCount, const NKStringList *pNames)
{
    pOut->Printf("\n*%s: %d\n", pszHeading, iCount);
    for (int i = 0; i < iCount; i++)
        pOut->Printf("%d: %s\n", i + 1, pNames != nullptr && pNames->Get(i) ? pNames->Get(i) : "");
}

// One size word: absent gives the preset, "*" leaves it open, else its value.
void SizeWord(const NKString &word, int iPreset, int *piValue, bool *pbOpen, bool *pbKeepAspect)
{
    if (word.IsNull() || word.IsEmpty()) {
        *piValue = iPreset;
    } else if (word.GetAt(0) == '*') {
        *piValue = iPreset;
        *pbOpen = true;
    } else {
        *piValue = word.ToInt();
    }
    (void)pbKeepAspect;
}

}  // namespace

bool NKCommandReadGeometry(const char *pszFileName)
{
    NKSetStatusText("Opening Geometry File...");
    NKGeometry *pGeo = NKReadGeometryFile(pszFileName);
    if (pGeo == nullptr) {
        NKPrintError(
            NKString::FromFormat("Error reading geometry file %s. Reverting to old.", pszFileName)
                .GetText());
        return false;
    }
    // The file is read before the model goes, so that a file that cannot be
    // read leaves the model as it was. The new model has no data source: the
    // one of the model before would give it results of another mesh.
    NKCloseInterfaceQuietly();
    if (!ResetStateBeforeLoad(pszFileName)) {
        NKReleaseGeometry(pGeo);
        return false;
    }
    pGeo->szDescription = "";
    NKSetFrameCount(0, false);
    NKSetStatusText("Computing Geometry Data...");
    if (!ComputeGeometryData(pGeo, 0, 0, -1, 0)) {
        NKPrintError("Error inserting geometry.");
        return false;
    }
    NKSetDefaultPartAttributes(pGeo, -1, -1);
    return true;
}

bool NKCommandAddGeometry(const char *pszFileName)
{
    NKFrame *pFrame = NKGetFrame(0);
    NKGeometry *pOld = NKGetFrameGeometry(pFrame);
    if (pOld == nullptr) return false;
    NKSetStatusText("Opening Geometry File...");
    NKGeometry *pNew =
        IsNKFFile(pszFileName) ? ReadNKFGeometry(pszFileName) : NKReadGeometryFile(pszFileName);
    if (pNew == nullptr) {
        NKPrintError(
            NKString::FromFormat("Error reading geometry file %s. Reverting to old.", pszFileName)
                .GetText());
        return false;
    }
    NKSetStatusText("Merging geometries...");
    int iOldParts = pOld->iNumParts;
    NKGeometry *pMerged = NKMergeGeometries(pOld, pNew);
    NKReleaseGeometry(pNew);
    if (pMerged == nullptr) {
        NKPrintError(NKString::FromFormat("Error adding geometry file %s.", pszFileName).GetText());
        return false;
    }
    NKSetStatusText("Computing Geometry Data...");
    if (!ComputeGeometryData(pMerged, 0, 0, -1, 1)) return false;
    // The load sequence fitted the frame's per-part arrays; its results get
    // entries for the new parts.
    if (pFrame->pScalar != nullptr)
        NKResizeScalarResultParts(pFrame->pScalar, pMerged->pParts, pMerged->iNumParts, iOldParts);
    if (pFrame->pVector != nullptr)
        NKResizeVectorResultParts(pFrame->pVector, pMerged->pParts, pMerged->iNumParts, iOldParts);
    NKComputeFrameBoundingBoxes(0, true, true);
    NKSetDefaultPartAttributes(pMerged, iOldParts, pMerged->iNumParts - 1);
    NKInvalidatePartLists(nullptr);
    return true;
}

bool ExportResultInfo(const char *pszFileName)
{
    NKOutputFile out;
    if (pszFileName == nullptr || !out.Open(pszFileName)) {
        NKPrintError(NKString::FromFormat("Error creating file: %s", pszFileName ? pszFileName : "")
                         .GetText());
        return false;
    }
    NKString name, file;
    NKGetInterfaceName(&name);
    NKGetInterfaceFileName(&file);
    out.Printf("*QUOLINHARL_RESULT_INFO\n");
    out.Printf("\n*INTERFACE_TYPE: %s\n", name.GetText());
    out.Printf("\n*INTERFACE_NAME: %s\n", file.GetText());
    WriteList(&out, "STATES", NKGetInterfaceNumSteps(), NKGetInterfaceStepNames());
    WriteList(&out, "SCALARS", NKGetInterfaceNumScalars(), NKGetInterfaceScalarNames());
    WriteList(&out, "VECTORS", NKGetInterfaceNumVectors(), NKGetInterfaceVectorNames());
    if (!out.Commit()) {
        NKPrintError(NKString::FromFormat("Error creating file: %s", pszFileName).GetText());
        return false;
    }
    NKPrintInfo(
        NKString::FromFormat("Step and result info exported to: %s", pszFileName).GetText());
    return true;
}

int NKParseSizeArguments(NKArgumentScan *pScan, int iDefaultWidth, int iDefaultHeight, int *piWidth,
                         int *piHeight, bool bKeepAspect, int iPresetWidth, int iPresetHeight)
{
    const int kNoPreset = 2147483647;
    if (iPresetWidth == kNoPreset) iPresetWidth = iDefaultWidth;
    if (iPresetHeight == kNoPreset) iPresetHeight = iDefaultHeight;
    double dRatio = iDefaultHeight != 0 ? (double)iDefaultWidth / iDefaultHeight : 1.0;
    if (dRatio < 1e-6) dRatio = 1e-6;
    bool bWidthOpen = false, bHeightOpen = false;
    int w = 0, h = 0;
    SizeWord(pScan != nullptr ? pScan->NextToken() : NKString(), iPresetWidth, &w, &bWidthOpen,
             nullptr);
    SizeWord(pScan != nullptr ? pScan->NextToken() : NKString(), iPresetHeight, &h, &bHeightOpen,
             nullptr);
    if (w == 0) w = iDefaultWidth;
    if (bWidthOpen && bHeightOpen) {
        w = iPresetWidth != 0 ? iPresetWidth : iDefaultWidth;
        h = iPresetHeight;
        bWidthOpen = bHeightOpen = false;
    }
    if (h == 0) h = iDefaultHeight;
    int iCode = 0;
    if (bKeepAspect && bWidthOpen) {
        w = (int)(h * dRatio);
        iCode = 1;
    } else if (bKeepAspect && bHeightOpen) {
        h = (int)(w / dRatio);
        iCode = 2;
    }
    if (w < 1 || w > 2000 || h < 1 || h > 2000) return 3;
    *piWidth = w;
    *piHeight = h;
    return iCode;
}
