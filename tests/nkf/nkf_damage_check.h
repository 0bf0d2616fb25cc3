// tests/nkf/nkf_damage_check.h -- what the robustness tests ask of a
// damaged NKF file besides not crashing: a read that fails says so with an
// error naming the block it failed in (or the file, when the damage lies
// before the first block), and damage that makes the file invalid fails.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/nk_message.h"
#include "tests/test_support/message_capture.h"
#include "tests/test_support/nkf_test_parse.h"

// True when an error line names a block ("Block type : *..."), the file,
// or speaks of the file as a whole: the parser's reports of a block frame
// it cannot read ("... NKF file : ...", where the block's own type is what
// is damaged) and of a file without blocks.
inline bool NKFErrorNamesBlockOrFile(const MessageCapture &capture, const std::string &path)
{
    const std::string name = path.substr(path.rfind('/') + 1);
    for (const CapturedLine &line : capture.Lines()) {
        if (line.iLevel != NK_MSG_ERROR) continue;
        for (const std::string &mark :
             {std::string("Block type : *"), name, std::string("NKF file : "),
              std::string("No blocks found in file.")})
            if (line.text.find(mark) != std::string::npos) return true;
    }
    return false;
}

// Exercises every block of the file at path (see NKFExerciseEveryBlock) and
// checks the outcome; bInvalid: the damage is known to make the file
// invalid, so the read must fail. The capture is cleared before and after.
inline void NKFExpectDamageReported(const std::string &path, MessageCapture *pCapture,
                                    bool bInvalid, const std::string &where, bool bDefer = true)
{
    pCapture->Clear();
    const bool bOk = NKFExerciseEveryBlock(path, bDefer);
    if (bInvalid) {
        EXPECT_FALSE(bOk) << where << " read as a whole file";
    }
    if (!bOk) {
        EXPECT_TRUE(NKFErrorNamesBlockOrFile(*pCapture, path)) << where << " failed unreported:\n"
                                                               << pCapture->Text();
    }
    pCapture->Clear();
}
