// core/nk_status_dump.cpp -- the model status dump. See nk_status_dump.h.
#include "core/nk_status_dump.h"

#include <cinttypes>
#include <cstdint>

#include "core/nk_diagnostic.h"
#include "core/nk_model.h"
#include "core/nk_output_file.h"
#include "core/nk_stopwatch.h"
#include "core/nk_string.h"

namespace {

// "0x" and 16 lower-case hex digits.
void PrintPointer(FILE *pFile, const char *pszLabel, const void *p)
{
    std::fprintf(pFile, "%s0x%016" PRIxPTR "\n", pszLabel, (uintptr_t)p);
}

void PrintMinMaxLine(FILE *pFile, const char *pszLabel, float f, int iPart, int iNode)
{
    std::fprintf(pFile, "%s%f in part %d, node %d\n", pszLabel, f, iPart, iNode);
}

void DumpHeader(FILE *pFile)
{
    int d[7];
    NKGetSystemDateTime(d);
    std::fprintf(
        pFile, "\n****************    STATUSINFORMATION FROM QUOLIN    *********************\n\n");
    std::fprintf(pFile, "      File generated : %d/%d/%d %d:%d:%d.%03d\n\n", d[NK_DATE_YEAR],
                 d[NK_DATE_MONTH], d[NK_DATE_DAY], d[NK_DATE_HOUR], d[NK_DATE_MINUTE],
                 d[NK_DATE_SECOND], d[NK_DATE_MILLISECOND]);
}

void DumpModel(FILE *f, const NKModel *m)
{
    std::fprintf(f, "======================= start model status\n\n");
    std::fprintf(f, "- iNumFrames           = %d\n", m->iNumFrames);
    std::fprintf(f, "- iCurrentFrame        = %d\n", m->iCurrentFrame);
    std::fprintf(f, "- iPreviousFrame       = %d\n", m->iPreviousFrame);
    std::fprintf(f, "- iAnimationFromFrame  = %d\n", m->iAnimationFromFrame);
    std::fprintf(f, "- iAnimationToFrame    = %d\n", m->iAnimationToFrame);
    std::fprintf(f, "- iAnimationSkipBy     = %d\n", m->iAnimationSkipBy);
    std::fprintf(f, "- animationType        = %d\n", m->animationType);
    std::fprintf(f, "- bAnimationCycle      = %d\n\n", m->bAnimationCycle);
    std::fprintf(f, "- iNumGeoSteps         = %d\n", m->iNumGeoSteps);
    std::fprintf(f, "- iNumScalarSteps      = %d\n", m->iNumScalarSteps);
    std::fprintf(f, "- iNumVectorSteps      = %d\n\n", m->iNumVectorSteps);
    std::fprintf(f, "- fFringeRangeFrom     = %f\n", m->fFringeRangeFrom);
    std::fprintf(f, "- fFringeRangeTo       = %f\n", m->fFringeRangeTo);
    std::fprintf(f, "- fGeoScale            = %f\n", m->fGeoScale);
    std::fprintf(f, "- fCenterX|Y|Z         = %f  %f  %f\n\n", m->fCenterX, m->fCenterY,
                 m->fCenterZ);
    PrintPointer(f, "- pFrames              = ", m->pFrames);
    std::fprintf(f, "\n");
    const NKMinMax &s = m->scalarMinMax;
    std::fprintf(f, "- fMinScalarValue : %f in node %d in part %d in frame %d\n", s.min, s.iMinNode,
                 s.iMinPart, s.iMinFrame);
    std::fprintf(f, "- fMaxScalarValue : %f in node %d in part %d in frame %d\n", s.max, s.iMaxNode,
                 s.iMaxPart, s.iMaxFrame);
    const NKMinMax &v = m->vectorMinMax;
    std::fprintf(f, "- fMinVectorValue : %f in node %d in part %d in frame %d\n", v.min, v.iMinNode,
                 v.iMinPart, v.iMinFrame);
    std::fprintf(f, "- fMaxVectorValue : %f in node %d in part %d in frame %d\n", v.max, v.iMaxNode,
                 v.iMaxPart, v.iMaxFrame);
    std::fprintf(f, "\n======================= end model status\n\n");
}

// The last record of each kind printed, so that a run of frames sharing one
// prints it once.
struct LastPrinted {
    const NKGeometry *pGeometry = nullptr;
    const NKScalarResult *pScalar = nullptr;
    const NKVectorResult *pVector = nullptr;
    const NKViewPoint *pViewPoint = nullptr;
};

// Prints a record a frame refers to unless it is the one printed last.
template <typename Record>
void DumpIfNew(FILE *f, const Record *pRecord, const Record **ppLast,
               void (*pfnDump)(FILE *, const Record *))
{
    if (pRecord == nullptr || pRecord == *ppLast) return;
    pfnDump(f, pRecord);
    *ppLast = pRecord;
}

void DumpFrame(FILE *f, const NKFrame &frame, LastPrinted *pLast)
{
    std::fprintf(
        f, "======================= start NKFrame status ==================================\n\n");
    std::fprintf(f, "- szDescription        = %s\n", frame.szDescription.GetText());
    std::fprintf(f, "- fTime                = %f\n\n", frame.fTime);
    PrintPointer(f, "- pGeometry            = ", frame.pGeometry);
    PrintPointer(f, "- pScalar              = ", frame.pScalar);
    PrintPointer(f, "- pVector              = ", frame.pVector);
    PrintPointer(f, "- pViewPoint           = ", frame.pViewPoint);
    std::fprintf(f, "\n");
    DumpIfNew(f, frame.pGeometry, &pLast->pGeometry, NKDumpGeometryStatus);
    DumpIfNew(f, frame.pScalar, &pLast->pScalar, NKDumpScalarResultStatus);
    DumpIfNew(f, frame.pVector, &pLast->pVector, NKDumpVectorResultStatus);
    DumpIfNew(f, frame.pViewPoint, &pLast->pViewPoint, NKDumpViewPointStatus);
    std::fprintf(
        f, "======================= end NKFrame status ====================================\n\n");
}

// The lines shared by the scalar and vector result blocks.
// The dump of a step result of kind pszKind: its shared fields, then its
// extremes on the lines pszMin and pszMax.
void DumpStepResult(FILE *f, const char *pszKind, const NKStepResultHeader &r, const NKMinMax &m,
                    const char *pszMin, const char *pszMax)
{
    std::fprintf(f, "======================= start %s status\n\n", pszKind);
    std::fprintf(f, "- iStepNumber          = %d\n", r.iStepNumber);
    std::fprintf(f, "- szDescription        = %s\n", r.szDescription.GetText());
    std::fprintf(f, "- szFileName           = %s\n", r.szFileName.GetText());
    std::fprintf(f, "- iNumRef              = %d\n", r.iNumRef);
    std::fprintf(f, "- iNumParts            = %d\n", r.iNumParts);
    std::fprintf(f, "- iNumStepsInFile      = %d\n\n", r.iNumStepsInFile);
    PrintMinMaxLine(f, pszMin, m.min, m.iMinPart, m.iMinNode);
    PrintMinMaxLine(f, pszMax, m.max, m.iMaxPart, m.iMaxNode);
    std::fprintf(f, "\n======================= end %s status\n\n\n", pszKind);
}

}  // namespace

