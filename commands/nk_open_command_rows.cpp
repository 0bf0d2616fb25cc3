// commands/nk_open_command_rows.cpp -- the commands of the file-command
// handler that open models and data sources and read geometry and states:
// readgeometry, addgeometry, the open family, nkf, readvolume, loadview and
// readstate (see nk_command_files.h). The commands that read results into
// frames are in nk_result_command_rows.cpp.
//
// Each command parses its file name (a double-quoted name may hold blanks),
// does what goes around the load (cursor, messages, redraw) and leaves the
// load to nk_open_commands.h and the load sequence.
#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_files.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_command_params.h"
#include "commands/nk_command_path.h"
#include "commands/nk_command_table.h"
#include "commands/nk_open_commands.h"
#include "core/nk_file.h"
#include "core/nk_file_read.h"
#include "core/nk_file_report.h"
#include "core/nk_load_hooks.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_numeric.h"
#include "core/nk_progress.h"
#include "nkf/nkf_command.h"
#include "readers/nk_data_source.h"
#include "readers/nk_fem_reader.h"
#include "readers/nk_native_geometry.h"

namespace {

bool FileArgument(CommandTableEntry *pEntry, NKArgumentScan *pScan, NKString *pName)
{
    *pName = pScan->NextArgument();
    if (!pName->IsEmpty()) return true;
    NKCommandError(pEntry, "Cannot open file for reading. No filename specified");
    return false;
}

void Info(const char *pszFormat, const NKString &name)
{
    NKPrintInfo(NKString::FromFormat(pszFormat, name.GetText()).GetText());
}

int ReadGeometry(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name;
    if (!FileArgument(pEntry, pScan, &name)) return 1;
    NKWaitCursor cursor;
    NKSetStatusText("Reading geometry from MOVIE.BYU file...");
    if (!NKCommandReadGeometry(name.GetText()) || !NKRefreshMenusForModel()) return 1;
    RefreshAfterLoad(name.GetText());
    NKInvalidateView();
    Info("Geometry file %s loaded.", name);
    return 0;
}

int AddGeometry(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name;
    if (!FileArgument(pEntry, pScan, &name)) return 1;
    if (g_pModel == nullptr || g_pModel->iNumFrames != 1) {
        NKCommandError(pEntry,
                       "It is not possible to add an geometry after animation setup. Load a "
                       "single step, do the addgeom and then setup the animation.");
        return 1;
    }
    NKWaitCursor cursor;
    if (!NKCommandAddGeometry(name.GetText())) {
        NKCommandError(pEntry, "Error adding geometry file");
        return 1;
    }
    NKRefreshMenusForModel();
    NKInvalidateView();
    Info("Geometry from file %s added.", name);
    return 0;
}

// The open commands of one data-source kind.
int OpenKind(CommandTableEntry *pEntry, NKArgumentScan *pScan, int iKind, const char *pszInfo,
             bool bChangeDirectory)
{
    NKString name;
    if (!FileArgument(pEntry, pScan, &name)) return 1;
    if (bChangeDirectory) NKChangeToFileDirectory(name.GetText());
    if (!NKCommandOpenInterface(iKind, name.GetText())) return 1;
    NKInvalidateView();
    Info(pszInfo, name);
    return 0;
}

int Open(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name;
    if (!FileArgument(pEntry, pScan, &name)) return 1;
    NKOpenRequest request;
    request.fileName = name;
    if (!OpenFileAutoDetect(request)) return 1;
    Info("Primary file %s opened.", name);
    NKInvalidateView();
    return 0;
}

int OpenFemFile(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString interfaceName = pScan->NextToken();
    NKString file = pScan->Rest();
    int iStar = file.FindChar('*');
    if (iStar >= 0) file = file.Left(iStar);
    file.RemoveChar('"');
    file.Trim();
    if (interfaceName.IsEmpty()) {
        NKString list("Available FEM interfaces:\n");
        NKStringList *pNames = NKGetFEMInterfaceNames(true);
        for (int i = 0; i < NKGetNumFEMInterfaces() && pNames != nullptr; i++)
            list += NKString(i > 0 ? "\n" : "") + pNames->Get(i);
        delete pNames;
        NKPrintInfo(list.GetText());
        return 0;
    }
    int iID = NKGetFEMInterfaceIdByName(interfaceName.GetText());
    if (iID == NK_FEM_NO_INTERFACE) {
        NKCommandError(pEntry, "Unknown interface code specified");
        return 1;
    }
    if (file.IsEmpty()) {
        NKCommandError(pEntry, "Cannot open file for reading. No filename specified");
        return 1;
    }
    if (!NKCommandOpenInterface(iID, file.GetText())) return 1;
    NKInvalidateView();
    return 0;
}

// opennkfplot and openths: a plot source of its own.
int OpenPlotFile(CommandTableEntry *pEntry, const char *pszArguments, int iSource,
                 const char *pszInfo, const char *pszError)
{
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    NKString name;
    if (!params.NKGetFirstParameterString(&name, true, 0)) return 1;
    if (!NKPlotInterfaceInit(iSource, name.GetText())) {
        NKPrintError(NKString::FromFormat(pszError, name.GetText()).GetText());
        return 1;
    }
    NKInvalidateView();
    Info(pszInfo, name);
    return 0;
}

int ReadVolume(NKArgumentScan *pScan)
{
    NKString name = pScan->NextArgument();
    if (name.IsEmpty()) {
        NKPrintError("Error reading volume geometry. No filename.");
        return 1;
    }
    // An empty file would be read as a topology of no elements.
    const std::string why = NKInputFileProblem(name.GetText());
    if (!why.empty()) {
        NKPrintError("Error reading volume geometry.");
        NKPrintFileProblem(name.GetText(), why.c_str());
        return 1;
    }
    NKWaitCursor cursor;
    NKFileReport report(name.GetText());
    std::string whyNot;
    if (!NKReadElementTopology(name.GetText(), nullptr, &whyNot)) {
        NKPrintError("Error reading volume geometry.");
        report.Failed(whyNot.empty() ? nullptr : whyNot.c_str());
        return 1;
    }
    return 0;
}

int LoadView(NKArgumentScan *pScan)
{
    NKString name = pScan->NextArgument();
    if (name.IsEmpty()) name = "Quolin.vif";
    NKString line;
    if (NKPathCommandLine("source", name.GetText(), &line)) ExecuteCommand(line.GetText());
    return 0;
}

}  // namespace

