#pragma once

#include "http/httpmessage.h"
#include "query/associationcache.h"
#include "query/associator.h"
#include "web/replycache.h"
#include "web/webfrontend.h"

#include <QByteArray>

class Lexicon;
struct QueryFields;

// Answers association queries at the one path clients use, as an HTML page or as JSON; the
// search page and the API are the WebFrontend's.
// Rendered replies are kept in a bounded cache, since clients ask for the same few keywords
// again and again. Requests may be handled on several threads at once.
class AssociationService : public HttpHandler
{
public:
    static constexpr const char *path = "/cgi-bin/meta/meta.ger1-asso";

    explicit AssociationService(const Lexicon *lexicon, qsizetype cacheBytes = 32 * 1024 * 1024);

    HttpResponse handle(const HttpRequest &request) override;
    void setAllowedOrigin(const QByteArray &origin) { m_web.setAllowedOrigin(origin); }
    // Errors and pages in the cache.
    bool handleAtOnce(const HttpRequest &request, HttpResponse *response) override;
    // Searches for several seeds, one part each.
    std::shared_ptr<HttpSplitAnswer> split(const HttpRequest &request) override;
    const AssociationCache &answers() const { return m_results; }

private:
    bool answer(const HttpRequest &request, bool cachedOnly, HttpResponse *response);
    bool render(const QueryFields &fields, bool json, bool cachedOnly, QByteArray *page);

    const Lexicon *m_lexicon;
    AssociationCache m_results; // for the classic path, the page and the API alike
    Associator m_associator;
    ReplyCache m_replies; // the classic path's pages and the API's files
    WebFrontend m_web;    // the search page and the API, beside the classic path
};
