#pragma once

#include <QByteArray>

// The API described for machines: an OpenAPI 3.0 document, served beside the API.
namespace OpenApi {

const QByteArray &document();

} // namespace OpenApi
