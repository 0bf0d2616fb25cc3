// readers/nk_boundary_conditions.cpp -- reading the boundary-condition file
// into the global list (see nk_boundary_conditions.h).
#include "readers/nk_boundary_conditions.h"

#include <cstring>
#include <string>

#include "core/nk_bbox.h"
#include "core/nk_message.h"
#include "core/nk_string.h"
#include "core/nk_text_utils.h"
#include "readers/nk_native_file_utils.h"

std::vector<NKBoundaryCondition> g_BoundaryConditions;
float g_fBoundaryConditionScale = 1.0f;
uint8_t g_bShowBoundaryConditions[4] = {0, 0, 0, 0};

namespace {

// The kind a section line starts (1-4), 0 for another "*" line.
int SectionKind(const std::string &line)
{
    const char *apszKeys[] = {"*BOUNDARY", "*NODE FORCE", "*LINE FORCE", "*SURFACE FORCE"};
    for (int k = 0; k < 4; k++)
        if (line.compare(0, 4, apszKeys[k], 4) == 0) return k + 1;
    return 0;
}

float NextFloat(const char **ppCursor)
{
    float f = 0.0f;
    return NKScanFloatWord(ppCursor, &f) == NK_WORD_NUMBER ? f : 0.0f;
}

NKBoundaryCondition ParseRecord(const std::string &line, int iKind)
{
    NKBoundaryCondition bc;
    bc.iKind = iKind;
    const char *p = line.c_str();
    for (float &f : bc.fPosition) f = NextFloat(&p);
    bc.iLabel = static_cast<int>(NextFloat(&p));
    for (int &flag : bc.iFlags) flag = static_cast<int>(NextFloat(&p));
    for (int k = 0; k < 6; k++)
        if (bc.iFlags[k] >= 1) bc.fValues[k] = NextFloat(&p);
    ModelToDisplay(bc.fPosition);
    return bc;
}

}  // namespace

bool NKReadBoundaryConditions(const char *pszFileName)
{
    std::string text;
    if (pszFileName == nullptr || !NKReadWholeFile(pszFileName, &text)) {
        NKPrintError(NKString::FromFormat("Error opening boundary condition file: %s",
                                          pszFileName != nullptr ? pszFileName : "")
                         .GetText());
        return false;
    }
    if (text.empty() || text[0] != '*') {
        NKPrintError(
            NKString::FromFormat("Error reading boundary conditions from file %s", pszFileName)
                .GetText());
        return false;
    }
    NKPrintInfo(
        NKString::FromFormat("Reading boundary conditions from file %s", pszFileName).GetText());
    g_fBoundaryConditionScale = 1.0f;
    std::vector<NKBoundaryCondition> records;
    int iKind = 0;
    for (const std::string &line : NKSplitTextLines(text)) {
        if (!line.empty() && line[0] == '*')
            iKind = SectionKind(line);
        else if (iKind != 0 && line.find_first_not_of(" \t") != std::string::npos)
            records.push_back(ParseRecord(line, iKind));
    }
    g_BoundaryConditions.swap(records);
    for (uint8_t &b : g_bShowBoundaryConditions) b = 1;
    return true;
}
