// nkf/nkf_export.h -- the NKF export: the settings of the `export` command
// family, NKFExporter, which writes the model and its display state as one
// binary NKF file, and the quick test that tells an NKF file.
//
// The exporter writes, in a fixed block order, the geometry
// (nkf_export_geometry.cpp), the results, transformations, viewpoints and
// visibility (nkf_export_results.cpp), then the part attributes, items and
// textures (nkf_export_attributes.cpp) with the settings between them
// (nkf_export_settings.cpp); the commands are in
// nkf_export_command.cpp. It never uses the block classes of the import,
// only the constants of nkf_format.h, so the layouts it writes are those the
// block readers document in their headers.
//
// Nothing partial: the file goes through NKOutputFile
// (core/nk_output_file.h), so an export that fails at any step, write,
// close or rename leaves an existing target as it was and no temporary
// file. Every value is one little-endian 32-bit word.
#pragma once

#include <cstdint>

#include "core/nk_output_file.h"
#include "core/nk_string.h"
#include "nkf/nkf_state_records.h"

struct NKFrame;
struct NKGeometry;
struct NKPart;

// Default file name of an export.
#define NKF_EXPORT_DEFAULT_NAME "Quolin.nkf"

// The switches of the export commands and the last export file name.
struct NKFExportSettings {
    int32_t iWord = 0;
    bool bGeometry = true;
    bool bResults = true;
    bool bTransformations = true;
    bool bVisibility = true;  // no command sets it
    bool bPartAttributes = true;
    bool bGlobalSettings = true;
    bool bScalarSettings = true;
    bool bVectorSettings = true;
    bool bViewpoint = true;
    bool bCutPlanes = true;
    bool bIsoSurfaces = true;
    bool bParticleTraces = true;  // no command sets it
    bool bNodeTraces = true;
    bool bNodePlots = true;
    bool bStartAnimation = false;
    bool bFlags[3] = {true, true, true};  // the second gates the extra settings record
    bool bVisiblePartsOnly = false;
    NKString szFileName = NKString(NKF_EXPORT_DEFAULT_NAME);
};

// The one settings record of the program (made with its defaults at
// start-up; NKFInitExportSettings brings it back to them).
extern NKFExportSettings g_NKFExportSettings;
void NKFInitExportSettings(NKFExportSettings *pSettings);

// What the writers need to know of the open data source: its step, scalar
// and vector counts and, for a reservoir set, its overlay count. The NKF
// code reads no other format's files, so the command language asks the
// data-source dispatcher and hands the answers in; all 0 without a source.
struct NKFSourceCounts {
    int iNumSteps = 0;
    int iNumScalars = 0;
    int iNumVectors = 0;
    int iNumReservoirOverlays = 0;
    // Transformation results of the source; 0 gives the settings one
    // vector record.
    int iNumTransformations = 0;
};

// The sub-commands of `export`; the command handler maps its ids onto these.
enum NKFExportCommandID {
    NKF_EXPORT_SHOW = 0,
    NKF_EXPORT_GEOMETRY,
    NKF_EXPORT_RESULTS,
    NKF_EXPORT_TRANSFORMATIONS,
    NKF_EXPORT_PARTATTRIBUTES,
    NKF_EXPORT_QUOLINSETTINGS,
    NKF_EXPORT_SCALARSETTINGS,
    NKF_EXPORT_VECTORSETTINGS,
    NKF_EXPORT_VIEWPOINT,
    NKF_EXPORT_CUTPLANE,
    NKF_EXPORT_ISOSURFACE,
    NKF_EXPORT_TRACES,
    NKF_EXPORT_NODEPLOTS,
    NKF_EXPORT_STARTANIMATION,
    NKF_EXPORT_VISIBLEPARTSONLY,
    NKF_EXPORT_NKF
};

// Runs one export command; pszArguments is "PARAMS " followed by the
// arguments. Returns 0 done, 1 failed (also "Export, unknown sub command."
// for an id outside the family).
int ExportCommand(int iCommand, const char *pszArguments, const NKFSourceCounts &source);

// True when the file starts with "*NKF-" or its first three words are the
// binary magic words in either byte order; false for a file that cannot be
// opened or holds fewer than 24 bytes.
bool GetNKFFileKind(const char *pszFileName);

// Writes one binary NKF file. One exporter serves one command; it copies
// the global settings when made.
class NKFExporter {
public:
    NKFExporter();
    ~NKFExporter();
    NKFExporter(const NKFExporter &) = delete;
    NKFExporter &operator=(const NKFExporter &) = delete;

