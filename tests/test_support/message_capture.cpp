// tests/test_support/message_capture.cpp -- see message_capture.h.
#include "tests/test_support/message_capture.h"

MessageCapture::MessageCapture()
{
    NKSetMessageSink(&MessageCapture::Sink, this, &m_pfnPrevious, &m_pPreviousUser);
}

MessageCapture::~MessageCapture() { NKSetMessageSink(m_pfnPrevious, m_pPreviousUser); }

void MessageCapture::Sink(const char *pszLine, int iLevel, void *pUser)
{
    static_cast<MessageCapture *>(pUser)->m_Lines.push_back(
        {pszLine, NKMessageLevel(iLevel), NKIsLeadLine(iLevel)});
}

std::string MessageCapture::Text() const
{
    std::string all;
    for (const CapturedLine &l : m_Lines) {
        if (!all.empty()) all += '\n';
        all += l.text;
    }
    return all;
}

bool MessageCapture::Contains(const std::string &fragment) const
{
    return Text().find(fragment) != std::string::npos;
}

bool MessageCapture::HasLine(const std::string &line, int iLevel) const
{
    for (const CapturedLine &l : m_Lines)
        if (l.text == line && (iLevel == 0 || l.iLevel == iLevel)) return true;
    return false;
}
