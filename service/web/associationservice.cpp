#include "web/associationservice.h"

#include "index/lexicon.h"
#include "web/pagerenderer.h"
#include "web/queryfields.h"

namespace {

// Longer keywords are not worth a cache entry: nobody asks for them twice.
constexpr qsizetype maxCachedKeywordBytes = 200;

bool wantsJson(const HttpRequest &request, QueryFields::Format format)
{
    if (format != QueryFields::Format::Unspecified) {
        return format == QueryFields::Format::Json;
    }
    return request.accept.toLower().contains("application/json");
}

} // namespace

AssociationService::AssociationService(const Lexicon *lexicon, qsizetype cacheBytes)
    : m_lexicon(lexicon), m_results(cacheBytes / 2), m_associator(lexicon), m_cache(cacheBytes / 2),
      m_web(&m_associator, lexicon)
{
    m_associator.setCache(&m_results);
}

HttpResponse AssociationService::handle(const HttpRequest &request)
{
    HttpResponse response;
    answer(request, false, &response);
    return response;
}

bool AssociationService::handleAtOnce(const HttpRequest &request, HttpResponse *response)
{
    return answer(request, true, response);
}

// With cachedOnly, false for a request that needs a query.
bool AssociationService::answer(const HttpRequest &request, bool cachedOnly, HttpResponse *response)
{
    if (WebFrontend::serves(request.path)) {
        if (cachedOnly) {
            return false;
        }
        *response = m_web.handle(request);
        return true;
    }
    if (request.path != path) {
        *response = HttpResponse::error(404);
        return true;
    }
    const bool post = request.method == "POST";
    if (!post && request.method != "GET" && request.method != "HEAD") {
        *response = HttpResponse::error(405, "Allow: GET, HEAD, POST\r\n");
        return true;
    }
    // Any content type is taken as a form: the classic client labels its form "text/html".
    QueryFields fields;
    fields.parse(request.query);
    if (post) {
        fields.parse(request.body);
    }
    const bool json = wantsJson(request, fields.format);
    QByteArray body;
    if (!render(fields, json, cachedOnly, &body)) {
        return false;
    }
    response->contentType = json ? "application/json; charset=utf-8" : "text/html; charset=utf-8";
    response->body = body;
    response->extraHeaders = "X-Content-Type-Options: nosniff\r\n";
    return true;
}

bool AssociationService::render(const QueryFields &fields, bool json, bool cachedOnly,
                                QByteArray *page)
{
    const QString keyword = fields.keyword.simplified();
    const QByteArray keywordBytes = keyword.toUtf8();
    const bool cacheable = keywordBytes.size() <= maxCachedKeywordBytes;
    QByteArray cacheKey;
    if (cacheable) {
        cacheKey = QByteArray::number(fields.count) + (json ? "j:" : "h:") + keywordBytes;
        const QMutexLocker locker(&m_cacheLock);
        if (const QByteArray *cached = m_cache.object(cacheKey)) {
            *page = *cached;
            return true;
        }
    }
    if (cachedOnly) {
        return false;
    }
    const std::vector<Association> result = m_associator.associate(keyword, fields.count);
    QByteArray body = json ? PageRenderer::json(keyword, result, *m_lexicon)
                           : PageRenderer::html(keyword, result, *m_lexicon);
    if (cacheable) {
        const QMutexLocker locker(&m_cacheLock);
        m_cache.insert(cacheKey, new QByteArray(body), body.size() + cacheKey.size() + 64);
    }
    *page = body;
    return true;
}
