#include "web/queryfields.h"

#include <algorithm>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

int parseCount(const QByteArray &value)
{
    bool ok = false;
    const qlonglong n = value.trimmed().toLongLong(&ok);
    return ok ? int(std::clamp<qlonglong>(n, 1, 200)) : 200;
}

// Control characters mean nothing in a keyword, and would reach the page and its title raw.
QString withoutControlCharacters(QString text)
{
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

} // namespace

QByteArray QueryFields::percentDecode(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out.append(' ');
        } else if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            out.append(char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            out.append(c);
        }
    }
    return out;
}

QString QueryFields::decodeText(const QByteArray &bytes)
{
    return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

void QueryFields::parse(QByteArrayView form)
{
    qsizetype start = 0;
    while (start <= form.size()) {
        qsizetype end = form.indexOf('&', start);
        if (end < 0) {
            end = form.size();
        }
        const QByteArrayView field = form.sliced(start, end - start);
        start = end + 1;
        const qsizetype equals = field.indexOf('=');
        if (equals < 0) {
            continue;
        }
        const QByteArray name = percentDecode(field.first(equals));
        const QByteArray value = percentDecode(field.sliced(equals + 1));
        if (name == "eingabe") {
            keyword = withoutControlCharacters(decodeText(value));
        } else if (name == "anzahl") {
            count = parseCount(value);
        } else if (name == "format") {
            const QByteArray f = value.trimmed().toLower();
            format = f == "json" ? Format::Json : f == "html" ? Format::Html : format;
        }
    }
}
