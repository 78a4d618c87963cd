#pragma once

#include "http/httpmessage.h"

#include <QByteArrayView>

// Reads the head of a request (request line and header fields) and what it says about the body.
class HttpHeadParser
{
public:
    // Where the head in the buffer ends (just after the blank line), or -1 while it is
    // incomplete. Blank lines before the request line are skipped; *start tells where it begins.
    static qsizetype findEnd(QByteArrayView buffer, qsizetype *start);

    // 0 when the head is well-formed, else the status to answer with (400 or 505); the
    // framing it asks for is then in the accessors below.
    int parse(QByteArrayView head, HttpRequest *request);

    qsizetype contentLength() const { return m_contentLength; }
    bool keepAlive() const { return m_keepAlive; }
    bool expectsContinue() const { return m_expectsContinue; }
    bool hasTransferEncoding() const { return m_transferEncoding; }

private:
    int parseRequestLine(QByteArrayView line, HttpRequest *request);
    int parseField(QByteArrayView name, QByteArrayView value, HttpRequest *request);

    qsizetype m_contentLength = 0;
    bool m_hasContentLength = false;
    bool m_hasHost = false;
    bool m_keepAlive = true;
    bool m_expectsContinue = false;
    bool m_transferEncoding = false;
};
