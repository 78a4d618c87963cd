#include "http/httpheadparser.h"

#include <algorithm>

namespace {

constexpr qsizetype maxContentLengthDigits = 15;

bool isTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView s)
{
    if (s.isEmpty()) {
        return false;
    }
    for (const char c : s) {
        if (!isTokenChar(c)) {
            return false;
        }
    }
    return true;
}

QByteArrayView trimmed(QByteArrayView s)
{
    while (!s.isEmpty() && (s.front() == ' ' || s.front() == '\t')) {
        s = s.sliced(1);
    }
    while (!s.isEmpty() && (s.back() == ' ' || s.back() == '\t')) {
        s.chop(1);
    }
    return s;
}

// Whether the comma-separated list holds the token, ignoring case.
bool listContains(QByteArrayView list, QByteArrayView token)
{
    qsizetype start = 0;
    while (start <= list.size()) {
        qsizetype end = list.indexOf(',', start);
        if (end < 0) {
            end = list.size();
        }
        QByteArrayView item = trimmed(list.sliced(start, end - start));
        const qsizetype semicolon = item.indexOf(';');
        if (semicolon >= 0) {
            item = trimmed(item.first(semicolon));
        }
        if (item.compare(token, Qt::CaseInsensitive) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// A NUL or a bare CR could end the line for another reader of the same bytes.
bool hasControlCharacters(QByteArrayView value)
{
    return std::any_of(value.begin(), value.end(), [](char c) {
        return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F;
    });
}

bool isDigits(QByteArrayView s)
{
    for (const char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return !s.isEmpty();
}

// The path and query of an absolute-form target ("http://host:port/path?query"), which a
// client talking to a proxy sends; empty when the target is no such URL.
QByteArrayView originForm(QByteArrayView target)
{
    qsizetype schemeEnd = -1;
    for (const QByteArrayView scheme : {QByteArrayView("http://"), QByteArrayView("https://")}) {
        if (target.size() > scheme.size() &&
            target.first(scheme.size()).compare(scheme, Qt::CaseInsensitive) == 0) {
            schemeEnd = scheme.size();
        }
    }
    if (schemeEnd < 0) {
        return {};
    }
    qsizetype pathStart = schemeEnd;
    while (pathStart < target.size() && target[pathStart] != '/' && target[pathStart] != '?') {
        ++pathStart;
    }
    if (pathStart == schemeEnd) {
        return {};
    }
    return pathStart == target.size() ? QByteArrayView("/") : target.sliced(pathStart);
}

} // namespace

qsizetype HttpHeadParser::findEnd(QByteArrayView buffer, qsizetype *start)
{
    qsizetype from = 0;
    while (from < buffer.size() && (buffer[from] == '\r' || buffer[from] == '\n')) {
        ++from;
    }
    *start = from;
    // Lines end in CRLF, but a bare LF is accepted too; the head ends at the first empty line.
    for (qsizetype i = buffer.indexOf('\n', from); i >= 0; i = buffer.indexOf('\n', i + 1)) {
        const qsizetype next = i + 1;
        if (next < buffer.size() && buffer[next] == '\n') {
            return next + 1;
        }
        if (next + 1 < buffer.size() && buffer[next] == '\r' && buffer[next + 1] == '\n') {
            return next + 2;
        }
    }
    return -1;
}

int HttpHeadParser::parse(QByteArrayView head, HttpRequest *request)
{
    *this = HttpHeadParser();
    bool first = true;
    qsizetype start = 0;
    while (start < head.size()) {
        qsizetype end = head.indexOf('\n', start);
        if (end < 0) {
            end = head.size();
        }
        QByteArrayView line = head.sliced(start, end - start);
        start = end + 1;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.isEmpty()) {
            break;
        }
        if (first) {
            first = false;
            if (const int status = parseRequestLine(line, request)) {
                return status;
            }
            continue;
        }
        // No blank before the colon, and no folded continuation lines (both banned for servers).
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(line.first(colon))) {
            return 400;
        }
        const QByteArrayView value = trimmed(line.sliced(colon + 1));
        if (hasControlCharacters(value)) {
            return 400;
        }
        if (const int status = parseField(line.first(colon), value, request)) {
            return status;
        }
    }
    if (first || (request->minorVersion == 1 && !m_hasHost)) {
        return 400;
    }
    return 0;
}

int HttpHeadParser::parseRequestLine(QByteArrayView line, HttpRequest *request)
{
    const qsizetype space1 = line.indexOf(' ');
    const qsizetype space2 = space1 < 0 ? -1 : line.indexOf(' ', space1 + 1);
    if (space2 < 0 || line.indexOf(' ', space2 + 1) >= 0) {
        return 400;
    }
    const QByteArrayView method = line.first(space1);
    QByteArrayView target = line.sliced(space1 + 1, space2 - space1 - 1);
    const QByteArrayView version = line.sliced(space2 + 1);
    const QByteArrayView origin = originForm(target);
    if (!origin.isEmpty()) {
        target = origin; // "http://host?q" has the path "/"
    } else if (!target.startsWith('/')) {
        return 400;
    }
    if (!isToken(method)) {
        return 400;
    }
    if (version.size() != 8 || !version.startsWith("HTTP/") || version[6] != '.' ||
        !isDigits(version.sliced(5, 1)) || !isDigits(version.sliced(7, 1))) {
        return 400;
    }
    // A later minor version of HTTP/1 is answered as 1.1, which it understands.
    if (version[5] != '1') {
        return 505;
    }
    for (const char c : target) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) {
            return 400;
        }
    }
    request->method = method.toByteArray();
    const qsizetype question = target.indexOf('?');
    request->path = question == 0 ? QByteArray("/")
                                  : (question < 0 ? target : target.first(question)).toByteArray();
    request->query = question < 0 ? QByteArray() : target.sliced(question + 1).toByteArray();
    request->minorVersion = version[7] == '0' ? 0 : 1;
    m_keepAlive = request->minorVersion == 1;
    return 0;
}

int HttpHeadParser::parseField(QByteArrayView name, QByteArrayView value, HttpRequest *request)
{
    if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
        // Differing lengths would let two parties see different messages: refuse them.
        if (!isDigits(value) || value.size() > maxContentLengthDigits) {
            return 400;
        }
        const qsizetype length = qsizetype(value.toByteArray().toLongLong());
        if (m_hasContentLength && length != m_contentLength) {
            return 400;
        }
        m_hasContentLength = true;
        m_contentLength = length;
    } else if (name.compare("Host", Qt::CaseInsensitive) == 0) {
        if (m_hasHost) {
            return 400;
        }
        m_hasHost = true;
    } else if (name.compare("Connection", Qt::CaseInsensitive) == 0) {
        if (listContains(value, "close")) {
            m_keepAlive = false;
        } else if (listContains(value, "keep-alive")) {
            m_keepAlive = true;
        }
    } else if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
        m_transferEncoding = true;
    } else if (name.compare("Expect", Qt::CaseInsensitive) == 0) {
        m_expectsContinue = listContains(value, "100-continue");
    } else if (name.compare("Accept", Qt::CaseInsensitive) == 0) {
        request->accept = value.toByteArray();
    } else if (name.compare("Accept-Language", Qt::CaseInsensitive) == 0) {
        request->acceptLanguage = value.toByteArray();
    } else if (name.compare("Origin", Qt::CaseInsensitive) == 0) {
        request->origin = value.toByteArray();
    } else if (name.compare("If-None-Match", Qt::CaseInsensitive) == 0) {
        request->ifNoneMatch = value.toByteArray();
    }
    return 0;
}
