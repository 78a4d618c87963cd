#pragma once

#include "http/httpmessage.h"
#include "web/webquery.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// What the API says over HTTP beyond its results: errors that scripts can read, the entity
// tags that spare a repeated download, and the format a client prefers.
namespace ApiHttp {

// RFC 9457 problem details: {"type", "title", "status", "detail"} as application/problem+json.
HttpResponse problem(int status, const QString &detail, const QByteArray &extraHeaders = {});

// Whether an If-None-Match header names the tag (or is "*"); weak tags compare as strong ones,
// as the header's weak comparison asks.
bool matches(QByteArrayView ifNoneMatch, QByteArrayView tag);

// JSON or CSV as the Accept header prefers (by weight, the earlier on a tie); JSON when it
// names neither.
WebQuery::Format preferredFormat(QByteArrayView accept);

} // namespace ApiHttp
