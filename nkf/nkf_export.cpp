// nkf/nkf_export.cpp -- the NKF exporter's frame: the settings record, the
// file header and block framing, the order of the export steps and their
// ending, the result database export and the NKF file test (see
// nkf_export.h). The steps themselves are in nkf_export_geometry.cpp,
// nkf_export_results.cpp and nkf_export_attributes.cpp.
#include "nkf/nkf_export.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "core/nk_file_read.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "nkf/nkf_format.h"

NKFExportSettings g_NKFExportSettings;

void NKFInitExportSettings(NKFExportSettings *pSettings)
{
    if (pSettings != nullptr) *pSettings = NKFExportSettings();
}

NKFExporter::NKFExporter() : m_Settings(g_NKFExportSettings)
{
    SetFileName(m_Settings.szFileName.GetText());
}

// Closing an export that did not finish drops its temporary file.
NKFExporter::~NKFExporter() { m_File.Abandon(); }

void NKFExporter::SetFileName(const char *pszName)
{
    // Kept whole: a path cut to a fixed length would write another file.
    m_Settings.szFileName = NKString(pszName != nullptr ? pszName : "");
}

bool NKFExporter::CreateBinaryNKFFile()
{
    m_File.Abandon();
    const char *pszName = m_Settings.szFileName.GetText();
    if (pszName[0] == '\0') {
        NKPrintError("No file name specified.");
        return false;
    }
    if (!m_File.Open(pszName)) {
        NKPrintError(NKString::FromFormat("Error creating binary NKF file: %s", pszName).GetText());
        return false;
    }
    WriteInt(NKF_MAGIC_WORD1);
    WriteInt(NKF_MAGIC_WORD2);
    WriteInt(NKF_MAGIC_WORD3);
    WriteInt(NKF_BINARY_VERSION);
    return !HasError();
}

bool NKFExporter::WriteEndOfBlock()
{
    WriteInt(NKF_END_OF_BLOCK);
    return !HasError();
}

void NKFExporter::WriteText80(const char *pszText)
{
    char field[NKF_TEXT_FIELD_BYTES] = {};
    if (pszText != nullptr) std::strncpy(field, pszText, NKF_TEXT_FIELD_BYTES - 1);
    m_File.WriteRaw(field, sizeof(field));
}

bool NKFExporter::BeginBlock(int iType, int iID, int iHeaderSize, int64_t iDataSize)
{
    if (iDataSize < 0 || iDataSize > INT32_MAX) return false;
    WriteInt(NKFBlockCodeFromType(iType));
    WriteInt(iID);
    WriteInt(iHeaderSize);
    WriteInt((int32_t)iDataSize);
    return true;
}

void NKFExporter::WriteStepRow(int iStep, const NKFrame *pFrame, int iCount)
{
    WriteInt(iStep);
    WriteText80(pFrame->szDescription.GetText());
    WriteFloat(pFrame->fTime);
    WriteInt(iCount);
}

bool NKFExporter::SkipPart(const NKPart *pPart) const
{
    return m_Settings.bVisiblePartsOnly && !pPart->bVisible;
}

int NKFExporter::ExportedPartOrder(const NKGeometry *pGeo, int *piParts) const
{
    int n = 0;
    for (int pass = 0; pass < 2; pass++)
        for (int p = 0; p < pGeo->iNumParts; p++) {
            const NKPart *pPart = &pGeo->pParts[p];
            if (SkipPart(pPart) || NKFPartIsFaceSet(pPart) != (pass == 0)) continue;
            if (piParts != nullptr) piParts[n] = p;
            n++;
        }
    return n;
}

int NKFExporter::CountExportedParts(const NKGeometry *pGeo) const
{
    return ExportedPartOrder(pGeo, nullptr);
}

bool NKFExporter::FrameTaken(int iFrame) const
{
    if (g_pModel->pFrames[iFrame].bInterpolated) return false;
    return !NKFAnimationIndexSet() || iFrame == 0;
}

// Announces a step, runs it and reports its own error when it fails.
bool NKFExporter::RunStep(bool (NKFExporter::*pfnStep)(), const char *pszStatus,
                          const char *pszError)
{
    NKSetStatusText(pszStatus);
    if ((this->*pfnStep)()) return true;
    NKPrintError(pszError);
    return false;
}

