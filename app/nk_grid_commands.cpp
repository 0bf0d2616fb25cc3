// app/nk_grid_commands.cpp -- the test-grid commands (see
// nk_system_topics.h): grid2d writes a flat grid as a binary geometry file
// and reads it with readgeo; grid3d writes a block of hexahedra with
// results as an NKF file and opens it. The files themselves are written by
// the geometry writers and the NKF export.
#include <cstdlib>

#include "app/nk_system_topics.h"
#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_command_path.h"
#include "commands/nk_command_table.h"
#include "core/nk_file.h"
#include "core/nk_geometry_writers.h"
#include "core/nk_math.h"
#include "core/nk_message.h"
#include "nkf/nkf_export.h"

namespace {

// "grid2d nx ny dx dy [file]": counts outside 1..1000 become 5 and zero
// spacings 1.0. The writer reports its own failures.
int CommandGrid2D(NKArgumentScan *pScan)
{
    int aiCount[2] = {0, 0};
    float afSpacing[2] = {1.0f, 1.0f};
    for (int i = 0; i < 4; i++) {
        NKString token = pScan->NextToken();
        if (token.IsEmpty()) break;
        if (i < 2)
            aiCount[i] = std::atoi(token.GetText());
        else
            // A spacing that is no finite number counts as 0 (and becomes 1.0).
            afSpacing[i - 2] =
                NKWordToFloat(token.GetText(), &afSpacing[i - 2]) ? afSpacing[i - 2] : 0.0f;
    }
    for (int i = 0; i < 2; i++) {
        if (aiCount[i] < 1 || aiCount[i] > 1000) aiCount[i] = 5;
        if (NKFloatsEqual(afSpacing[i], 0.0f)) afSpacing[i] = 1.0f;
    }
    NKString file = pScan->NextArgument();
    if (file.IsEmpty()) file = "2dgrid.geo";
    NKString line;
    if (!NKPathCommandLine("readgeo", file.GetText(), &line)) return 1;
    if (!NKWriteGridGeometryFile(aiCount[0], aiCount[1], afSpacing[0], afSpacing[1],
                                 file.GetText()))
        return 1;
    NKPrintInfo(NKString::FromFormat("Generating 2dgrid (%dx%d) on file: %s", aiCount[0],
                                     aiCount[1], file.GetText())
                    .GetText());
    return ExecuteCommand(line.GetText());
}

// "grid3d [nx [ny [nz [scalars [vectors]]]]] [file]": a missing number keeps
// its default (10 x 10 x 10, one scalar and one vector result).
int CommandGrid3D(CommandTableEntry *pEntry, const char *pszArguments)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    int aiValues[5] = {10, 10, 10, 1, 1};
    if (!params.NKGetFirstParameterInt(&aiValues[0], false, NK_PARAM_NO_RANGE, 0)) return 1;
    for (int i = 1; i < 5; i++)
        if (!params.NKGetParameterInt(&aiValues[i], false, NK_PARAM_NO_RANGE, 0)) return 1;
    NKString file("3dgrid.nkf");
    if (!params.NKGetParameterString(&file, false, NK_PARAM_STRING_TOKEN)) return 1;
    NKString line;
    if (!NKPathCommandLine("open", file.GetText(), &line)) return 1;
    NKFExporter exporter;
    exporter.SetFileName(file.GetText());
    if (!exporter.ExportGridGeometry(aiValues[0], aiValues[1], aiValues[2], aiValues[3],
                                     aiValues[4])) {
        NKCommandError(pEntry, "Error creating 3dgrid nkf file.");
        return 1;
    }
    return ExecuteUICommand(line);
}

}  // namespace

int NKHandleGridCommands(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    switch (pEntry->id) {
    case NK_CID_GRID2D:
        return CommandGrid2D(&scan);
    case NK_CID_GRID3D:
        return CommandGrid3D(pEntry, pszArguments);
    default:
        return NK_CMD_NOT_MINE;
    }
}
