#include "web/pagerenderer.h"

#include "index/lexicon.h"

#include <cstdio>

namespace PageRenderer {

namespace {

QByteArrayView view(std::string_view s)
{
    return QByteArrayView(s.data(), qsizetype(s.size()));
}

void appendJsonString(QByteArray *out, QByteArrayView utf8)
{
    out->append('"');
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out->append('\\').append(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(c));
            out->append(escape);
        } else {
            out->append(c);
        }
    }
    out->append('"');
}

} // namespace

// Index words are data: a "<" or "&" in one must not become markup in a browser. Quotes stay as
// they are, since the desktop program reads the words from the page without decoding entities.
QByteArray escapedWord(QByteArrayView utf8)
{
    QByteArray out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        out.append(c == '<'   ? QByteArrayView("&lt;")
                   : c == '>' ? QByteArrayView("&gt;")
                   : c == '&' ? QByteArrayView("&amp;")
                              : QByteArrayView(&c, 1));
    }
    return out;
}

QByteArray html(const QString &keyword, const std::vector<Association> &result,
                const Lexicon &lexicon)
{
    const QByteArray title = keyword.toHtmlEscaped().toUtf8();
    QByteArray page;
    page.reserve(400 + qsizetype(result.size()) * 80);
    page.append("<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
                "<title>Assoziationen: ")
        .append(title)
        .append("</title>\n</head>\n<body>\n<h1>Assoziationen: ")
        .append(title)
        .append("</h1>\n");
    if (result.empty()) {
        page.append("<p>Keine Assoziationen gefunden.</p>\n");
    }
    for (const Association &association : result) {
        const QByteArrayView word = view(lexicon.word(association.word));
        page.append("<center>Assoziation ueber <a href=\"?eingabe=")
            .append(word.toByteArray().toPercentEncoding())
            .append("\">")
            .append(escapedWord(word))
            .append("</a></center>\n");
    }
    page.append("</body>\n</html>\n");
    return page;
}

QByteArray json(const QString &keyword, const std::vector<Association> &result,
                const Lexicon &lexicon)
{
    QByteArray out;
    out.reserve(100 + qsizetype(result.size()) * 70);
    out.append("{\"keyword\":");
    appendJsonString(&out, keyword.toUtf8());
    out.append(",\"count\":").append(QByteArray::number(qlonglong(result.size())));
    out.append(",\"associations\":[");
    for (size_t i = 0; i < result.size(); ++i) {
        const Association &association = result[i];
        out.append(i == 0 ? "\n{\"word\":" : ",\n{\"word\":");
        appendJsonString(&out, view(lexicon.word(association.word)));
        out.append(",\"relation\":\"").append(view(relationName(association.relation)));
        out.append("\",\"score\":").append(QByteArray::number(double(association.score), 'g', 3));
        out.append('}');
    }
    out.append("]}\n");
    return out;
}

} // namespace PageRenderer
