#include "web/webfrontend.h"

#include "index/lexicon.h"
#include "query/associator.h"
#include "web/apihttp.h"
#include "web/openapi.h"
#include "web/pageassets.h"
#include "web/pagetexts.h"
#include "web/replycache.h"
#include "web/resultfiles.h"
#include "web/searchpage.h"
#include "web/seedsearch.h"
#include "web/webpaths.h"

namespace {

const QByteArray &commonHeaders()
{
    static const QByteArray headers =
        "X-Content-Type-Options: nosniff\r\nReferrer-Policy: no-referrer\r\n"
        "Content-Security-Policy: " +
        PageAssets::contentSecurityPolicy() + "\r\n";
    return headers;
}

bool isReadingMethod(const QByteArray &method)
{
    return method == "GET" || method == "HEAD";
}

// An answer changes only with the index or the program, and proxies may share it.
constexpr char cacheControl[] = "Cache-Control: public, max-age=3600\r\n";
constexpr char apiMethods[] = "GET, HEAD, OPTIONS";

} // namespace

bool WebFrontend::serves(QByteArrayView path)
{
    return path == WebPaths::page || WebPaths::underApi(path);
}

HttpResponse WebFrontend::handle(const HttpRequest &request) const
{
    HttpResponse response;
    if (answerAtOnce(request, &response)) {
        return response;
    }
    const std::shared_ptr<HttpSplitAnswer> search = split(request);
    return search ? search->answerInOneGo() : HttpResponse::error(404);
}

bool WebFrontend::answerAtOnce(const HttpRequest &request, HttpResponse *response) const
{
    if (WebPaths::underApi(request.path)) {
        return api(request, response);
    }
    if (!isReadingMethod(request.method)) {
        *response = HttpResponse::error(405, "Allow: GET, HEAD\r\n");
        return true;
    }
    const WebQuery query = WebQuery::parse(request.query);
    if (query.problem == WebQuery::Problem::None) {
        return false;
    }
    *response = page(request, query, {});
    return true;
}

std::shared_ptr<HttpSplitAnswer> WebFrontend::split(const HttpRequest &request) const
{
    const WebQuery query = WebQuery::parse(request.query);
    if (query.problem != WebQuery::Problem::None || !isReadingMethod(request.method)) {
        return nullptr;
    }
    if (!WebPaths::underApi(request.path)) {
        return std::make_shared<SeedSearch>(
            m_associator, query.seeds, query.count,
            [this, request, query](const std::vector<SeedResult> &results) {
                return page(request, query, results);
            });
    }
    if (request.path != WebPaths::api || query.format == WebQuery::Format::Html) {
        return nullptr;
    }
    const WebQuery::Format format = fileFormat(request, query);
    return std::make_shared<SeedSearch>(
        m_associator, query.seeds, query.count,
        [this, request, query, format](const std::vector<SeedResult> &results) {
            const QByteArray body = render(query, format, results);
            if (m_replies) {
                m_replies->insert(replyKey(query, format), body);
            }
            return resultFile(request, format, body);
        });
}

HttpResponse WebFrontend::page(const HttpRequest &request, const WebQuery &query,
                               const std::vector<SeedResult> &results) const
{
    const PageTexts &texts = PageTexts::choose(query.language, request.acceptLanguage);
    const bool searchable = query.problem == WebQuery::Problem::None;
    HttpResponse response;
    const bool start = query.problem == WebQuery::Problem::NoSeed && !query.seedFieldGiven;
    response.status = searchable || start ? 200 : 400;
    response.contentType = "text/html; charset=utf-8";
    response.body = SearchPage::render(query, results, *m_lexicon, texts);
    response.extraHeaders = commonHeaders() + "Vary: Accept-Language\r\n";
    return response;
}

// False only for a search whose answer is not in the cache.
bool WebFrontend::api(const HttpRequest &request, HttpResponse *response) const
{
    const QByteArray cors = crossOriginHeaders(request);
    const bool known = request.path == WebPaths::api || request.path == WebPaths::openApi;
    if (!known) {
        *response = ApiHttp::problem(
            404,
            QStringLiteral("no such path; the API is GET %1").arg(QLatin1String(WebPaths::api)),
            cors);
        return true;
    }
    if (request.method == "OPTIONS") {
        *response = preflight(request);
        return true;
    }
    if (!isReadingMethod(request.method)) {
        *response = ApiHttp::problem(405,
                                     QStringLiteral("method %1 not allowed: use GET")
                                         .arg(QString::fromLatin1(request.method.left(20))),
                                     "Allow: " + QByteArray(apiMethods) + "\r\n" + cors);
        return true;
    }
    if (request.path == WebPaths::openApi) {
        const QByteArray headers = cors + cacheControl;
        const QByteArray tag = '"' + QByteArray(LEXIGROVE_VERSION) + "-openapi\"";
        if (ApiHttp::matches(request.ifNoneMatch, tag)) {
            *response = cached(tag, headers);
            return true;
        }
        response->contentType = "application/json; charset=utf-8";
        response->body = OpenApi::document();
        response->extraHeaders = commonHeaders() + headers + "ETag: " + tag + "\r\n";
        return true;
    }
    return associations(request, response);
}

