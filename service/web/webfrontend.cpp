#include "webfrontend.h"

#include "associator.h"
#include "pageassets.h"
#include "pagetexts.h"
#include "resultfiles.h"
#include "searchpage.h"
#include "webpaths.h"
#include "webquery.h"

namespace {

QByteArray commonHeaders()
{
    return "X-Content-Type-Options: nosniff\r\nReferrer-Policy: no-referrer\r\n"
           "Content-Security-Policy: " +
           PageAssets::contentSecurityPolicy() + "\r\n";
}

HttpResponse badRequest(const QString &reason)
{
    HttpResponse response;
    response.status = 400;
    response.contentType = "text/plain; charset=utf-8";
    response.body = reason.toUtf8() + '\n';
    response.extraHeaders = commonHeaders();
    return response;
}

bool isReadingMethod(const QByteArray &method)
{
    return method == "GET" || method == "HEAD";
}

} // namespace

bool WebFrontend::serves(QByteArrayView path)
{
    return path == WebPaths::page || path == WebPaths::api;
}

HttpResponse WebFrontend::handle(const HttpRequest &request) const
{
    if (!isReadingMethod(request.method)) {
        return HttpResponse::error(405, "Allow: GET, HEAD\r\n");
    }
    return request.path == WebPaths::api ? api(request) : page(request);
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
    const bool refused = !searchable && query.problem != WebQuery::Problem::NoSeed;
    response.status = refused ? 400 : 200;
    response.contentType = "text/html; charset=utf-8";
    response.body = SearchPage::render(
        query, searchable ? associate(query) : std::vector<SeedResult>(), *m_lexicon, texts);
    response.extraHeaders = commonHeaders() + "Vary: Accept-Language\r\n";
    return response;
}

HttpResponse WebFrontend::api(const HttpRequest &request) const
{
    const WebQuery query = WebQuery::parse(request.query);
    const QString problem = query.problemText();
    if (!problem.isEmpty()) {
        return badRequest(problem);
    }
    if (query.format == WebQuery::Format::Html) {
        return badRequest(QStringLiteral("format must be json or csv, not \"html\""));
    }
    const std::vector<SeedResult> results = associate(query);
    HttpResponse response;
    response.extraHeaders = commonHeaders();
    if (query.format == WebQuery::Format::Csv) {
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
