// nkf/nkf_export_command.cpp -- the `export` command family: the listing
// and the switches of the NKF export settings, and `export nkf`, which
// writes one file (see nkf_export.h). The command handler of the file
// commands (commands/) hands each sub-command here by its NKFExportCommandID.
#include "core/nk_message.h"
#include "nkf/nkf_export.h"

namespace {

const char *OnOff(bool b) { return b ? "On" : "Off"; }

// The settings a switch command sets and the text it reports.
struct ExportSwitchRow {
    int iCommand;
    bool NKFExportSettings::*pSwitch;
    const char *pszText;
};

const ExportSwitchRow kSwitches[] = {
    {NKF_EXPORT_GEOMETRY, &NKFExportSettings::bGeometry, "Export of geometry tured "},
    {NKF_EXPORT_RESULTS, &NKFExportSettings::bResults, "Export of results tured "},
    {NKF_EXPORT_TRANSFORMATIONS, &NKFExportSettings::bTransformations,
     "Export of transformations tured "},
    {NKF_EXPORT_PARTATTRIBUTES, &NKFExportSettings::bPartAttributes,
     "Export of part attributes tured "},
    {NKF_EXPORT_QUOLINSETTINGS, &NKFExportSettings::bGlobalSettings,
     "Export of global Quolin settings tured "},
    {NKF_EXPORT_SCALARSETTINGS, &NKFExportSettings::bScalarSettings,
     "Export of scalar settings tured "},
    {NKF_EXPORT_VECTORSETTINGS, &NKFExportSettings::bVectorSettings,
     "Export of vector settings tured "},
    {NKF_EXPORT_VIEWPOINT, &NKFExportSettings::bViewpoint, "Export of view point tured "},
    {NKF_EXPORT_CUTPLANE, &NKFExportSettings::bCutPlanes, "Export of cutplanes tured "},
    {NKF_EXPORT_ISOSURFACE, &NKFExportSettings::bIsoSurfaces, "Export of iso surfaces tured "},
    {NKF_EXPORT_TRACES, &NKFExportSettings::bNodeTraces, "Export of node traces tured "},
    {NKF_EXPORT_NODEPLOTS, &NKFExportSettings::bNodePlots, "Export of node plot tured "},
    {NKF_EXPORT_STARTANIMATION, &NKFExportSettings::bStartAnimation,
     "Auto-start of animation when loading NKF file tured "},
    {NKF_EXPORT_VISIBLEPARTSONLY, &NKFExportSettings::bVisiblePartsOnly,
     "Export of visible parts only turned  "},
};

void ShowSettings(const NKFExportSettings &s)
{
    const struct {
        const char *pszLabel;
        bool bOn;
    } lines[] = {{"- Geometry: ", s.bGeometry},
                 {"- Results: ", s.bResults},
                 {"- Part Attributes: ", s.bPartAttributes},
                 {"- Quolin Settings: ", s.bGlobalSettings},
                 {"- Scalar Settings: ", s.bScalarSettings},
                 {"- Vector Settings: ", s.bVectorSettings},
                 {"- ViewPoint: ", s.bViewpoint},
                 {"- Cutplane: ", s.bCutPlanes},
                 {"- Iso Surface: ", s.bIsoSurfaces},
                 {"- Node Traces: ", s.bNodeTraces},
                 {"- Node Plots: ", s.bNodePlots},
                 {"- Visible Parts Only: ", s.bVisiblePartsOnly}};
    NKPrintInfo("Current export settings:");
    for (const auto &line : lines)
        NKPrintInfo((NKString(line.pszLabel) + OnOff(line.bOn)).GetText());
}

// "export nkf" file [ALL | ALLDATA]. A failed ALL or ALLDATA reports the
// file as a plain export does and writes nothing more.
int ExportFile(NKString *pArgs, const NKFSourceCounts &source)
{
    NKString name = pArgs->GetNextToken(NK_TOKEN_BLANK_QUOTED);
    // A quoted name leaves the scan on the blank after its closing quote.
    pArgs->SkipScanChar(' ');
    NKString mode = pArgs->GetNextToken(NK_TOKEN_BLANK_QUOTED);
    mode.MakeUpper();
    NKString trimmed = name;
    trimmed.Trim();
    if (!trimmed.IsEmpty()) {
        NKFExporter naming;
        naming.SetFileName(name.GetText());
        g_NKFExportSettings.szFileName = naming.Settings().szFileName;
    }
    NKFExporter exporter;
    exporter.SetSourceCounts(source);
    const char *pszFile = exporter.Settings().szFileName.GetText();
    bool bAll = mode == "ALL", bAllData = mode == "ALLDATA";
    bool bOk =
        (bAll || bAllData) ? exporter.ExportNKFResultDatabase(bAll) : exporter.ExportNKFFile();
    if (!bOk) {
        NKPrintInfo(NKString::FromFormat("Error exporting to file: %s", pszFile).GetText());
        return 1;
    }
    NKPrintInfo(NKString::FromFormat((bAll || bAllData)
                                         ? "Successful export of entire result database to file: %s"
                                         : "Successful export to file: %s",
                                     pszFile)
                    .GetText());
    return 0;
}

}  // namespace

int ExportCommand(int iCommand, const char *pszArguments, const NKFSourceCounts &source)
{
    NKString args(pszArguments != nullptr ? pszArguments : "");
    args.GetFirstToken(NK_TOKEN_BLANK_QUOTED);  // "PARAMS"
    if (iCommand == NKF_EXPORT_SHOW) {
        ShowSettings(g_NKFExportSettings);
        return 0;
    }
    if (iCommand == NKF_EXPORT_NKF) return ExportFile(&args, source);
    for (const ExportSwitchRow &row : kSwitches) {
        if (row.iCommand != iCommand) continue;
        NKString word = args.GetNextToken(NK_TOKEN_BLANK_QUOTED);
        word.MakeUpper();
        bool bOn = word == "ON";
        g_NKFExportSettings.*row.pSwitch = bOn;
        NKPrintInfo((NKString(row.pszText) + OnOff(bOn)).GetText());
        return 0;
    }
    NKPrintError("Export, unknown sub command.");
    return 1;
}
