#pragma once

#include "http/httpmessage.h"
#include "web/seedresult.h"
#include "web/webquery.h"

#include <QByteArray>
#include <QByteArrayView>

#include <memory>
#include <vector>

class Associator;
class Lexicon;
class ReplyCache;

// The service for people and scripts: the search page at "/" and the association API under
// "/api/". It keeps no state between requests but a cache, so any number of copies can stand
// behind one proxy.
class WebFrontend
{
public:
    // The API's rendered answers go into the cache, when there is one.
    WebFrontend(const Associator *associator, const Lexicon *lexicon, ReplyCache *replies = nullptr)
        : m_associator(associator), m_lexicon(lexicon), m_replies(replies)
    {}

    static bool serves(QByteArrayView path);
    HttpResponse handle(const HttpRequest &request) const;
    // What needs no query: errors, the start page, tags the client holds, answers in the cache.
    bool answerAtOnce(const HttpRequest &request, HttpResponse *response) const;
    // The rest: a search with one part per seed keyword.
    std::shared_ptr<HttpSplitAnswer> split(const HttpRequest &request) const;

    // The one other origin whose browser scripts may read the API ("*" for any); none when
    // empty, which keeps a service on a user's own machine to itself.
    void setAllowedOrigin(const QByteArray &origin) { m_allowedOrigin = origin; }

private:
    HttpResponse page(const HttpRequest &request, const WebQuery &query,
                      const std::vector<SeedResult> &results) const;
    bool api(const HttpRequest &request, HttpResponse *response) const;
    bool associations(const HttpRequest &request, HttpResponse *response) const;
    HttpResponse resultFile(const HttpRequest &request, WebQuery::Format format,
                            const QByteArray &body) const;
    QByteArray render(const WebQuery &query, WebQuery::Format format,
                      const std::vector<SeedResult> &results) const;
    HttpResponse preflight(const HttpRequest &request) const;
    static HttpResponse cached(const QByteArray &tag, const QByteArray &headers);
    static WebQuery::Format fileFormat(const HttpRequest &request, const WebQuery &query);
    static QByteArray replyKey(const WebQuery &query, WebQuery::Format format);
    QByteArray fileHeaders(const HttpRequest &request) const;
    QByteArray crossOriginHeaders(const HttpRequest &request) const;
    QByteArray entityTag(WebQuery::Format format) const;

    const Associator *m_associator;
    const Lexicon *m_lexicon;
    ReplyCache *m_replies;
    QByteArray m_allowedOrigin;
};
