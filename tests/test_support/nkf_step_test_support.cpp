// tests/test_support/nkf_step_test_support.cpp -- builders of
// step-dependent NKF blocks for the tests (see nkf_step_test_support.h).
#include "tests/test_support/nkf_step_test_support.h"

#include <cstdio>

#include "nkf/nkf_step_table.h"

std::string NumberText(float f)
{
    char ac[64];
    snprintf(ac, sizeof ac, "%g", (double)f);
    return ac;
}

std::string NKFStepListText(const NKFStepListBlock *pBlock)
{
    std::string text;
    for (int s = 0; s < pBlock->GetNumSteps(); s++) {
        text += NKFStepHeading(pBlock, s) + ":";
        for (int k = 0; k < pBlock->GetStepIDCount(s); k++)
            text += " " + std::to_string(pBlock->GetStepIDs(s)[k]);
    }
    return text;
}

static std::string JoinIDs(const std::vector<int32_t> &ids)
{
    std::string text;
    for (size_t i = 0; i < ids.size(); i++) text += (i ? ", " : "") + std::to_string(ids[i]);
    return text;
}

std::vector<std::string> StepLines(const std::vector<TestIDStep> &steps)
{
    std::vector<std::string> lines;
    for (const TestIDStep &s : steps) {
        lines.push_back("%STEP " + std::to_string(s.iNumber));
        lines.push_back("%STEPNAME \"" + s.name + "\"");
        lines.push_back("%STEPTIME " + NumberText(s.fTime));
        if (!s.ids.empty()) lines.push_back(JoinIDs(s.ids));
    }
    return lines;
}

void AppendStepRecords(NKFTestWriter &w, const std::vector<TestIDStep> &steps, bool bExtraWord)
{
    for (const TestIDStep &s : steps) {
        w.Int(s.iNumber);                    // step number
        w.Text80(s.name.c_str());            // step name
        w.Float(s.fTime);                    // step time
        w.Int((int32_t)s.ids.size());        // ID count
        if (bExtraWord) w.Int(77);           // unused word of the extension
        for (int32_t id : s.ids) w.Int(id);  // block ID
    }
}

int32_t StepRecordBytes(const std::vector<TestIDStep> &steps, bool bExtraWord)
{
    int32_t iBytes = 0;
    for (const TestIDStep &s : steps)
        iBytes += 92 + (bExtraWord ? 4 : 0) + 4 * (int32_t)s.ids.size();
    return iBytes;
}

static void AppendEndMarker(NKFTestWriter &w)
{
    w.BeginHeader();
    w.Int(-999);  // end-of-block marker
    w.EndHeader();
}

void AppendResultListBlock(NKFTestWriter &w, int32_t iCode, int32_t iID, const char *pszName,
                           const std::vector<TestIDStep> &steps, bool bExtension)
{
    w.BeginHeader();
    w.Int(iCode);                               // block code
    w.Int(iID);                                 // block ID
    w.Int(bExtension ? 104 : 92);               // header size
    w.Int(StepRecordBytes(steps, bExtension));  // data size
    w.Text80(pszName);                          // name
    w.Int((int32_t)steps.size());               // step count
    if (bExtension) {
        w.Int(5);  // not used
        w.Int(6);  // not used
        w.Int(1);  // extension flag
    }
    w.EndHeader();
    AppendStepRecords(w, steps, bExtension);
    AppendEndMarker(w);
}

void AppendVisibilityBlock(NKFTestWriter &w, int32_t iID, const char *pszName, bool bDefaultVisible,
                           const std::vector<TestIDStep> &steps)
{
    w.BeginHeader();
    w.Int(1012);                           // block code: *QUOLINVISIBILITY
    w.Int(iID);                            // block ID
    w.Int(96);                             // header size
    w.Int(StepRecordBytes(steps, false));  // data size
    w.Text80(pszName);                     // name
    w.Int(bDefaultVisible ? 1 : 0);        // default visible
    w.Int((int32_t)steps.size());          // step count
    w.EndHeader();
    AppendStepRecords(w, steps, false);
    AppendEndMarker(w);
}

