#include "web/apihttp.h"

#include <QList>
#include <QStringBuilder>

namespace ApiHttp {

namespace {

QByteArray jsonString(const QString &text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\') {
            out.append('\\').append(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            out.append(' '); // reasons are one line; nothing of value is lost
        } else {
            out.append(c);
        }
    }
    return out + '"';
}

double weight(const QList<QByteArray> &parameters)
{
    for (qsizetype i = 1; i < parameters.size(); ++i) {
        const QByteArray parameter = parameters[i].trimmed().toLower();
        if (parameter.startsWith("q=")) {
            bool ok = false;
            const double q = parameter.mid(2).toDouble(&ok);
            return ok ? q : 0;
        }
    }
    return 1;
}

} // namespace

HttpResponse problem(int status, const QString &detail, const QByteArray &extraHeaders)
{
    HttpResponse response;
    response.status = status;
    response.contentType = "application/problem+json";
    response.body = "{\"type\":\"about:blank\",\"title\":" +
                    jsonString(QString::fromLatin1(HttpResponse::reasonPhrase(status))) +
                    ",\"status\":" + QByteArray::number(status) +
                    ",\"detail\":" + jsonString(detail) + "}\n";
    response.extraHeaders = "X-Content-Type-Options: nosniff\r\n" + extraHeaders;
    return response;
}

bool matches(QByteArrayView ifNoneMatch, QByteArrayView tag)
{
    if (ifNoneMatch.isEmpty()) {
        return false;
    }
    for (const QByteArray &entry : ifNoneMatch.toByteArray().split(',')) {
        QByteArray candidate = entry.trimmed();
        if (candidate == "*") {
            return true;
        }
        if (candidate.startsWith("W/")) {
            candidate = candidate.mid(2);
        }
        if (candidate == tag) {
            return true;
        }
    }
    return false;
}

WebQuery::Format preferredFormat(QByteArrayView accept)
{
    double best = 0;
    WebQuery::Format chosen = WebQuery::Format::Json;
    for (const QByteArray &range : accept.toByteArray().split(',')) {
        const QList<QByteArray> parts = range.split(';');
        const QByteArray type = parts[0].trimmed().toLower();
        if (type != "application/json" && type != "text/csv") {
            continue;
        }
        const double q = weight(parts);
        if (q > best) {
            best = q;
            chosen = type == "text/csv" ? WebQuery::Format::Csv : WebQuery::Format::Json;
        }
    }
    return chosen;
}

} // namespace ApiHttp
