// tools/nk_label_commands.cpp -- the label, labeltype, primitive and
// partprimitive rows of the annotation handler (nk_annotation_commands.h).
// Labels live in g_pUserPrimitives (nk_user_labels.h); the primitive body
// is NKPrimitiveCommand (nk_primitives_3d.h).
#include <algorithm>
#include <cstring>

#include "commands/nk_command.h"
#include "commands/nk_command_params.h"
#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_references.h"
#include "tools/nk_annotation_words.h"
#include "tools/nk_primitives_3d.h"
#include "tools/nk_user_labels.h"

namespace {

const char kIllegalID[] = "Illegal ID specification, ID must be >= 1";
const char kNoActive[] = "No label currently set active";
const char kNoParams[] = "No parameters specified";
const char kNoLabels[] = "No labels currently registered";
const char kIllegalParameter[] = "Illegal parameter specified";

NKString Format(const char *pszFormat, int i) { return NKString::FromFormat(pszFormat, i); }

int ShowActive(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    UserPrimitiveList *L = g_pUserPrimitives;
    if (w.Has(1)) {
        int iID = w.Int(1);
        if (iID < 1) return NKAnnotationFail(pEntry, kIllegalID);
        if (!L->SetCurrentByID(iID))
            return NKAnnotationFail(pEntry,
                                    "Unable to set label with specified ID active, ID not found");
    }
    UserPrimitive *p = L->Get(-1);
    if (p == nullptr) return NKAnnotationFail(pEntry, kNoActive);
    return NKAnnotationDone(
        NKString::FromFormat("Active label, ID: %d\n  type: %s\n  attachment: %s", p->m_iID,
                             p->GetTypeName(), p->GetAttachmentName())
            .GetText());
}

int ListLabels(void)
{
    UserPrimitiveList *L = g_pUserPrimitives;
    if (L->GetCount() == 0) return NKAnnotationDone(kNoLabels);
    std::string s = Format("Current labels (# %d)", L->GetCount()).GetText();
    for (int i = 0; i < L->GetCount(); i++) {
        UserPrimitive *p = L->Get(i);
        s += Format(i == L->GetCurrentIndex() ? "\n=%d: " : "\n  %d: ", p->m_iID).GetText();
        s += std::string("type: ") + p->GetTypeName() + ",  attachment: " + p->GetAttachmentName();
    }
    return NKAnnotationDone(s);
}

int AddLabel(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    int iID = -1;
    if (w.Has(1)) {
        iID = w.Int(1);
        if (iID < 1) return NKAnnotationFail(pEntry, kIllegalID);
    }
    int i = g_pUserPrimitives->Add(iID, true);
    if (i < 0)
        return NKAnnotationFail(pEntry, iID > 0 ? "Unable to add label, label with specified ID "
                                                  "probably exists"
                                                : "Unable to add label");
    UserPrimitive *p = g_pUserPrimitives->Get(i);
    if (p == nullptr) return NKAnnotationFail(pEntry, "Unexpected error occured");
    return NKAnnotationDone(Format("Label added with ID: %d", p->m_iID).GetText());
}

int DeleteLabel(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    UserPrimitiveList *L = g_pUserPrimitives;
    if (std::strcmp(w.Word(1), "all") == 0) {
        L->Clear();
        return NKAnnotationDone("All labels deleted");
    }
    if (L->GetCount() == 0) return NKAnnotationFail(pEntry, kNoLabels);
    if (!w.Has(1)) {
        int iID = L->GetCurrentID();
        if (iID < 0) return NKAnnotationFail(pEntry, kNoActive);
        if (!L->Delete(-1)) return NKAnnotationFail(pEntry, "Error deleting active label");
        return NKAnnotationDone(Format("Active label (ID %d) deleted", iID).GetText());
    }
    int iID = w.Int(1);
    if (iID < 1) return NKAnnotationFail(pEntry, kIllegalID);
    int i = L->FindByID(iID);
    if (i < 0)
        return NKAnnotationFail(pEntry, "Unable to delete label with specified ID, ID not found");
    if (!L->Delete(i)) return NKAnnotationFail(pEntry, "Error deleting label");
    return NKAnnotationDone("Label deleted");
}

int SetPosition(CommandTableEntry *pEntry, UserPrimitive *p, const NKAnnotationWords &w)
{
    if (!w.Has(1)) return NKAnnotationFail(pEntry, kNoParams);
    if (!w.NumbersOrMissing(1, 3)) return NKAnnotationFail(pEntry, kIllegalParameter);
    float v[3];
    p->GetPosition(v);
    for (int k = 0; k < 3; k++)
        if (w.Has(1 + k)) v[k] = w.Float(1 + k);
    float d[3] = {v[0], v[1], v[2]};
    ModelToDisplay(d);
    p->SetPosition3D(d);
    return NKAnnotationDone(
        NKString::FromFormat("Position of label %d set to (%g, %g, %g)", p->m_iID, v[0], v[1], v[2])
            .GetText());
}

int SetPosition2D(CommandTableEntry *pEntry, UserPrimitive *p, const NKAnnotationWords &w)
{
    if (!w.Has(1)) return NKAnnotationFail(pEntry, kNoParams);
    if (!w.NumbersOrMissing(1, 2)) return NKAnnotationFail(pEntry, kIllegalParameter);
    float v[3];
    p->GetPosition(v);
    float x = std::clamp(w.Float(1), -1.0f, 1.0f);
    float y = std::clamp(w.Has(2) ? w.Float(2) : v[1], -1.0f, 1.0f);
    p->SetPosition2D(x, y);
    return NKAnnotationDone(
        NKString::FromFormat("Relative 2D position of label %d set to (%g, %g)", p->m_iID, x, y)
            .GetText());
}

// label poly, element and node: the word parsed against the current
// geometry; the anchor keeps a reference to that geometry.
int Attach(CommandTableEntry *pEntry, UserPrimitive *p, const NKAnnotationWords &w)
{
    if (!w.Has(1)) return NKAnnotationFail(pEntry, kNoParams);
    NKFrame *pFrame = NKGetCurrentFrame();
    NKGeometry *pGeo = pFrame != nullptr ? pFrame->pGeometry : nullptr;
    NKString spec(w.Word(1));
    NKPartItemRef ref{-1, -1};
    bool bOk = false;
    NKString msg;
    if (pEntry->id == NK_CID_LABEL_POLY) {
        bOk = NKParsePolygonSpec(pGeo, spec, &ref, false) &&
              p->AttachPolygon(pGeo, ref.iPart, ref.iIndex);
        msg = NKString::FromFormat("Label %d attached to part %d, polygon %d", p->m_iID,
                                   ref.iPart + 1, ref.iIndex + 1);
    } else if (pEntry->id == NK_CID_LABEL_ELEMENT) {
        bOk = NKParseElementSpec(pGeo, spec, &ref) && p->AttachElement(pGeo, ref.iPart, ref.iIndex);
        if (bOk)
            msg = NKString::FromFormat("Label %d attached to part %d, element ID %d", p->m_iID,
                                       ref.iPart + 1,
                                       pGeo->pParts[ref.iPart].pElements[ref.iIndex].iID);
    } else {
        bOk = NKParseNodeSpec(pGeo, spec, &ref) && p->AttachNode(pGeo, ref.iPart, ref.iIndex);
        if (bOk) {
            const NKPart &part = pGeo->pParts[ref.iPart];
            int iNodeID = part.pNodeIDs != nullptr ? part.pNodeIDs[ref.iIndex] : ref.iIndex + 1;
            msg = NKString::FromFormat("Label %d attached to part %d, node %d", p->m_iID,
                                       ref.iPart + 1, iNodeID);
        }
    }
    if (!bOk) return NKAnnotationFail(pEntry, kIllegalParameter);
    return NKAnnotationDone(msg.GetText());
}

int SetLabelText(UserPrimitive *p, const NKAnnotationWords &w)
{
    std::string text = w.RestAfter(0);
    p->SetText(text.c_str());
    NKPrintInfo(
        NKString::FromFormat("Set text for label %d to %s", p->m_iID, text.c_str()).GetText());
    if (p->m_iType != NK_LABEL_TEXT)
        NKPrintWarning("Label type must be set to text string in order to show text");
    NKInvalidateView();
    return NK_CMD_DONE;
}

int SetLabelType(UserPrimitive *p, int iType, const NKAnnotationWords &w)
{
    UserPrimitiveList *L = g_pUserPrimitives;
    if (std::strstr(w.Word(1), "all") != nullptr) {
        for (int i = 0; i < L->GetCount(); i++) L->Get(i)->m_iType = iType;
        return NKAnnotationDone(
            NKString::FromFormat("Label type set to %s for all labels", p->GetTypeName())
                .GetText());
    }
    p->m_iType = iType;
    return NKAnnotationDone(
        NKString::FromFormat("Label type for label %d set to %s", p->m_iID, p->GetTypeName())
            .GetText());
}

// The rows that act on the active label.
int ActiveLabelCommand(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    UserPrimitive *p = g_pUserPrimitives->Get(-1);
    if (p == nullptr) return NKAnnotationFail(pEntry, kNoActive);
    switch (pEntry->id) {
    case NK_CID_LABEL_3DPOS:
        return SetPosition(pEntry, p, w);
    case NK_CID_LABEL_2DPOS:
        return SetPosition2D(pEntry, p, w);
    case NK_CID_LABEL_POLY:
    case NK_CID_LABEL_ELEMENT:
    case NK_CID_LABEL_NODE:
        return Attach(pEntry, p, w);
    case NK_CID_LABEL_TEXT:
        return SetLabelText(p, w);
    case NK_CID_LABELTYPE:
        return NKAnnotationDone(NKString::FromFormat("Current label type for label %d is %s",
                                                     p->m_iID, p->GetTypeName())
                                    .GetText());
    case NK_CID_LABELTYPE_SCALAR:
        return SetLabelType(p, NK_LABEL_SCALAR, w);
    case NK_CID_LABELTYPE_INFO:
        return SetLabelType(p, NK_LABEL_INFO, w);
    case NK_CID_LABELTYPE_COORD:
        return SetLabelType(p, NK_LABEL_COORD, w);
    default:
        return SetLabelType(p, NK_LABEL_TEXT, w);
    }
}

}  // namespace