void AppendPositionListBlock(NKFTestWriter &w, int32_t iCode, int32_t iID, const char *pszName,
                             const std::vector<TestIDStep> &steps)
{
    AppendResultListBlock(w, iCode, iID, pszName, steps, false);
}

void AppendQuolinTransformationBlock(NKFTestWriter &w, int32_t iID, const char *pszName,
                                     const std::vector<TestIDStep> &steps, bool bExtraWord)
{
    w.BeginHeader();
    w.Int(1027);                                // block code: *QUOLINTRANSFORMATION
    w.Int(iID);                                 // block ID
    w.Int(bExtraWord ? 100 : 92);               // header size
    w.Int(StepRecordBytes(steps, bExtraWord));  // data size
    w.Text80(pszName);                          // name
    w.Int((int32_t)steps.size());               // step count
    if (bExtraWord) {
        w.Int(0);  // ignored
        w.Int(1);  // extra-word flag
    }
    w.EndHeader();
    AppendStepRecords(w, steps, bExtraWord);
    AppendEndMarker(w);
}

void AppendTransformationsBlock(NKFTestWriter &w, int32_t iID, const char *pszName, bool bWithID,
                                const std::vector<TestTransformationStep> &steps)
{
    int32_t iEntryBytes = (bWithID ? 4 : 0) + 48;
    int32_t iData = 0;
    for (const auto &s : steps)
        iData += 96 + iEntryBytes * (int32_t)(s.elements.size() + s.faceSets.size());
    w.BeginHeader();
    w.Int(1013);                   // block code: *TRANSFORMATIONS
    w.Int(iID);                    // block ID
    w.Int(96);                     // header size
    w.Int(iData);                  // data size
    w.Text80(pszName);             // name
    w.Int(bWithID ? 1 : 0);        // with-ID flag
    w.Int((int32_t)steps.size());  // step count
    w.EndHeader();
    for (const auto &s : steps) {
        w.Int(s.iNumber);                   // step number
        w.Text80(s.name.c_str());           // step name
        w.Float(s.fTime);                   // step time
        w.Int((int32_t)s.elements.size());  // element-matrix count
        w.Int((int32_t)s.faceSets.size());  // face-set-matrix count
        for (const auto *pList : {&s.elements, &s.faceSets}) {
            for (const TestMatrix &m : *pList) {
                if (bWithID) w.Int(m.iBlockID);       // block ID
                for (float f : m.afRows) w.Float(f);  // matrix row value
            }
        }
    }
    AppendEndMarker(w);
}

static void AppendMatrixLines(std::vector<std::string> &lines, const TestMatrix &m, bool bWithID)
{
    if (bWithID) lines.push_back(std::to_string(m.iBlockID));
    for (int r = 0; r < 4; r++) {
        lines.push_back(NumberText(m.afRows[r * 3]) + " " + NumberText(m.afRows[r * 3 + 1]) + " " +
                        NumberText(m.afRows[r * 3 + 2]));
    }
}

std::vector<std::string> TransformationLines(const char *pszName, bool bWithID,
                                             const std::vector<TestTransformationStep> &steps)
{
    std::vector<std::string> lines = {"%NAME \"" + std::string(pszName) + "\"",
                                      bWithID ? "%WITH_ID" : "%NO_ID"};
    for (const auto &s : steps) {
        lines.push_back("%STEP " + std::to_string(s.iNumber));
        lines.push_back("%STEPNAME \"" + s.name + "\"");
        lines.push_back("%STEPTIME " + NumberText(s.fTime));
        lines.push_back("%ELEMENTS");
        for (const TestMatrix &m : s.elements) AppendMatrixLines(lines, m, bWithID);
        lines.push_back("%INDEXEDFACESET");
        for (const TestMatrix &m : s.faceSets) AppendMatrixLines(lines, m, bWithID);
    }
    return lines;
}

