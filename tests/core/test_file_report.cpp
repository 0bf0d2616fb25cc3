// tests/core/test_file_report.cpp -- the line naming the file of a failed
// load: printed once for each failure, not when a line shown since the
// report began named a file, and printed when that line was not shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/nk_file_read.h"
#include "core/nk_file_report.h"
#include "core/nk_message.h"
#include "tests/test_support/message_capture.h"

namespace {

// The error lines that name a file.
std::vector<std::string> FileLines(const MessageCapture &capture)
{
    std::vector<std::string> lines;
    for (const CapturedLine &l : capture.Lines())
        if (l.iLevel == NK_MSG_ERROR && l.text.compare(0, 6, "File \"") == 0)
            lines.push_back(l.text);
    return lines;
}

TEST(FileReport, NamesTheFileOnceForEachFailure)
{
    struct Case {
        const char *pszWhat;
        void (*pfnBetween)(void);  // what runs between the report's start and its failure
        std::vector<std::string> lines;
    } cases[] = {
        {"nothing named", [] {}, {"File \"no/such.nkf\": no such file."}},
        {"the reader named a file",
         [] { NKPrintFileProblem("other.geo", "it is empty"); },
         {"File \"other.geo\": it is empty."}},
        {"a note of a file named", [] { NKNoteFileNamed(); }, {}},
        {"a line not shown",
         [] {
             NKToggleMessageOutput(false);
             NKPrintFileProblem("other.geo", "it is empty");
             NKToggleMessageOutput(true);
         },
         {"File \"no/such.nkf\": no such file."}},
        {"an inner report that failed",
         [] {
             NKFileReport inner("no/such.nkf");
             inner.Failed();
         },
         {"File \"no/such.nkf\": no such file."}},
        {"an inner report that did not fail",
         [] { NKFileReport inner("inner.nkf"); },
         {"File \"no/such.nkf\": no such file."}},
    };
    for (const Case &c : cases) {
        MessageCapture capture;
        NKFileReport report("no/such.nkf");
        c.pfnBetween();
        report.Failed();
        EXPECT_EQ(FileLines(capture), c.lines) << c.pszWhat;
    }
    // A name shown before the report began is another failure's.
    MessageCapture capture;
    NKPrintFileProblem("before.nkf", "it is empty");
    NKFileReport report("no/such.nkf");
    report.Failed("it is a folder");
    EXPECT_EQ(FileLines(capture), (std::vector<std::string>{"File \"before.nkf\": it is empty.",
                                                            "File \"no/such.nkf\": it is a "
                                                            "folder."}));
}

}  // namespace
