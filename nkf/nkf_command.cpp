// nkf/nkf_command.cpp -- the nkf command and the insertion of one step's
// geometry into the model frames (see nkf_command.h).
//
// Sub-commands: "open" <file>, "close", "geo"/"geometry" [<ID> [<step>]],
// "scalar" [<ID> [<from> [<to>]]] (nkf_command_scalar.cpp) and any word
// starting with "int" [<ID>] for internal strings. Steps on the command line
// count from 1. A geometry entry of the *QUOLINGEOMETRY block covers the run
// of model steps up to the next entry's number; reading the whole block puts
// one geometry per entry into the frames of the steps it covers. Any other
// word is refused, the table's "visibility" among them:
// no action in this program: nkf visibility
#include "nkf/nkf_command.h"

#include "core/nk_load_hooks.h"
#include "core/nk_memory.h"
#include "core/nk_mesh.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_progress.h"
#include "core/nk_text_utils.h"
#include "nkf/nkf_block.h"
#include "nkf/nkf_elements.h"
#include "nkf/nkf_format.h"
#include "nkf/nkf_geometry_block.h"
#include "nkf/nkf_import.h"
#include "nkf/nkf_reader.h"
#include "nkf/nkf_step_lists.h"

namespace {

// Reads an optional integer word; false (reported) for a word that is not
// a number. An empty word leaves *piValue.
bool OptionalInt(const NKString &word, int *piValue)
{
    if (word.IsEmpty()) return true;
    if (NKParseInt(word.GetText(), piValue) && word.IsNumber()) return true;
    NKPrintError(NKString::FromFormat("Numerical parameter expected. \"%s\" is not a number.",
                                      word.GetText())
                     .GetText());
    return false;
}

const char *kNoFileOpen = "No NKF file currently open.  Use the command \"nkf open <filename>\" "
                          "first to open a NKF file.";

// The largest step number of the geometry block's entries (the model steps
// it covers), 0 without entries.
int LastStepNumber(const NKFQuolinGeometryBlock *pBlock)
{
    int iLast = 0;
    for (int i = 0; i < pBlock->GetNumSteps(); i++)
        if (pBlock->GetStepNumber(i) > iLast) iLast = pBlock->GetStepNumber(i);
    return iLast;
}

// Inserts the geometry of model step iStep into frames iStep..iLastFrame.
bool InsertGeometryRange(NKFQuolinGeometryBlock *pBlock, int iStep, int iLastFrame)
{
    NKGeometry *pGeo = NKFConvertGeometry(pBlock, iStep);
    if (pGeo == nullptr) return false;
    NKSetStatusText("Inserting geometry...");
    if (!ComputeGeometryData(pGeo, iStep, iLastFrame, -1, 0)) {
        NKPrintError("Error inserting NKF geometry info Quolin.");
        return false;
    }
    NKSetDefaultPartAttributes(pGeo, -1, -1);
    NKSetStatusText("Updating geometry...");
    return NKRefreshMenusForModel();
}

// Inserts the geometries of the steps: one step (iOnly >= 0) or every model
// step the block covers, one geometry per entry for the steps it covers.
bool InsertSteps(NKFQuolinGeometryBlock *pBlock, int iOnly)
{
    int iFirst = iOnly >= 0 ? iOnly : 0;
    int iLast = iOnly >= 0 ? iOnly : LastStepNumber(pBlock) - 1;
    NKBeginProgressBar(iLast - iFirst + 1, "Reading geometries from NKF file...");
    bool bOk = true;
    for (int s = iFirst; s <= iLast && bOk; s++) {
        NKSetProgress(s - iFirst, nullptr);
        if (NKFFindStepIndex(s, pBlock->GetStepNumbers(), pBlock->GetNumSteps()) < 0) continue;
        int e = s;
        while (iOnly < 0 && e < iLast && !pBlock->StepsDiffer(s, e + 1)) e++;
        if (!InsertGeometryRange(pBlock, s, e)) {
            NKPrintError("Error reading geometry from NKF file");
            bOk = false;
        }
        s = e;
    }
    NKEndProgressBar(bOk ? "Done." : "Error occurred.");
    return bOk;
}

int CommandOpen(NKString rest)
{
    rest.Trim();
    NKString name = rest.GetAt(0) == '"' ? NKFBlock::ReadQuoted(rest) : rest;
    if (!NKFIInitInterface(name.GetText())) return 1;
    return NKRunCommandLine("nkf geo") == 0 ? 0 : 1;
}

int CommandGeometry(NKString rest)
{
    int iID = 1, iStep = -1;
    if (!OptionalInt(rest.GetFirstWord(), &iID) || !OptionalInt(rest.GetNextWord(), &iStep))
        return 1;
    NKWaitCursor cursor;
    NKFReader *pParser = NKFGetReader();
    if (pParser == nullptr) {
        NKPrintError(kNoFileOpen);
        return 1;
    }
    NKFQuolinGeometryBlock *pBlock =
        dynamic_cast<NKFQuolinGeometryBlock *>(pParser->FindBlock(NKF_QUOLINGEOMETRY, iID));
    if (pBlock == nullptr) {
        NKPrintError(NKString::FromFormat("Geometry block (*QUOLINGEOMETRY) with blockid = %d not "
                                          "found in NKF file.",
                                          iID)
                         .GetText());
        return 1;
    }
    if (!pBlock->LoadData()) return 1;
    if (!ResetStateBeforeLoad(pParser->GetFileName().GetText())) return 1;
    if (!InsertSteps(pBlock, iStep >= 1 ? iStep - 1 : -1)) return 1;
    RefreshAfterLoad(nullptr);
    NKPrintInfo("Geometry read from NKF file.");
    return 0;
}

int CommandInternalString(NKString rest)
{
    if (NKFGetReader() == nullptr) {
        NKPrintError("No NKF file open");
        return 1;
    }
    NKFReader *pParser = NKFGetReader();
    int n = pParser->GetNumBlocks(NKF_INTERNALSTRING);
    if (n == 0) NKPrintWarning("No internal string blocks present in NKF file");
    NKString word = rest.GetFirstWord();
    if (word.IsEmpty()) {
        NKString list("Internal string blocks found in file");
        for (int i = 0; i < n; i++)
            list += NKString::FromFormat("\n   ID: %d",
                                         pParser->GetBlock(NKF_INTERNALSTRING, i)->GetBlockID());
        NKPrintInfo(list.GetText());
        return 0;
    }
    int iID = 0;
    if (!OptionalInt(word, &iID)) return 1;
    if (iID == 99999) {
        NKFVersionInfo info;
        if (!NKFReadVersionInfo(&info)) {
            NKPrintError("Error parsing export info string");
            return 0;
        }
        NKPrintInfo((NKString("App: ") + info.title).GetText());
        NKPrintInfo(
            NKString::FromFormat("Version: %s-%d", info.version.GetText(), info.iBuild).GetText());
        NKPrintInfo(NKString::FromFormat("Export time/date: %s %s", info.time.GetText(),
                                         info.date.GetText())
                        .GetText());
        return 0;
    }
    NKString text;
    if (!NKFGetInternalString(iID, &text)) {
        NKPrintError("Unable to get block with specified ID");
        return 1;
    }
    NKPrintInfo(text.GetText());
    return 0;
}

}  // namespace

