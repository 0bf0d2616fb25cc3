// export/nk_image_commands.cpp -- the capture, render-to-file and
// clipboard commands: format flags, default names and sizes, the checks
// and the messages around NKSaveSceneImage and NKCopySceneToClipboard.
#include "export/nk_image_commands.h"

#include "commands/nk_argument_scan.h"
#include "commands/nk_command.h"
#include "commands/nk_command_messages.h"
#include "commands/nk_open_commands.h"
#include "core/nk_file_read.h"
#include "core/nk_message.h"
#include "core/nk_view_state.h"
#include "export/nk_image.h"
#include "export/nk_movie_commands.h"
#include "export/nk_offscreen.h"
#include "export/nk_scene_export.h"

namespace {

const char kProductName[] = "Quolin";

struct ImageRow {
    int iCommandID;
    uint32_t uFlags;
};

const ImageRow kImageRows[] = {
    {NK_CID_CAPTPPM, NK_IMAGE_CAPTURE | NK_IMAGE_PPM},
    {NK_CID_CAPTRGB, NK_IMAGE_CAPTURE | NK_IMAGE_RGB},
    {NK_CID_CAPTTIFF, NK_IMAGE_CAPTURE | NK_IMAGE_TIFF},
    {NK_CID_CAPTGIF, NK_IMAGE_CAPTURE | NK_IMAGE_GIF},
    {NK_CID_CAPTEPS, NK_IMAGE_CAPTURE | NK_IMAGE_EPS},
    {NK_CID_TOPPM, NK_IMAGE_PPM},
    {NK_CID_TORGB, NK_IMAGE_RGB},
    {NK_CID_TOTIFF, NK_IMAGE_TIFF},
    {NK_CID_TOBMP, NK_IMAGE_BMP},
    {NK_CID_TOGIF, NK_IMAGE_GIF},
    {NK_CID_TOEPS, NK_IMAGE_EPS},
};

// The size words of a rendering command: a word of 0 is refused here (the
// parser would take the default for it), the rest goes to
// NKParseSizeArguments with the view's size as default. False (reported)
// for invalid sizes.
bool ReadImageSize(CommandTableEntry *pEntry, NKArgumentScan *pScan, int *piWidth, int *piHeight)
{
    const NKString rest = pScan->Rest();
    NKArgumentScan check(rest.GetText());
    bool bZero = false;
    for (int i = 0; i < 2; i++) {
        NKString word = check.NextToken();
        if (!word.IsNull() && !word.IsEmpty() && word.GetAt(0) != '*' && word.ToInt() == 0)
            bZero = true;
    }
    const int kNoPreset = 2147483647;
    if (bZero || NKParseSizeArguments(pScan, NKViewWindowSize.iWidth, NKViewWindowSize.iHeight,
                                      piWidth, piHeight, true, kNoPreset, kNoPreset) == 3) {
        NKCommandError(pEntry, "Invalid dimensions specified for image");
        return false;
    }
    return true;
}

int SaveImage(CommandTableEntry *pEntry, NKArgumentScan *pScan, uint32_t uFlags)
{
    NKString file = pScan->NextArgument();
    if (file.IsNull() || file.IsEmpty())
        file =
            NKString::FromFormat("%s.%s", kProductName, NKImageFormatNames(uFlags, true).GetText());
    const bool bCapture = (uFlags & NK_IMAGE_CAPTURE) != 0;
    int w = NKViewWindowSize.iWidth, h = NKViewWindowSize.iHeight;
    if (!bCapture && !ReadImageSize(pEntry, pScan, &w, &h)) return 1;
    NKPrintInfo(NKImageSaveMessage(bCapture, false, uFlags, file.GetText(), w, h).GetText());
    const int iStatus =
        NKSaveSceneImage(-1, w, h, uFlags, file.GetText(), nullptr, nullptr, nullptr);
    if (iStatus != NK_IMAGE_OK) {
        NKCommandError(pEntry, NKImageErrorText(iStatus).GetText());
        if (iStatus == -4 || iStatus == -5)
            NKPrintFileProblem(file.GetText(), NKWriteProblem(file.GetText()).c_str());
        return 1;
    }
    NKPrintInfo("Image saved.");
    return 0;
}

int CopyToClipboard(CommandTableEntry *pEntry, NKArgumentScan *pScan)
{
    int w = 0, h = 0;
    if (!ReadImageSize(pEntry, pScan, &w, &h)) return 1;
    if (!NKCopySceneToClipboard(w, h, nullptr, nullptr)) {
        NKCommandError(pEntry, "Unable to render scene to clipboard");
        return 1;
    }
    NKPrintInfo(
        NKString::FromFormat("Scene rendered to clipboard  (Image size: %d*%d pixels).", w, h)
            .GetText());
    return 0;
}

}  // namespace

int NKCommandHandleImageFiles(CommandTableEntry *pEntry, const char *pszArguments)
{
    NKArgumentScan scan(pszArguments);
    scan.NextToken();  // "PARAMS"
    if (pEntry->id == NK_CID_TOCLIPBOARD) return CopyToClipboard(pEntry, &scan);
    for (const ImageRow &row : kImageRows)
        if (row.iCommandID == pEntry->id) return SaveImage(pEntry, &scan, row.uFlags);
    const int iResult = NKCommandHandleMovieFiles(pEntry, pszArguments);
    if (iResult != 3) return iResult;
    return NKCommandHandleSceneExport(pEntry, pszArguments);
}

void NKRegisterImageCommands(void) { NKSetImageCommandHandler(NKCommandHandleImageFiles); }