int NKCommandHandleOpenRows(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    switch (pEntry->id) {
    case NK_CID_READGEOMETRY:
        return ReadGeometry(pEntry, &scan);
    case NK_CID_ADDGEOMETRY:
        return AddGeometry(pEntry, &scan);
    case NK_CID_READRESULTS:
        return OpenKind(pEntry, &scan, NK_INTERFACE_NATIVE, "Results file %s loaded.", true);
    case NK_CID_OPENRESULTSFILE:
        return OpenKind(pEntry, &scan, NK_INTERFACE_NATIVE, "Results file %s loaded.", false);
    case NK_CID_OPENDYNASTATEDB:
        return OpenKind(pEntry, &scan, NK_INTERFACE_LSDYNA, "LS-DYNA state database %s loaded.",
                        false);
    case NK_CID_OPENNKFFILE:
        return OpenKind(pEntry, &scan, NK_INTERFACE_NKF, "NKF file %s opened.", false);
    case NK_CID_OPENIESOUTPUT3D:
        return OpenKind(pEntry, &scan, NK_INTERFACE_RESERVOIR, "IES Ouput 3D file %s opened.",
                        false);
    case NK_CID_OPEN:
        return Open(pEntry, &scan);
    case NK_CID_OPENFEMFILE:
        return OpenFemFile(pEntry, &scan);
    case NK_CID_OPENFEMRESULTFILE:
    case NK_CID_OPENMARKINGGRID:
        return 0;
    case NK_CID_OPENNKFPLOT:
        return OpenPlotFile(pEntry, pszArguments, 3, "NKF formatted plot file %s opened.",
                            "Error opening NKF formatted plot file : %s");
    case NK_CID_OPENTHS:
        return OpenPlotFile(pEntry, pszArguments, 4, "MSC/DYTRAN THS file %s opened.",
                            "Error opening MSC/DYTRAN THS file : %s");
    case NK_CID_NKF: {
        int iResult = NKFCommand(pszArguments);
        if (iResult == 0) NKInvalidateView();
        return iResult;
    }
    case NK_CID_READVOLUME:
        return ReadVolume(&scan);
    case NK_CID_LOADVIEW:
        return LoadView(&scan);
    default:
        return NKCommandHandleStateRows(pEntry, &scan);
    }
}