int NKFCommand(const char *pszArguments)
{
    NKString arguments(pszArguments != nullptr ? pszArguments : "");
    arguments.GetFirstWord();  // the word in front of the arguments
    NKString sub = arguments.GetNextWord();
    NKString rest = arguments.GetRest();
    if (sub == "open") return CommandOpen(rest);
    if (sub == "close") {
        NKFCloseInterface();
        return 0;
    }
    if (sub == "geo" || sub == "geometry") return CommandGeometry(rest);
    if (sub == "scalar") return NKFCommandScalar(rest);
    if (sub.Left(3) == "int") return CommandInternalString(rest);
    NKPrintError((NKString("Illegal NKF sub command : ") + sub + ".").GetText());
    return 1;
}

bool NKFInsertGeometry(NKFQuolinGeometryBlock *pBlock, int iStep)
{
    return pBlock != nullptr && InsertGeometryRange(pBlock, iStep, iStep);
}

NKGeometry *NKFConvertGeometry(NKFQuolinGeometryBlock *pBlock, int iStep)
{
    if (pBlock == nullptr) return nullptr;
    int iCount = 0;
    NKIndexedFaceSet *pSets = pBlock->NKReadGeometryParts(&iCount, iStep);
    if (pSets == nullptr || iCount < 1 || pBlock->GetNumParts(iStep) < 1) {
        for (int i = 0; pSets != nullptr && i < iCount; i++) NKFreePolygonMesh(&pSets[i]);
        NKFree(pSets);
        NKPrintError(
            "No nonempty indexed face sets or element blocks found in QUOLINGEOMETRY block");
        return nullptr;
    }
    bool bOk = NKFApplyGlobalVisibility(pBlock, iStep, pSets, iCount);
    NKGeometry *pGeo = bOk ? NKFCreateGeometry(pBlock, iStep, pSets, iCount) : nullptr;
    for (int i = 0; i < iCount; i++) NKFreePolygonMesh(&pSets[i]);
    NKFree(pSets);
    if (pGeo == nullptr) {
        if (bOk) NKPrintError("Error converting NKF geometry to Quolin geometry.");
        return nullptr;
    }
    pGeo->szDescription =
        pBlock->GetName().IsEmpty() ? pBlock->GetDescription() : pBlock->GetName();
    NKSetStatusText("Done.");
    return pGeo;
}

