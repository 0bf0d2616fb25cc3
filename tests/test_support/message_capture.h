// tests/test_support/message_capture.h -- records the lines that reach the
// message output while it is alive, and puts the previous sink back after.
#pragma once

#include <string>
#include <vector>

#include "core/nk_message.h"

// A line with its level (NK_MSG_INFO .. NK_MSG_ERROR) and whether it came
// marked as the line that leads its failure (NK_MSG_LEAD).
struct CapturedLine {
    std::string text;
    int iLevel;
    bool bLead = false;
};

class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    const std::vector<CapturedLine> &Lines() const { return m_Lines; }
    // Every line joined with LF, for quick "contains" checks.
    std::string Text() const;
    bool Contains(const std::string &fragment) const;
    bool HasLine(const std::string &line, int iLevel = 0) const;
    void Clear() { m_Lines.clear(); }

private:
    static void Sink(const char *pszLine, int iLevel, void *pUser);
    std::vector<CapturedLine> m_Lines;
    NKMessageSink m_pfnPrevious = nullptr;
    void *m_pPreviousUser = nullptr;
};