void NKFExporter::ReportWriteError() const
{
    const char *pszName = m_Settings.szFileName.GetText();
    NKPrintError("There was an error while writing to the binary NKF file");
    NKPrintFileProblem(pszName, NKWriteProblem(pszName).c_str());
}

// Renames the finished file over the target, or drops it. A write that
// failed anywhere (the disk full, the file size limit) fails the export.
bool NKFExporter::Finish(bool bStepsOk)
{
    bool bOk = bStepsOk;
    if (bStepsOk) {
        bOk = !HasError() && m_File.Commit();
        if (!bOk) ReportWriteError();
    }
    m_File.Abandon();
    NKSetStatusText(bOk ? "Done." : "Error.");
    return bOk;
}

bool NKFExporter::ExportNKFFile()
{
    int iPreviousCursor = SetInteractionCursor(NK_CURSOR_WAIT);
    if (!CreateBinaryNKFFile()) {
        NKPrintError("Error creating NKF export file");
        m_File.Abandon();
        NKSetStatusText("Error.");
        SetInteractionCursor(iPreviousCursor);
        return false;
    }
    struct Step {
        bool bOn;
        bool (NKFExporter::*pfnStep)();
        const char *pszStatus;
        const char *pszError;
    } steps[] = {
        {m_Settings.bGeometry, &NKFExporter::ExportGeometry, "Exporting Geometries...",
         "Error exporting geometry to NKF file"},
        {m_Settings.bResults, &NKFExporter::ExportResults, "Exporting Results...",
         "Error exporting results to NKF file"},
        {m_Settings.bTransformations, &NKFExporter::ExportTransformations,
         "Exporting Transformations...", "Error exporting transformations to NKF file"},
        {m_Settings.bViewpoint, &NKFExporter::ExportViewpoints, "Exporting Viewpoints...",
         "Error exporting viewpoint animation to NKF file"},
        {m_Settings.bVisibility, &NKFExporter::ExportVisibility,
         "Exporting visibility information ...",
         "Error exporting visibility information to NKF file"},
        {m_Settings.bPartAttributes, &NKFExporter::ExportPartAttributes,
         "Exporting Part Attributes...", "Error exporting part attributes to NKF file"},
        {m_Settings.bGlobalSettings, &NKFExporter::ExportSettings, "Exporting Quolin Settings...",
         "Error exporting Quolin settings to NKF file"},
        {true, &NKFExporter::ExportItems, "Exporting Items...",
         "Error exporting Items to NKF file"},
        {true, &NKFExporter::ExportTextures, "Exporting Textures...",
         "Error exporting textures to NKF file"},
    };
    bool bOk = true;
    for (const Step &step : steps)
        if (bOk && step.bOn) bOk = RunStep(step.pfnStep, step.pszStatus, step.pszError);
    bOk = Finish(bOk);
    SetInteractionCursor(iPreviousCursor);
    return bOk;
}

// Makes every step of the open data source a frame and shows result iScalar
// or iVector (1-based; 0 none).
static bool ShowResults(int iScalar, int iVector, int iNumSteps)
{
    NKString state = (iScalar == 0 && iVector == 0)
                         ? NKString("readstate 1")
                         : NKString::FromFormat("readstate 1 %d %d", iScalar, iVector);
    if (NKRunCommandLine(state.GetText()) != 0) return false;
    // The animation set-up takes two steps or more; the state just read is
    // the whole of a model of one step.
    if (iNumSteps < 2) return true;
    NKString anim = NKString::FromFormat("animresults 1 %d 1", iNumSteps);
    return NKRunCommandLine(anim.GetText()) == 0;
}

