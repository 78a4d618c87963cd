#include "web/pagerenderer.h"

#include "index/lexicon.h"
#include "web/resultfiles.h"

namespace PageRenderer {

namespace {

QByteArrayView view(std::string_view s)
{
    return QByteArrayView(s.data(), qsizetype(s.size()));
}

// As QByteArray::toPercentEncoding() writes a link, without its temporary arrays: all but
// letters, digits and "-._~" as %XX.
void appendPercentEncoded(QByteArray *out, QByteArrayView bytes)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    qsizetype plain = 0; // start of the run of characters that stay as they are
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto u = static_cast<unsigned char>(bytes[i]);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            u == '-' || u == '.' || u == '_' || u == '~') {
            continue;
        }
        out->append(bytes.sliced(plain, i - plain));
        plain = i + 1;
        const char escape[3] = {'%', hex[u >> 4], hex[u & 15]};
        out->append(escape, 3);
    }
    out->append(bytes.sliced(plain));
}

void appendEscapedWord(QByteArray *out, QByteArrayView utf8)
{
    qsizetype plain = 0; // start of the run of characters that stay as they are
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c != '<' && c != '>' && c != '&') {
            continue;
        }
        out->append(utf8.sliced(plain, i - plain));
        plain = i + 1;
        out->append(c == '<' ? "&lt;" : c == '>' ? "&gt;" : "&amp;");
    }
    out->append(utf8.sliced(plain));
}

} // namespace

// Index words are data: a "<" or "&" in one must not become markup in a browser. Quotes stay as
// they are, since the desktop program reads the words from the page without decoding entities.
QByteArray escapedWord(QByteArrayView utf8)
{
    QByteArray out;
    appendEscapedWord(&out, utf8);
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
        page.append("<center>Assoziation ueber <a href=\"?eingabe=");
        appendPercentEncoded(&page, word);
        page.append("\">");
        appendEscapedWord(&page, word);
        page.append("</a></center>\n");
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
    ResultFiles::appendJsonString(&out, keyword.toUtf8());
    out.append(",\"count\":").append(QByteArray::number(qlonglong(result.size())));
    out.append(",\"associations\":[");
    for (size_t i = 0; i < result.size(); ++i) {
        const Association &association = result[i];
        out.append(i == 0 ? "\n{\"word\":" : ",\n{\"word\":");
        ResultFiles::appendJsonString(&out, view(lexicon.word(association.word)));
        out.append(",\"relation\":\"").append(view(relationName(association.relation)));
        out.append("\",\"score\":").append(QByteArray::number(double(association.score), 'g', 3));
        out.append('}');
    }
    out.append("]}\n");
    return out;
}

} // namespace PageRenderer
