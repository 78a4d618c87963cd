#include "web/openapi.h"

#include <QFile>

namespace OpenApi {

// Built into the program with its version filled in; read once, on the first request for it.
const QByteArray &document()
{
    static const QByteArray text = [] {
        QFile file(QStringLiteral(":/api/openapi.json"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    return text;
}

} // namespace OpenApi
