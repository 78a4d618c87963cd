#include "search/httpresponseheader.h"

namespace {
const QString ContentLengthKey = QStringLiteral("Content-Length");

qint64 parseLength(const QString &text, bool *ok)
{
    const qint64 length = text.trimmed().toLongLong(ok);
    if (*ok && length < 0)
        *ok = false;
    return *ok ? length : 0;
}
} // namespace

QString HttpResponseHeader::value(const QString &key) const
{
    for (const auto &field : m_fields) {
        if (field.first.compare(key, Qt::CaseInsensitive) == 0)
            return field.second;
    }
    return QString();
}

bool HttpResponseHeader::hasContentLength() const
{
    bool ok = false;
    parseLength(value(ContentLengthKey), &ok);
    return ok;
}

qint64 HttpResponseHeader::contentLength() const
{
    bool ok = false;
    return parseLength(value(ContentLengthKey), &ok);
}
