#include "search/searchrequest.h"

#include <QCoreApplication>

namespace SearchRequest {

QUrl serviceUrl(QString *problem)
{
    const QString configured = qEnvironmentVariable("LEXIGROVE_SERVICE_URL");
    if (!configured.isEmpty()) {
        const QUrl url(configured, QUrl::StrictMode);
        const bool valid = url.isValid() && !url.host().isEmpty();
        if (valid && url.scheme() == QLatin1String("http"))
            return url;
        // Sending the keyword in clear text where the user asked for TLS would betray them.
        if (problem) {
            const QString reason =
                valid ? QCoreApplication::translate("MainWindow", "only http is supported")
                      : QCoreApplication::translate("MainWindow", "it is not a valid address");
            *problem = QCoreApplication::translate("MainWindow",
                                                   "The association service address %1 "
                                                   "(LEXIGROVE_SERVICE_URL) cannot be used: %2.")
                           .arg(configured, reason);
        }
        return QUrl();
    }
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
    QString host = service.host(QUrl::FullyEncoded);
    // An IPv6 address is written in brackets, or its colons could not be told from the port's.
    if (host.contains(QLatin1Char(':')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    if (port != 80)
        host += QLatin1Char(':') + QString::number(port);

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