bool NKFApplyGlobalVisibility(NKFQuolinGeometryBlock *pBlock, int iStep, NKIndexedFaceSet *pSets,
                              int iCount)
{
    NKFReader *pParser = NKFGetReader();
    NKFQuolinVisibilityBlock *pVisibility =
        pParser != nullptr
            ? dynamic_cast<NKFQuolinVisibilityBlock *>(pParser->GetBlock(NKF_QUOLINVISIBILITY, 0))
            : nullptr;
    if (pVisibility == nullptr) return true;
    NKBeginProgressBar(iCount, "Updating global visibility...");
    bool bOk = true;
    for (int i = 0; i < iCount && bOk; i++) {
        NKSetProgress(i, nullptr);
        int iElementBlock = pBlock->GetPartElementBlockId(iStep, i);
        Elements *pElements =
            iElementBlock >= 0
                ? dynamic_cast<Elements *>(pParser->FindBlock(NKF_ELEMENTS, iElementBlock))
                : nullptr;
        if (pElements == nullptr) continue;
        int iValues = 0;
        uint8_t *pcValues = nullptr;
        if (!pVisibility->ComputeElementVisibility(pElements, &iValues, &pcValues)) continue;
        NKIndexedFaceSet *pSet = &pSets[i];
        if (pSet->pbVisibility == nullptr && pSet->iNumPolygons > 0) {
            pSet->pbVisibility = static_cast<unsigned char *>(NKCalloc(pSet->iNumPolygons, 1));
            bOk = pSet->pbVisibility != nullptr;
        }
        for (int j = 0; bOk && j < pSet->iNumPolygons; j++) {
            int iElement = pSet->piPolygonElement != nullptr ? pSet->piPolygonElement[j] : -1;
            bool bHidden = iElement >= 0 && iElement < iValues && pcValues[iElement] >= 1;
            pSet->pbVisibility[j] = bHidden ? 1 : 0;
        }
        NKFree(pcValues);
    }
    NKEndProgressBar("Done.");
    return bOk;
}