void AppendViewpointsBlock(NKFTestWriter &w, int32_t iID, const char *pszName,
                           const std::vector<TestViewpointStep> &steps)
{
    w.BeginHeader();
    w.Int(1014);                         // block code: *VIEWPOINTS
    w.Int(iID);                          // block ID
    w.Int(92);                           // header size
    w.Int(124 * (int32_t)steps.size());  // data size
    w.Text80(pszName);                   // name
    w.Int((int32_t)steps.size());        // step count
    w.EndHeader();
    for (const auto &s : steps) {
        w.Int(s.iNumber);                       // step number
        w.Text80(s.name.c_str());               // step name
        w.Float(s.fTime);                       // step time
        for (float f : s.afValues) w.Float(f);  // eye, vrp, up component
    }
    AppendEndMarker(w);
}

void AppendCommandBlock(NKFTestWriter &w, int32_t iID, const std::string &text)
{
    w.BeginHeader();
    w.Int(1015);                  // block code: *QUOLINCOMMANDS
    w.Int(iID);                   // block ID
    w.Int(8);                     // header size
    w.Int((int32_t)text.size());  // data size: the text
    w.EndHeader();
    w.Bytes(text.data(), text.size());  // the body text
    AppendEndMarker(w);
}

void AppendPlotSeriesBlock(NKFTestWriter &w, int32_t iID, const char *pszName, const char *pszXName,
                           const char *pszYName, const float afAxis[6],
                           const std::vector<TestSeries> &series)
{
    int32_t iData = 0;
    for (const TestSeries &s : series) iData += 96 + 4 * (int32_t)s.points.size();
    w.BeginHeader();
    w.Int(1016);                                     // block code: *2DPLOTSERIES
    w.Int(iID);                                      // block ID
    w.Int(276);                                      // header size
    w.Int(iData);                                    // data size
    w.Text80(pszName);                               // plot name
    w.Text80(pszXName);                              // x-axis name
    w.Text80(pszYName);                              // y-axis name
    for (int i = 0; i < 6; i++) w.Float(afAxis[i]);  // x min, max, unit, y min, max, unit
    w.Int((int32_t)series.size());                   // series count
    w.EndHeader();
    for (const TestSeries &s : series) {
        w.Text80(s.name.c_str());              // series name
        for (float f : s.afColor) w.Float(f);  // red, green, blue
        w.Int((int32_t)s.points.size() / 2);   // point count
        for (float f : s.points) w.Float(f);   // x or y
    }
    AppendEndMarker(w);
}

void AppendPositionResultsBlock(NKFTestWriter &w, int32_t iID, int32_t iDimension, int32_t iMapFlag,
                                int32_t iTarget, int32_t iMapping, int32_t iGlobalPositions,
                                int32_t iGlobalResults, int32_t iCount,
                                const std::vector<std::vector<float>> &rows,
                                const std::vector<int32_t> &ids)
{
    int32_t iData = 4 * (int32_t)ids.size();
    for (const auto &row : rows) iData += 4 * (int32_t)row.size();
    w.BeginHeader();
    w.Int(1023);              // block code: *POSITIONRESULTS
    w.Int(iID);               // block ID
    w.Int(36);                // header size
    w.Int(iData);             // data size
    w.Int(iDimension);        // dimension
    w.Int(iMapFlag);          // map-to-elements flag
    w.Int(iTarget);           // target block ID
    w.Int(iMapping);          // mapping
    w.Int(iGlobalPositions);  // global positions
    w.Int(iGlobalResults);    // global results
    w.Int(iCount);            // value count
    w.EndHeader();
    for (size_t r = 0; r < rows.size(); r++) {
        if (!ids.empty()) w.Int(ids[r]);     // value ID
        for (float f : rows[r]) w.Float(f);  // x, y, z, then the value(s)
    }
    AppendEndMarker(w);
}

void AppendTransformationResultBlock(NKFTestWriter &w, int32_t iID, int32_t iFaceSet,
                                     int32_t iElement, const float afRows[12])
{
    w.BeginHeader();
    w.Int(1026);      // block code: *TRANSFORMATIONRESULT
    w.Int(iID);       // block ID
    w.Int(16);        // header size
    w.Int(48);        // data size: twelve floats
    w.Int(iFaceSet);  // *INDEXEDFACESET block ID
    w.Int(iElement);  // *ELEMENTS block ID
    w.EndHeader();
    for (int i = 0; i < 12; i++) w.Float(afRows[i]);  // matrix row value
    AppendEndMarker(w);
}
