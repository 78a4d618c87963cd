#pragma once

#include "search/httprequestheader.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

// What one keyword search sends to the association service.
namespace SearchRequest {

// The local association service, unless LEXIGROVE_SERVICE_URL names another one. An address
// this client cannot use (it speaks plain http only) gives an invalid URL, and problem says why.
QUrl serviceUrl(QString *problem = nullptr);

// The request head: POST to the service's path with its five fields, in their order.
HttpRequestHeader header(const QUrl &service);

// "eingabe=" + the keyword's Latin-1 bytes, form-encoded so that "&", "=", "%" and "+" in a
// keyword stay inside it, + "&anzahl=200" (the quantity only trims the list afterwards).
QByteArray body(const QString &keyword);

} // namespace SearchRequest
