// commands/nk_export_commands.cpp -- `export` and its NKF sub-commands in
// the file-command handler: each id is handed on unchanged to the NKF
// export's ExportCommand (nkf/nkf_export.h) with the argument text and
// the open data source's counts, which the NKF writers need.
// `export stl` and `export plot` are not NKF sub-commands and stay with
// their own writers.
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_table.h"
#include "core/nk_data_source_kind.h"
#include "nkf/nkf_export.h"
#include "readers/nk_data_source.h"
#include "readers/nk_output3d.h"

namespace {

NKFSourceCounts SourceCounts(void)
{
    NKFSourceCounts source;
    source.iNumSteps = NKGetInterfaceNumSteps();
    source.iNumScalars = NKGetInterfaceNumScalars();
    source.iNumVectors = NKGetInterfaceNumVectors();
    source.iNumReservoirOverlays = NKGetNumReservoirOverlays();
    source.iNumTransformations = NKGetInterfaceNumTransformations();
    return source;
}

}  // namespace

int NKCommandHandleExportRows(CommandTableEntry *pEntry, const char *pszArguments)
{
    static const struct {
        int iCommandID;
        int iExportID;
    } kRows[] = {
        {NK_CID_EXPORT, NKF_EXPORT_SHOW},
        {NK_CID_EXPORT_GEOMETRY, NKF_EXPORT_GEOMETRY},
        {NK_CID_EXPORT_RESULTS, NKF_EXPORT_RESULTS},
        {NK_CID_EXPORT_TRANSFORMATIONS, NKF_EXPORT_TRANSFORMATIONS},
        {NK_CID_EXPORT_PARTATTRIBUTES, NKF_EXPORT_PARTATTRIBUTES},
        {NK_CID_EXPORT_QUOLINSETTINGS, NKF_EXPORT_QUOLINSETTINGS},
        {NK_CID_EXPORT_SCALARSETTINGS, NKF_EXPORT_SCALARSETTINGS},
        {NK_CID_EXPORT_VECTORSETTINGS, NKF_EXPORT_VECTORSETTINGS},
        {NK_CID_EXPORT_VIEWPOINT, NKF_EXPORT_VIEWPOINT},
        {NK_CID_EXPORT_CUTPLANE, NKF_EXPORT_CUTPLANE},
        {NK_CID_EXPORT_ISOSURFACE, NKF_EXPORT_ISOSURFACE},
        {NK_CID_EXPORT_TRACES, NKF_EXPORT_TRACES},
        {NK_CID_EXPORT_NODEPLOTS, NKF_EXPORT_NODEPLOTS},
        {NK_CID_EXPORT_STARTANIMATION, NKF_EXPORT_STARTANIMATION},
        {NK_CID_EXPORT_VISIBLEPARTSONLY, NKF_EXPORT_VISIBLEPARTSONLY},
        {NK_CID_EXPORT_NKF, NKF_EXPORT_NKF},
    };
    for (const auto &row : kRows)
        if (row.iCommandID == pEntry->id)
            return ExportCommand(row.iExportID, pszArguments, SourceCounts());
    return NK_CMD_NOT_MINE;
}
