// tests/test_support/nkf_step_test_support.h -- builders and helpers for
// the tests of the step-dependent NKF blocks (step lists, transformations,
// viewpoints, commands, plot series, position and transformation results).
//
// Each block kind has a content record that a test fills once and then
// writes both as ASCII lines and, through NKFTestWriter, as a binary block
// in either byte order, so that one expectation covers all three files.
// The binary builders write one commented word at a time in the order of
// the block's header and data tables. NumberText, NKFStepHeading and
// NKFStepListText give the tests' expected dumps one spelling of numbers
// and of step headings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/test_support/nkf_test_writer.h"

class NKFStepListBlock;

// One step of an ID-list block.
struct TestIDStep {
    int32_t iNumber;
    std::string name;
    float fTime;
    std::vector<int32_t> ids;
};

// ASCII lines of the steps: "%STEP", "%STEPNAME", "%STEPTIME" and one line
// of IDs per step (none for an empty step).
std::vector<std::string> StepLines(const std::vector<TestIDStep> &steps);
// Binary step records; bExtraWord adds the unused word after the count.
void AppendStepRecords(NKFTestWriter &w, const std::vector<TestIDStep> &steps, bool bExtraWord);
// Data bytes of those records.
int32_t StepRecordBytes(const std::vector<TestIDStep> &steps, bool bExtraWord);

// *QUOLINSCALAR (1010) or *QUOLINVECTOR (1011): header 92, or 104 with the
// extension flag word.
void AppendResultListBlock(NKFTestWriter &w, int32_t iCode, int32_t iID, const char *pszName,
                           const std::vector<TestIDStep> &steps, bool bExtension);
// *QUOLINVISIBILITY: header 96 with the default-visible word.
void AppendVisibilityBlock(NKFTestWriter &w, int32_t iID, const char *pszName, bool bDefaultVisible,
                           const std::vector<TestIDStep> &steps);
// *QUOLINPOSITIONSCALAR (1024) or *QUOLINPOSITIONVECTOR (1025): header 92.
void AppendPositionListBlock(NKFTestWriter &w, int32_t iCode, int32_t iID, const char *pszName,
                             const std::vector<TestIDStep> &steps);
// *QUOLINTRANSFORMATION: header 92, or 100 with the extra-word flag.
void AppendQuolinTransformationBlock(NKFTestWriter &w, int32_t iID, const char *pszName,
                                     const std::vector<TestIDStep> &steps, bool bExtraWord);

// One matrix: block ID and four rows of three.
struct TestMatrix {
    int32_t iBlockID;
    float afRows[12];
};
struct TestTransformationStep {
    int32_t iNumber;
    std::string name;
    float fTime;
    std::vector<TestMatrix> elements;
    std::vector<TestMatrix> faceSets;
};
void AppendTransformationsBlock(NKFTestWriter &w, int32_t iID, const char *pszName, bool bWithID,
                                const std::vector<TestTransformationStep> &steps);
// ASCII body lines of the same content.
std::vector<std::string> TransformationLines(const char *pszName, bool bWithID,
                                             const std::vector<TestTransformationStep> &steps);

struct TestViewpointStep {
    int32_t iNumber;
    std::string name;
    float fTime;
    float afValues[9];  // eye, view reference point, up
};
void AppendViewpointsBlock(NKFTestWriter &w, int32_t iID, const char *pszName,
                           const std::vector<TestViewpointStep> &steps);

// *QUOLINCOMMANDS in the binary form: header 8 and the body text.
void AppendCommandBlock(NKFTestWriter &w, int32_t iID, const std::string &text);

struct TestSeries {
    std::string name;
    float afColor[3];
    std::vector<float> points;  // x0, y0, x1, y1, ...
};
void AppendPlotSeriesBlock(NKFTestWriter &w, int32_t iID, const char *pszName, const char *pszXName,
                           const char *pszYName, const float afAxis[6],
                           const std::vector<TestSeries> &series);

// *POSITIONRESULTS: one row per value (x y z and the values), an ID per
// row when ids is not empty; iCount is written as given.
void AppendPositionResultsBlock(NKFTestWriter &w, int32_t iID, int32_t iDimension, int32_t iMapFlag,
                                int32_t iTarget, int32_t iMapping, int32_t iGlobalPositions,
                                int32_t iGlobalResults, int32_t iCount,
                                const std::vector<std::vector<float>> &rows,
                                const std::vector<int32_t> &ids);
// *TRANSFORMATIONRESULT with twelve matrix values.
void AppendTransformationResultBlock(NKFTestWriter &w, int32_t iID, int32_t iFaceSet,
                                     int32_t iElement, const float afRows[12]);

// A text with "%g" numbers, for the expected dumps.
std::string NumberText(float f);

// The heading of step iStep in a test's dump of any block with a step
// table: "\n<number> '<name>' <time>".
template <class B>
std::string NKFStepHeading(const B *pBlock, int iStep)
{
    return "\n" + std::to_string(pBlock->GetStepNumber(iStep)) + " '" +
           pBlock->GetStepName(iStep).GetText() + "' " + NumberText(pBlock->GetStepTime(iStep));
}
// Every step of a loaded step list: its heading, ":" and its IDs, each
// after a blank.
std::string NKFStepListText(const NKFStepListBlock *pBlock);
