#include "search/searchrequest.h"

namespace SearchRequest {

QUrl serviceUrl()
{
    const QString configured = qEnvironmentVariable("LEXIGROVE_SERVICE_URL");
    if (!configured.isEmpty())
        return QUrl(configured);
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(LEXIGROVE_SERVICE_PORT);
    url.setPath(QStringLiteral("/cgi-bin/meta/meta.ger1-asso"));
    return url;
}

HttpRequestHeader header(const QUrl &service)
{
    QString path = service.path(QUrl::FullyEncoded);
    if (path.isEmpty())
        path = QStringLiteral("/");
    if (service.hasQuery())
        path += QLatin1Char('?') + service.query(QUrl::FullyEncoded);
    // A service on another port than 80 must be named with it, or virtual hosts go astray.
    const int port = service.port(80);
    const QString host =
        port == 80 ? service.host() : service.host() + QLatin1Char(':') + QString::number(port);

    HttpRequestHeader header(QStringLiteral("POST"), path);
    header.setValue(QStringLiteral("Host"), host);
    header.setValue(QStringLiteral("Keep-Alive"), QStringLiteral("300"));
    header.setValue(QStringLiteral("Connection-Type"), QStringLiteral("keep-alive"));
    header.setValue(QStringLiteral("Referer"), path);
    header.setValue(QStringLiteral("Content-type"), QStringLiteral("text/html"));
    return header;
}

QByteArray body(const QString &keyword)
{
    QByteArray encoded = keyword.toLatin1().toPercentEncoding(QByteArrayLiteral(" "));
    encoded.replace(' ', '+');
    return QByteArrayLiteral("eingabe=") + encoded + QByteArrayLiteral("&anzahl=200");
}

} // namespace SearchRequest
