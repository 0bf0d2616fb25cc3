// core/nk_file_report.h -- the line that names the file of a failed load or
// write, printed once for each failure.
//
// Many readers report what went wrong without the file: a block error
// names its line, an open that fails deep in a reader ends with "Error
// initializing interface.". So the command that loads or writes a file
// opens an NKFileReport for it before the work starts, and when the work
// fails, Failed() prints File "PATH". (or File "PATH": WHY.) after the error
// lines the failing step printed. When one of those lines named a file
// already (NKPrintFileProblem, or a report that calls NKNoteFileNamed),
// nothing more is printed: a failure names its file once. Reports nest (the
// type-detecting open runs the open command of the type); the innermost
// that fails names the file, and the outer ones see it named.
#pragma once

#include <string>

class NKFileReport {
public:
    explicit NKFileReport(const char *pszPath);
    NKFileReport(const NKFileReport &) = delete;
    NKFileReport &operator=(const NKFileReport &) = delete;

    // Prints the file's line at the error level unless an error line since
    // this report began named a file. pszWhy as NKPrintFileProblem's: null
    // gives NKFileProblem's reason (none for a readable file), so a writer
    // passes NKWriteProblem's.
    void Failed(const char *pszWhy = nullptr);

private:
    std::string m_Path;
    long m_iNamedAtStart;
};

// Notes that an error line just shown named a file, so that the report of
// the failure around it names none again. Lines not shown (message output
// off) name nothing.
void NKNoteFileNamed(void);