bool WebFrontend::associations(const HttpRequest &request, HttpResponse *response) const
{
    const WebQuery query = WebQuery::parse(request.query);
    const QString problem = query.problemText();
    if (!problem.isEmpty()) {
        *response = ApiHttp::problem(400, problem, crossOriginHeaders(request));
        return true;
    }
    if (query.format == WebQuery::Format::Html) {
        *response =
            ApiHttp::problem(400, QStringLiteral("format must be json or csv, not \"html\""),
                             crossOriginHeaders(request));
        return true;
    }
    const WebQuery::Format format = fileFormat(request, query);
    const QByteArray tag = entityTag(format);
    if (ApiHttp::matches(request.ifNoneMatch, tag)) {
        *response = cached(tag, fileHeaders(request));
        return true;
    }
    QByteArray body;
    if (!m_replies || !m_replies->find(replyKey(query, format), &body)) {
        return false;
    }
    *response = resultFile(request, format, body);
    return true;
}

WebQuery::Format WebFrontend::fileFormat(const HttpRequest &request, const WebQuery &query)
{
    return query.format == WebQuery::Format::Unspecified ? ApiHttp::preferredFormat(request.accept)
                                                         : query.format;
}

// Everything the bytes of a result file depend on: the seeds (as given, since the file names
// them so), the words per seed and the format. The index stays the same while the cache lives.
QByteArray WebFrontend::replyKey(const WebQuery &query, WebQuery::Format format)
{
    return (format == WebQuery::Format::Csv ? "api/csv/" : "api/json/") +
           QByteArray::number(query.count) + '/' + query.seeds.join(QLatin1Char('\n')).toUtf8();
}

QByteArray WebFrontend::render(const WebQuery &query, WebQuery::Format format,
                               const std::vector<SeedResult> &results) const
{
    return format == WebQuery::Format::Csv ? ResultFiles::csv(results, *m_lexicon)
                                           : ResultFiles::json(results, query.count, *m_lexicon);
}

// The answer's format may come from Accept, and its readers from Origin.
QByteArray WebFrontend::fileHeaders(const HttpRequest &request) const
{
    const QByteArray cors = crossOriginHeaders(request);
    return cors + cacheControl + (cors.contains("Vary:") ? "" : "Vary: Accept\r\n");
}

HttpResponse WebFrontend::resultFile(const HttpRequest &request, WebQuery::Format format,
                                     const QByteArray &body) const
{
    HttpResponse response;
    response.body = body;
    response.extraHeaders =
        commonHeaders() + fileHeaders(request) + "ETag: " + entityTag(format) + "\r\n";
    if (format == WebQuery::Format::Csv) {
        response.contentType = "text/csv; charset=utf-8; header=present";
        response.extraHeaders +=
            "Content-Disposition: attachment; filename=\"lexigrove-associations.csv\"\r\n";
    } else {
        response.contentType = "application/json; charset=utf-8";
    }
    return response;
}

HttpResponse WebFrontend::cached(const QByteArray &tag, const QByteArray &headers)
{
    HttpResponse response;
    response.status = 304;
    response.extraHeaders = "ETag: " + tag + "\r\n" + headers;
    return response;
}

// A browser asks before a script of another origin may send what a form could not.
HttpResponse WebFrontend::preflight(const HttpRequest &request) const
{
    HttpResponse response;
    response.status = 204;
    response.extraHeaders = "Allow: " + QByteArray(apiMethods) + "\r\n";
    const QByteArray cors = crossOriginHeaders(request);
    if (cors.contains("Allow-Origin")) {
        response.extraHeaders += cors + "Access-Control-Allow-Methods: GET, HEAD\r\n"
                                        "Access-Control-Allow-Headers: Accept, If-None-Match\r\n"
                                        "Access-Control-Max-Age: 86400\r\n";
    }
    return response;
}

QByteArray WebFrontend::crossOriginHeaders(const HttpRequest &request) const
{
    if (m_allowedOrigin.isEmpty()) {
        return {};
    }
    const QByteArray exposed = "Access-Control-Expose-Headers: ETag\r\n";
    if (m_allowedOrigin == "*") {
        return "Access-Control-Allow-Origin: *\r\n" + exposed;
    }
    // The answer names one origin, so a cache must keep it apart from the answers to others.
    const QByteArray vary = "Vary: Accept, Origin\r\n";
    if (request.origin != m_allowedOrigin) {
        return vary;
    }
    return "Access-Control-Allow-Origin: " + m_allowedOrigin + "\r\n" + exposed + vary;
}

QByteArray WebFrontend::entityTag(WebQuery::Format format) const
{
    return '"' + QByteArray::number(qulonglong(m_lexicon->checksum()), 16) + '-' +
           LEXIGROVE_VERSION + (format == WebQuery::Format::Csv ? "-csv\"" : "-json\"");
}