bool NKFExporter::ExportNKFResultDatabase(bool bExtras)
{
    int iPreviousCursor = SetInteractionCursor(NK_CURSOR_WAIT);
    int iSteps = m_Source.iNumSteps;
    int iScalars = m_Source.iNumScalars;
    int iVectors = m_Source.iNumVectors;
    bool bOk = CreateBinaryNKFFile();
    if (!bOk) NKPrintError("Error creating NKF export file");
    if (bOk) {
        NKSetStatusText("Exporting Geometries...");
        bOk = ShowResults(0, 0, iSteps) && ExportGeometry();
        if (!bOk) NKPrintError("Error exporting geometry to NKF file");
    }
    for (int i = 1; bOk && i <= iScalars; i++) {
        NKSetStatusText(
            NKString::FromFormat("Exporting Scalar Result %d of %d...", i, iScalars).GetText());
        bOk = ShowResults(i, 0, iSteps) && ExportScalarResults();
        if (!bOk) NKPrintError("Error exporting scalar result to NKF file");
    }
    for (int i = 1; bOk && i <= iVectors; i++) {
        NKSetStatusText(
            NKString::FromFormat("Exporting Vector Result %d of %d...", i, iVectors).GetText());
        bOk = ShowResults(0, i, iSteps) && ExportVectorResults();
        if (!bOk) NKPrintError("Error exporting vector result to NKF file");
    }
    if (bOk && bExtras) {
        if (m_Settings.bPartAttributes)
            bOk = RunStep(&NKFExporter::ExportPartAttributes, "Exporting Part Attributes...",
                          "Error exporting part attributes to NKF file");
        if (bOk && m_Settings.bGlobalSettings)
            bOk = RunStep(&NKFExporter::ExportSettings, "Exporting Quolin Settings...",
                          "Error exporting Quolin settings to NKF file");
        bOk = bOk && RunStep(&NKFExporter::ExportItems, "Exporting Items...",
                             "Error exporting Items to NKF file");
        bOk = bOk && RunStep(&NKFExporter::ExportTextures, "Exporting Textures...",
                             "Error exporting textures to NKF file");
    }
    bOk = Finish(bOk);
    SetInteractionCursor(iPreviousCursor);
    return bOk;
}

bool GetNKFFileKind(const char *pszFileName)
{
    if (pszFileName == nullptr) return false;
    FILE *pFile = NKOpenRegularFile(pszFileName);
    if (pFile == nullptr) return false;
    unsigned char b[24];
    size_t n = std::fread(b, 1, sizeof(b), pFile);
    std::fclose(pFile);
    if (n < sizeof(b)) return false;
    if (std::memcmp(b, NKF_ASCII_HEADER_PREFIX, 5) == 0) return true;
    const int32_t aiMagic[3] = {NKF_MAGIC_WORD1, NKF_MAGIC_WORD2, NKF_MAGIC_WORD3};
    bool bLittle = true, bBig = true;
    for (int i = 0; i < 3; i++) {
        const unsigned char *p = b + 4 * i;
        uint32_t uLittle = p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24);
        uint32_t uBig = ((uint32_t)p[0] << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
        bLittle = bLittle && (int32_t)uLittle == aiMagic[i];
        bBig = bBig && (int32_t)uBig == aiMagic[i];
    }
    return bLittle || bBig;
}

bool NKFPartIsFaceSet(const NKPart *pPart)
{
    return pPart->iNumPolygons > 0 && pPart->iNumElements == 0;
}

int NKFCountVisibleParts(const NKGeometry *pGeo)
{
    int n = 0;
    for (int p = 0; pGeo != nullptr && p < pGeo->iNumParts; p++)
        if (pGeo->pParts[p].bVisible) n++;
    return n;
}

int NKFVisiblePartIndex(const NKGeometry *pGeo, int iPart)
{
    if (pGeo == nullptr || iPart < 0 || iPart >= pGeo->iNumParts) return -1;
    if (!pGeo->pParts[iPart].bVisible) return -1;
    int n = 0;
    for (int p = 0; p < iPart; p++)
        if (pGeo->pParts[p].bVisible) n++;
    return n;
}

int NKFCountRealFrames(void)
{
    int n = 0;
    for (int f = 0; f < g_pModel->iNumFrames; f++)
        if (!g_pModel->pFrames[f].bInterpolated) n++;
    return n;
}

bool NKFAnimationIndexSet(void)
{
    return g_pModel->iModeNegativeSteps > 0 || g_pModel->iModePositiveSteps > 0;
}

bool NKFNodeIDsValid(const NKPart *pPart)
{
    if (pPart->pNodeIDs == nullptr) return false;
    for (int n = 0; n < pPart->iNumNodes; n++)
        if (pPart->pNodeIDs[n] < 0) return false;
    return true;
}