    // Keeps at most 256 characters of the name.
    void SetFileName(const char *pszName);
    NKFExportSettings &Settings() { return m_Settings; }
    void SetSourceCounts(const NKFSourceCounts &source) { m_Source = source; }
    const NKFSourceCounts &Source() const { return m_Source; }
    const NKFExportSettings &Settings() const { return m_Settings; }

    // The model and the display state, as the switches choose.
    bool ExportNKFFile();
    // Every scalar and vector result of the open data source, frame by
    // frame; with bExtras also attributes, settings, items and textures.
    bool ExportNKFResultDatabase(bool bExtras);
    // A structured grid of nx x ny x nz hexahedra with a per-element scalar
    // and a per-node vector list when asked; a test file.
    bool ExportGridGeometry(int nx, int ny, int nz, int iNumScalars, int iNumVectors);

    // Opens the temporary file of the target and writes the file header.
    bool CreateBinaryNKFFile();
    // The end-of-block marker.
    bool WriteEndOfBlock();

    // The steps, each a block group (nkf_export_*.cpp).
    bool ExportGeometry();
    bool ExportResults();
    bool ExportScalarResults();
    bool ExportVectorResults();
    bool ExportSeparateVectorFields();
    bool ExportTransformations();
    bool ExportViewpoints();
    bool ExportVisibility();
    bool ExportPartAttributes();
    // The *SETTINGS block (nkf_export_settings.cpp) and its four record
    // writers; each writes its records whole and answers true.
    bool ExportSettings();
    bool NKFWriteMainSettings();
    bool NKFWriteScalarSettings(int iCount);
    bool NKFWriteVectorSettings(int iCount);
    bool NKFWriteExtraSettings();
    int CountVectorSettings() const;
    bool ExportItems();
    bool ExportTextures();

    // Low-level writes; a failure only sets the error flag.
    void WriteInt(int32_t iValue) { m_File.WriteInt32(iValue); }
    void WriteFloat(float fValue) { m_File.WriteFloat32(fValue); }
    void WriteInts(const int32_t *piValues, size_t n) { m_File.WriteInt32Array(piValues, n); }
    void WriteFloats(const float *pfValues, size_t n) { m_File.WriteFloat32Array(pfValues, n); }
    void WriteRaw(const void *pData, size_t n) { m_File.WriteRaw(pData, n); }
    // An 80-byte text field: at most 79 characters, NUL-padded.
    void WriteText80(const char *pszText);
    // Block code and ID, then the header's first two words. False (nothing
    // written) when the data size does not fit a 32-bit word.
    bool BeginBlock(int iType, int iID, int iHeaderSize, int64_t iDataSize);
    // One step row: number, description (80 bytes), time, count.
    void WriteStepRow(int iStep, const NKFrame *pFrame, int iCount);
    bool HasError() const { return !m_File.IsOk(); }
    bool IsOpen() const { return m_File.Stream() != nullptr; }

    // The walk helpers the steps share.
    bool SkipPart(const NKPart *pPart) const;
    int CountExportedParts(const NKGeometry *pGeo) const;
    // Exported parts of a geometry in the file's order: face-set parts
    // first, then element parts. Returns the count; piParts holds it.
    int ExportedPartOrder(const NKGeometry *pGeo, int *piParts) const;
    // True for frames the results steps take.
    bool FrameTaken(int iFrame) const;

private:
    // ExportScalarResults (bVector false) or ExportVectorResults.
    bool ExportStepResults(bool bVector);
    bool RunStep(bool (NKFExporter::*pfnStep)(), const char *pszStatus, const char *pszError);
    bool Finish(bool bStepsOk);
    // "There was an error while writing to the binary NKF file" and the line
    // naming the file.
    void ReportWriteError() const;

    NKOutputFile m_File;
    NKFExportSettings m_Settings;
    NKFSourceCounts m_Source;
    int m_iNextResultsID = 0;
    int m_iNextScalarListID = 1;
    int m_iNextVectorListID = 1;
};

// The main settings record the export writes: the defaults, then every
// word of the current display state the switches let through.
void NKFFillMainSettings(NKFMainSettings *pRec, const NKFExportSettings &settings);

// A part is written as a face set when it has polygons and no elements.
bool NKFPartIsFaceSet(const NKPart *pPart);
// The helpers over the model the writers use.
int NKFCountVisibleParts(const NKGeometry *pGeo);
int NKFVisiblePartIndex(const NKGeometry *pGeo, int iPart);
int NKFCountRealFrames(void);
bool NKFAnimationIndexSet(void);
bool NKFNodeIDsValid(const NKPart *pPart);
