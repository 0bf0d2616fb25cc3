// core/nk_file_report.cpp -- the line naming the file of a failed load or
// write, once for each failure (see nk_file_report.h). One counter of the
// error lines that named a file is all it keeps, so nothing grows with the
// number of loads.
#include "core/nk_file_report.h"

#include "core/nk_file_read.h"
#include "core/nk_message.h"

namespace {

long sg_iFilesNamed = 0;

}  // namespace

void NKNoteFileNamed(void)
{
    if (NKIsMessageOutputOn()) sg_iFilesNamed++;
}

NKFileReport::NKFileReport(const char *pszPath)
    : m_Path(pszPath != nullptr ? pszPath : ""), m_iNamedAtStart(sg_iFilesNamed)
{}

void NKFileReport::Failed(const char *pszWhy)
{
    if (sg_iFilesNamed != m_iNamedAtStart) return;
    NKPrintFileProblem(m_Path.c_str(), pszWhy);
}