void NKDumpGeometryStatus(FILE *f, const NKGeometry *g)
{
    if (f == nullptr || g == nullptr) return;
    std::fprintf(f, "======================= start NKGeometry status\n\n");
    std::fprintf(f, "- iStepNumber          = %d\n", g->iStepNumber);
    std::fprintf(f, "- szDescription        = %s\n", g->szDescription.GetText());
    std::fprintf(f, "- szFileName           = %s\n", g->szFileName.GetText());
    std::fprintf(f, "- iNumRef              = %d\n", g->iNumRef);
    std::fprintf(f, "- iTotalNumNodes       = %d\n", g->iTotalNumNodes);
    std::fprintf(f, "- iTotalNumPolygons    = %d\n", g->iTotalNumPolygons);
    std::fprintf(f, "- iTotalNumConnects    = %d\n", g->iTotalNumConnects);
    std::fprintf(f, "- iNumParts            = %d\n", g->iNumParts);
    std::fprintf(f, "- fGeoScale            = %f\n\n", g->fGeoScale);
    PrintPointer(f, "- pParts               = ", g->pParts);
    std::fprintf(f, "======================= end NKGeometry status\n\n\n");
}

void NKDumpScalarResultStatus(FILE *f, const NKScalarResult *r)
{
    if (f == nullptr || r == nullptr) return;
    DumpStepResult(f, "NKScalarResult", *r, r->nodeMinMax,
                   "- fMinValue            = ", "- fMaxValue            = ");
}

void NKDumpVectorResultStatus(FILE *f, const NKVectorResult *r)
{
    if (f == nullptr || r == nullptr) return;
    DumpStepResult(f, "NKVectorResult", *r, r->lengthMinMax,
                   "- fMinLength           = ", "- fMaxLength           = ");
}

void NKDumpViewPointStatus(FILE *f, const NKViewPoint *v)
{
    if (f == nullptr || v == nullptr) return;
    std::fprintf(f, "======================= start NKViewPoint status\n\n");
    std::fprintf(f, "- iNumRef              = %d\n\n", v->iNumRef);
    std::fprintf(f, "- eye                  = %f  %f  %f\n", v->eye[0], v->eye[1], v->eye[2]);
    std::fprintf(f, "- vrp                  = %f  %f  %f\n", v->vrp[0], v->vrp[1], v->vrp[2]);
    std::fprintf(f, "- vup                  = %f  %f  %f\n", v->vup[0], v->vup[1], v->vup[2]);
    std::fprintf(f, "======================= end NKViewPoint status\n\n\n");
}

bool NKDumpFrameInformation(const char *pszFileName, const NKModel *pModel)
{
    const char *pszFn = "NKDumpFrameInformation";
    NKOutputFile file;
    if (!file.Open(pszFileName))
        return NKDiagnostic(
            NKString::FromFormat("Could not create dump file : %s ", pszFileName ? pszFileName : "")
                .GetText(),
            pszFn);
    FILE *f = file.Stream();
    DumpHeader(f);
    if (pModel != nullptr) {
        DumpModel(f, pModel);
        LastPrinted last;
        for (int i = 0; pModel->pFrames != nullptr && i < pModel->iNumFrames; i++)
            DumpFrame(f, pModel->pFrames[i], &last);
    }
    if (file.Commit()) return true;
    return NKDiagnostic(
        NKString::FromFormat("Could not write dump file : %s ", pszFileName).GetText(), pszFn);
}
