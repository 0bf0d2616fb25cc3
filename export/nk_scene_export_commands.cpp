// export/nk_scene_export_commands.cpp -- the scene-export rows of the file
// commands: `saveattributes`, `tovrml` and `export stl`. The image-file
// handler (nk_image_commands.h) passes them on here.
#include <cstdlib>

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_string.h"
#include "export/nk_scene_export.h"

namespace {

// `saveattributes [file]`: the writer gives its own error message.
int CommandSaveAttributes(NKArgumentScan *pScan)
{
    NKString name = pScan->NextArgument();
    if (name.IsEmpty()) name = NKString::FromFormat("%s.atr", "Quolin");
    NKPrintInfo(NKString::FromFormat("Saving attributes to file %s", name.GetText()).GetText());
    if (!NKWriteAttributeFile(name.GetText())) return NK_CMD_FAILED;
    NKPrintInfo(
        NKString::FromFormat("Recall current settings with source %s", name.GetText()).GetText());
    return NK_CMD_DONE;
}

// `tovrml [file] [frame index]`: the frame index is counted from 0.
int CommandToVRML(const CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    NKString name = pScan->NextArgument();
    if (name.IsEmpty()) name = NKString::FromFormat("%s.%s", "Quolin", "wrl");
    NKString frameWord = pScan->NextToken();
    int iFrame = frameWord.IsEmpty() ? -1 : atoi(frameWord.GetText());
    if (!NKWriteVRMLFile(name.GetText(), iFrame)) {
        NKCommandError(
            pEntry,
            NKString::FromFormat("Error writing scene to VRML file: %s", name.GetText()).GetText());
        return NK_CMD_FAILED;
    }
    NKPrintInfo(NKString::FromFormat("Scene written to VRML file: %s", name.GetText()).GetText());
    return NK_CMD_DONE;
}

// `export stl [file]`: the writer gives its own messages. A name in double
// quotes may hold blanks.
int CommandExportSTL(NKArgumentScan *pScan)
{
    NKString name = pScan->NextArgument();
    return NKWriteSTLFile(NKGetCurrentFrame(), name.GetText()) ? NK_CMD_DONE : NK_CMD_FAILED;
}

}  // namespace

int NKCommandHandleSceneExport(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    switch (pEntry->id) {
    case NK_CID_SAVEATTRIBUTES:
        return CommandSaveAttributes(&scan);
    case NK_CID_TOVRML:
        return CommandToVRML(pEntry, &scan);
    case NK_CID_EXPORT_STL:
        return CommandExportSTL(&scan);
    default:
        return NK_CMD_NOT_MINE;
    }
}
