#include "web/associationservice.h"

#include "index/lexicon.h"
#include "web/pagerenderer.h"
#include "web/queryfields.h"

namespace {

bool wantsJson(const HttpRequest &request, QueryFields::Format format)
{
    if (format != QueryFields::Format::Unspecified) {
        return format == QueryFields::Format::Json;
    }
    return request.accept.toLower().contains("application/json");
}

} // namespace

AssociationService::AssociationService(const Lexicon *lexicon, qsizetype cacheBytes)
    : m_lexicon(lexicon), m_results(cacheBytes / 2), m_associator(lexicon),
      m_replies(cacheBytes / 2), m_web(&m_associator, lexicon, &m_replies)
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

std::shared_ptr<HttpSplitAnswer> AssociationService::split(const HttpRequest &request)
{
    return WebFrontend::serves(request.path) ? m_web.split(request) : nullptr;
}

// With cachedOnly, false for a request that needs a query.
bool AssociationService::answer(const HttpRequest &request, bool cachedOnly, HttpResponse *response)
{
    if (WebFrontend::serves(request.path)) {
        if (cachedOnly) {
            return m_web.answerAtOnce(request, response);
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
    const QByteArray cacheKey =
        QByteArray::number(fields.count) + (json ? "j:" : "h:") + keyword.toUtf8();
    if (m_replies.find(cacheKey, page)) {
        return true;
    }
    if (cachedOnly) {
        return false;
    }
    const std::vector<Association> result = m_associator.associate(keyword, fields.count);
    QByteArray body = json ? PageRenderer::json(keyword, result, *m_lexicon)
                           : PageRenderer::html(keyword, result, *m_lexicon);
    m_replies.insert(cacheKey, body);
    *page = body;
    return true;
}
