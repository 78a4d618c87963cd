#include "web/searchpage.h"

#include "index/lexicon.h"
#include "query/associator.h"
#include "web/pageassets.h"
#include "web/resultfiles.h"
#include "web/webpaths.h"

namespace SearchPage {

namespace {

QByteArray escaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

QByteArray escaped(const char *utf8)
{
    return escaped(QString::fromUtf8(utf8));
}

// The query that searches again with other seeds, keeping the quantity and a chosen language.
QByteArray searchLink(const WebQuery &query, const QStringList &seeds)
{
    WebQuery next = query;
    next.seeds = seeds;
    return escaped(QString::fromLatin1("/?" + next.toQuery(WebQuery::Format::Html, true)));
}

void appendHead(QByteArray *page, const WebQuery &query, const PageTexts &texts)
{
    const QByteArray title = query.seeds.isEmpty()
                                 ? escaped(texts.title)
                                 : escaped(query.seeds.join(QStringLiteral(", "))) + " – Lexigrove";
    page->append("<!DOCTYPE html>\n<html lang=\"")
        .append(texts.language)
        .append("\">\n<head>\n<meta charset=\"utf-8\">\n"
                "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                "<title>")
        .append(title)
        .append("</title>\n<style>")
        .append(PageAssets::style())
        .append("</style>\n</head>\n<body>\n");
}

void appendHeader(QByteArray *page, const WebQuery &query, const PageTexts &texts)
{
    WebQuery other = query;
    other.language = QString::fromLatin1(texts.otherLanguage);
    const QByteArray switchLink =
        other.seeds.isEmpty()
            ? "/?lang=" + other.language.toLatin1()
            : escaped(QString::fromLatin1("/?" + other.toQuery(WebQuery::Format::Html, true)));
    page->append("<header class=\"top\"><div>\n<h1><a href=\"/\">Lexigrove</a></h1>\n<p>")
        .append(escaped(texts.tagline))
        .append("</p>\n<a class=\"language\" lang=\"")
        .append(texts.otherLanguage)
        .append("\" href=\"")
        .append(switchLink)
        .append("\">")
        .append(texts.otherLanguageName)
        .append("</a>\n</div></header>\n");
}

void appendForm(QByteArray *page, const WebQuery &query, const PageTexts &texts)
{
    page->append("<form method=\"get\" action=\"/\">\n<div class=\"keywords\"><label for=\"q\">")
        .append(escaped(texts.keywords))
        .append("</label><input id=\"q\" name=\"q\" type=\"text\" maxlength=\"1100\" required"
                " autocomplete=\"off\" enterkeyhint=\"search\" placeholder=\"")
        .append(escaped(texts.keywordsPlaceholder))
        .append("\" value=\"")
        .append(escaped(query.seedText.left(1100)))
        .append("\"></div>\n<div class=\"count\"><label for=\"n\">")
        .append(escaped(texts.count))
        .append("</label><input id=\"n\" name=\"n\" type=\"number\" min=\"1\" max=\"")
        .append(QByteArray::number(Associator::maxCount))
        .append("\" value=\"")
        .append(query.problem == WebQuery::Problem::BadCount ? escaped(query.countText)
                                                             : QByteArray::number(query.count))
        .append("\" required></div>\n");
    if (!query.language.isEmpty()) {
        page->append("<input type=\"hidden\" name=\"lang\" value=\"")
            .append(query.language.toLatin1())
            .append("\">\n");
    }
    page->append("<button type=\"submit\">")
        .append(escaped(texts.search))
        .append("</button>\n<p class=\"hint\">")
        .append(escaped(texts.keywordsHint))
        .append("</p>\n</form>\n");
}

void appendTable(QByteArray *page, const WebQuery &query, const SeedResult &result,
                 const Lexicon &lexicon, const PageTexts &texts)
{
    const qsizetype n = qsizetype(result.associations.size());
    page->append("<section>\n<h2>")
        .append(escaped(result.seed))
        .append(" <small>")
        .append(n == 1 ? escaped(texts.oneWord) : escaped(QString::fromUtf8(texts.words).arg(n)))
        .append("</small></h2>\n");
    if (n == 0) {
        page->append("<p>").append(escaped(texts.nothingFound)).append("</p>\n</section>\n");
        return;
    }
    const QByteArray sortHint = escaped(texts.sortHint);
    page->append("<table>\n<caption>")
        .append(escaped(QString::fromUtf8(texts.caption).arg(result.seed)))
        .append("</caption>\n<thead><tr><th class=\"num\" data-sort=\"num\" title=\"")
        .append(sortHint + "\">#</th><th data-sort=\"text\" title=\"" + sortHint + "\">")
        .append(escaped(texts.word) + "</th><th data-sort=\"text\" title=\"" + sortHint + "\">")
        .append(escaped(texts.relation) + "</th><th class=\"num\" data-sort=\"num\" title=\"")
        .append(sortHint + "\">" + escaped(texts.score) + "</th></tr></thead>\n<tbody>\n");
    int rank = 0;
    for (const Association &association : result.associations) {
        const std::string_view word = lexicon.word(association.word);
        const QString wordText = QString::fromUtf8(word.data(), qsizetype(word.size()));
        page->append("<tr><td class=\"num\">")
            .append(QByteArray::number(++rank))
            .append("</td><td><a href=\"")
            .append(searchLink(query, {wordText}))
            .append("\">")
            .append(escaped(wordText))
            .append("</a></td><td>")
            .append(escaped(texts.relationLabel(relationName(association.relation))))
            .append("</td><td class=\"num\">")
            .append(escaped(texts.formatScore(ResultFiles::roundedScore(association.score))))
            .append("</td></tr>\n");
    }
    page->append("</tbody>\n</table>\n</section>\n");
}

void appendResults(QByteArray *page, const WebQuery &query, const std::vector<SeedResult> &results,
                   const Lexicon &lexicon, const PageTexts &texts)
{
    const QString problem = texts.problem(query);
    if (!problem.isEmpty()) {
        page->append("<p class=\"problem\" role=\"alert\">")
            .append(escaped(problem))
            .append("</p>\n");
        return;
    }
    if (results.empty()) {
        return;
    }
    page->append("<p class=\"downloads\"><a download=\"lexigrove-associations.csv\" href=\"")
        .append(WebPaths::api)
        .append('?')
        .append(escaped(QString::fromLatin1(query.toQuery(WebQuery::Format::Csv, false))))
        .append("\">")
        .append(escaped(texts.downloadCsv))
        .append("</a> · <a href=\"")
        .append(WebPaths::api)
        .append('?')
        .append(escaped(QString::fromLatin1(query.toQuery(WebQuery::Format::Json, false))))
        .append("\">")
        .append(escaped(texts.downloadJson))
        .append("</a></p>\n<div class=\"results\">\n");
    for (const SeedResult &result : results) {
        appendTable(page, query, result, lexicon, texts);
    }
    page->append("</div>\n");
}

void appendFooter(QByteArray *page, const PageTexts &texts)
{
    page->append("<footer>")
        .append(escaped(texts.scripts))
        .append(" <code>GET ")
        .append(WebPaths::api)
        .append("?q=Haus&amp;q=Garten&amp;n=20&amp;format=csv</code> (")
        .append("format=json|csv)</footer>\n<script>")
        .append(PageAssets::script())
        .append("</script>\n</body>\n</html>\n");
}

} // namespace

QByteArray render(const WebQuery &query, const std::vector<SeedResult> &results,
                  const Lexicon &lexicon, const PageTexts &texts)
{
    QByteArray page;
    page.reserve(8192 + qsizetype(results.size()) * query.count * 160);
    appendHead(&page, query, texts);
    appendHeader(&page, query, texts);
    page.append("<main>\n");
    appendForm(&page, query, texts);
    appendResults(&page, query, results, lexicon, texts);
    page.append("</main>\n");
    appendFooter(&page, texts);
    return page;
}

} // namespace SearchPage
