#include "web/webfrontend.h"

#include "index/lexicon.h"
#include "query/associator.h"
#include "web/apihttp.h"
#include "web/openapi.h"
#include "web/pageassets.h"
#include "web/pagetexts.h"
#include "web/resultfiles.h"
#include "web/searchpage.h"
#include "web/webpaths.h"

namespace {

QByteArray commonHeaders()
{
    return "X-Content-Type-Options: nosniff\r\nReferrer-Policy: no-referrer\r\n"
           "Content-Security-Policy: " +
           PageAssets::contentSecurityPolicy() + "\r\n";
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
    if (WebPaths::underApi(request.path)) {
        return api(request);
    }
    if (!isReadingMethod(request.method)) {
        return HttpResponse::error(405, "Allow: GET, HEAD\r\n");
    }
    return page(request);
}

std::vector<SeedResult> WebFrontend::associate(const WebQuery &query) const
{
    std::vector<SeedResult> results;
    results.reserve(size_t(query.seeds.size()));
    for (const QString &seed : query.seeds) {
        results.push_back({seed, m_associator->associate(seed, query.count)});
    }
    return results;
}

HttpResponse WebFrontend::page(const HttpRequest &request) const
{
    const WebQuery query = WebQuery::parse(request.query);
    const PageTexts &texts = PageTexts::choose(query.language, request.acceptLanguage);
    const bool searchable = query.problem == WebQuery::Problem::None;
    HttpResponse response;
    const bool start = query.problem == WebQuery::Problem::NoSeed && !query.seedFieldGiven;
    response.status = searchable || start ? 200 : 400;
    response.contentType = "text/html; charset=utf-8";
    response.body = SearchPage::render(
        query, searchable ? associate(query) : std::vector<SeedResult>(), *m_lexicon, texts);
    response.extraHeaders = commonHeaders() + "Vary: Accept-Language\r\n";
    return response;
}

HttpResponse WebFrontend::api(const HttpRequest &request) const
{
    const QByteArray cors = crossOriginHeaders(request);
    const bool known = request.path == WebPaths::api || request.path == WebPaths::openApi;
    if (!known) {
        return ApiHttp::problem(
            404,
            QStringLiteral("no such path; the API is GET %1").arg(QLatin1String(WebPaths::api)),
            cors);
    }
    if (request.method == "OPTIONS") {
        return preflight(request);
    }
    if (!isReadingMethod(request.method)) {
        return ApiHttp::problem(405,
                                QStringLiteral("method %1 not allowed: use GET")
                                    .arg(QString::fromLatin1(request.method.left(20))),
                                "Allow: " + QByteArray(apiMethods) + "\r\n" + cors);
    }
    if (request.path == WebPaths::openApi) {
        const QByteArray headers = cors + cacheControl;
        const QByteArray tag = '"' + QByteArray(LEXIGROVE_VERSION) + "-openapi\"";
        if (ApiHttp::matches(request.ifNoneMatch, tag)) {
            return cached(tag, headers);
        }
        HttpResponse response;
        response.contentType = "application/json; charset=utf-8";
        response.body = OpenApi::document();
        response.extraHeaders = commonHeaders() + headers + "ETag: " + tag + "\r\n";
        return response;
    }
    return associations(request);
}

HttpResponse WebFrontend::associations(const HttpRequest &request) const
{
    const QByteArray cors = crossOriginHeaders(request);
    const WebQuery query = WebQuery::parse(request.query);
    const QString problem = query.problemText();
    if (!problem.isEmpty()) {
        return ApiHttp::problem(400, problem, cors);
    }
    if (query.format == WebQuery::Format::Html) {
        return ApiHttp::problem(400, QStringLiteral("format must be json or csv, not \"html\""),
                                cors);
    }
    const WebQuery::Format format = query.format == WebQuery::Format::Unspecified
                                        ? ApiHttp::preferredFormat(request.accept)
                                        : query.format;
    const QByteArray tag = entityTag(format);
    // The answer's format may come from Accept, and its readers from Origin.
    const QByteArray headers =
        cors + cacheControl + (cors.contains("Vary:") ? "" : "Vary: Accept\r\n");
    if (ApiHttp::matches(request.ifNoneMatch, tag)) {
        return cached(tag, headers);
    }
    const std::vector<SeedResult> results = associate(query);
    HttpResponse response;
    response.extraHeaders = commonHeaders() + headers + "ETag: " + tag + "\r\n";
    if (format == WebQuery::Format::Csv) {
        response.contentType = "text/csv; charset=utf-8; header=present";
        response.body = ResultFiles::csv(results, *m_lexicon);
        response.extraHeaders +=
            "Content-Disposition: attachment; filename=\"lexigrove-associations.csv\"\r\n";
    } else {
        response.contentType = "application/json; charset=utf-8";
        response.body = ResultFiles::json(results, query.count, *m_lexicon);
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
