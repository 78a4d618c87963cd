#include "web/pagerenderer.h"

#include "index/lexicon.h"
#include "web/resultfiles.h"

#include <string>

namespace PageRenderer {

namespace {

QByteArrayView view(std::string_view s)
{
    return QByteArrayView(s.data(), qsizetype(s.size()));
}

// As QByteArray::toPercentEncoding() writes a link: all but letters, digits and "-._~" as %XX.
void appendPercentEncoded(std::string *out, QByteArrayView bytes)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            u == '-' || u == '.' || u == '_' || u == '~') {
            out->push_back(c);
        } else {
            out->push_back('%');
            out->push_back(hex[u >> 4]);
            out->push_back(hex[u & 15]);
        }
    }
}

void appendEscapedWord(std::string *out, QByteArrayView utf8)
{
    for (const char c : utf8) {
        if (c == '<') {
            out->append("&lt;");
        } else if (c == '>') {
            out->append("&gt;");
        } else if (c == '&') {
            out->append("&amp;");
        } else {
            out->push_back(c);
        }
    }
}

void append(std::string *out, QByteArrayView bytes)
{
    out->append(bytes.data(), size_t(bytes.size()));
}

} // namespace

// Index words are data: a "<" or "&" in one must not become markup in a browser. Quotes stay as
// they are, since the desktop program reads the words from the page without decoding entities.
QByteArray escapedWord(QByteArrayView utf8)
{
    std::string out;
    appendEscapedWord(&out, utf8);
    return QByteArray::fromStdString(out);
}

// Written into a std::string, whose append is inline, while QByteArray's goes through its
// general insert: that made up most of the time of a page.
QByteArray html(const QString &keyword, const std::vector<Association> &result,
                const Lexicon &lexicon)
{
    const QByteArray title = keyword.toHtmlEscaped().toUtf8();
    std::string page;
    page.reserve(400 + result.size() * 80);
    page.append("<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
                "<title>Assoziationen: ");
    append(&page, title);
    page.append("</title>\n</head>\n<body>\n<h1>Assoziationen: ");
    append(&page, title);
    page.append("</h1>\n");
    if (result.empty()) {
        page.append("<p>Keine Assoziationen gefunden.</p>\n");
    }
    for (const Association &association : result) {
        const QByteArrayView word = view(lexicon.word(association.word));
        page.append("<center>Assoziation ueber <a href=\"?eingabe=");
        appendPercentEncoded(&page, word);
        page.append("\">");
        appendEscapedWord(&page, word);
        page.append("</a></center>\n");
    }
    page.append("</body>\n</html>\n");
    return QByteArray::fromStdString(page);
}

QByteArray json(const QString &keyword, const std::vector<Association> &result,
                const Lexicon &lexicon)
{
    std::string out;
    out.reserve(100 + result.size() * 70);
    out.append("{\"keyword\":");
    ResultFiles::appendJsonString(&out, keyword.toUtf8());
    out.append(",\"count\":").append(std::to_string(result.size()));
    out.append(",\"associations\":[");
    for (size_t i = 0; i < result.size(); ++i) {
        const Association &association = result[i];
        out.append(i == 0 ? "\n{\"word\":" : ",\n{\"word\":");
        ResultFiles::appendJsonString(&out, view(lexicon.word(association.word)));
        out.append(",\"relation\":\"");
        append(&out, view(relationName(association.relation)));
        out.append("\",\"score\":");
        append(&out, QByteArray::number(double(association.score), 'g', 3));
        out.push_back('}');
    }
    out.append("]}\n");
    return QByteArray::fromStdString(out);
}

} // namespace PageRenderer