int NKHandleLabelCommand(CommandTableEntry *pEntry, const NKAnnotationWords &w)
{
    switch (pEntry->id) {
    case NK_CID_LABEL:
        return ShowActive(pEntry, w);
    case NK_CID_LABEL_LIST:
        return ListLabels();
    case NK_CID_LABEL_ADD:
        return AddLabel(pEntry, w);
    case NK_CID_LABEL_DEL:
        return DeleteLabel(pEntry, w);
    case NK_CID_LABEL_3DPOS:
    case NK_CID_LABEL_2DPOS:
    case NK_CID_LABEL_POLY:
    case NK_CID_LABEL_ELEMENT:
    case NK_CID_LABEL_NODE:
    case NK_CID_LABEL_TEXT:
    case NK_CID_LABELTYPE:
    case NK_CID_LABELTYPE_SCALAR:
    case NK_CID_LABELTYPE_INFO:
    case NK_CID_LABELTYPE_COORD:
    case NK_CID_LABELTYPE_TEXT:
        return ActiveLabelCommand(pEntry, w);
    default:
        return NK_CMD_NOT_MINE;
    }
}

// primitive and partprimitive: the keyword, for partprimitive the part, then
// the body. Their errors go to the error level without the command's name.
int NKHandlePrimitiveCommand(CommandTableEntry *pEntry, const char *pszArguments)
{
    bool bPart = pEntry->id == NK_CID_PARTPRIMITIVE;
    if (!bPart && pEntry->id != NK_CID_PRIMITIVE) return NK_CMD_NOT_MINE;
    CommandParams params(pszArguments);
    params.SetCommand(pEntry);
    params.SetPrintErrors(false);
    NKString word;
    if (!params.NKGetFirstParameterString(&word, true, NK_PARAM_STRING_WORD)) {
        NKPrintError("Primitive type or keyword expected as first parameter.");
        return NK_CMD_FAILED;
    }
    word.Trim(false);
    word.MakeLower();
    if (word.IsEmpty()) {
        NKPrintError("Primitive type or keyword is empty.");
        return NK_CMD_FAILED;
    }
    int iPart = -1;
    if (bPart) {
        if (!params.NKGetParameterInt(&iPart, true, NK_PARAM_NO_RANGE, 0)) {
            NKPrintError("Part number is expected as second parameter.");
            return NK_CMD_FAILED;
        }
        NKFrame *pFrame = NKGetCurrentFrame();
        int iNumParts =
            pFrame != nullptr && pFrame->pGeometry != nullptr ? pFrame->pGeometry->iNumParts : 0;
        if (iPart < 1 || iPart > iNumParts) {
            NKPrintError(NKString::FromFormat("Part number %d is out of range.", iPart).GetText());
            return NK_CMD_FAILED;
        }
    }
    params.SetPrintErrors(true);
    if (!NKPrimitiveCommand(&params, word.GetText(), iPart)) {
        NKPrintError(bPart ? "Error parsing partprimitive command."
                           : "Error parsing primitive command.");
        return NK_CMD_FAILED;
    }
    NKInvalidateView();
    return NK_CMD_DONE;
}
