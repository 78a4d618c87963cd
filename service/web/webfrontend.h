#pragma once

#include "http/httpmessage.h"
#include "web/seedresult.h"
#include "web/webquery.h"

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

class Associator;
class Lexicon;

// The service for people and scripts: the search page at "/" and the association API under
// "/api/". It keeps no state between requests, so any number of copies can stand behind one
// proxy.
class WebFrontend
{
public:
    WebFrontend(const Associator *associator, const Lexicon *lexicon)
        : m_associator(associator), m_lexicon(lexicon)
    {}

    static bool serves(QByteArrayView path);
    HttpResponse handle(const HttpRequest &request) const;

    // The one other origin whose browser scripts may read the API ("*" for any); none when
    // empty, which keeps a service on a user's own machine to itself.
    void setAllowedOrigin(const QByteArray &origin) { m_allowedOrigin = origin; }

private:
    HttpResponse page(const HttpRequest &request) const;
    HttpResponse api(const HttpRequest &request) const;
    HttpResponse associations(const HttpRequest &request) const;
    HttpResponse preflight(const HttpRequest &request) const;
    static HttpResponse cached(const QByteArray &tag, const QByteArray &headers);
    QByteArray crossOriginHeaders(const HttpRequest &request) const;
    QByteArray entityTag(WebQuery::Format format) const;
    std::vector<SeedResult> associate(const WebQuery &query) const;

    const Associator *m_associator;
    const Lexicon *m_lexicon;
    QByteArray m_allowedOrigin;
};
