#include "webquery.h"

#include "associator.h"
#include "queryfields.h"

#include <QUrl>

namespace {

// Control characters become blanks: shown, they would only confuse (or cut a text at a NUL).
QString withoutControlCharacters(QString text, bool keepLineEnds = false)
{
    for (QChar &c : text) {
        const bool lineEnd = c == QLatin1Char('\n') || c == QLatin1Char('\r');
        if (c.category() == QChar::Other_Control && !(keepLineEnds && lineEnd)) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

// A value echoed in a one-line reason: short, and without line ends of its own.
QString detail(const QString &value)
{
    return withoutControlCharacters(value.left(40)).simplified();
}

int parseCount(const QString &value, bool *ok)
{
    const int n = value.trimmed().toInt(ok);
    *ok = *ok && n >= 1 && n <= Associator::maxCount;
    return n;
}

} // namespace

WebQuery WebQuery::parse(QByteArrayView query)
{
    WebQuery result;
    if (query.size() > maxInputBytes) {
        result.problem = Problem::InputTooLong;
        return result;
    }
    qsizetype start = 0;
    while (start < query.size()) {
        qsizetype end = query.indexOf('&', start);
        if (end < 0) {
            end = query.size();
        }
        const QByteArrayView field = query.sliced(start, end - start);
        start = end + 1;
        if (field.isEmpty()) {
            continue;
        }
        const qsizetype equals = field.indexOf('=');
        const QByteArray name =
            QueryFields::percentDecode(equals < 0 ? field : field.first(equals));
        const QByteArray value =
            equals < 0 ? QByteArray() : QueryFields::percentDecode(field.sliced(equals + 1));
        result.take(name, QueryFields::decodeText(value));
    }
    if (result.problem == Problem::None && result.seeds.isEmpty()) {
        result.problem = Problem::NoSeed;
    }
    return result;
}

void WebQuery::take(const QByteArray &name, const QString &value)
{
    if (name == "q") {
        seedText += (seedText.isEmpty() ? QString() : QStringLiteral("\n")) +
                    withoutControlCharacters(value, true);
        addSeeds(value);
    } else if (name == "n") {
        bool ok = false;
        const int n = parseCount(value, &ok);
        if (ok) {
            count = n;
        } else if (problem == Problem::None) {
            problem = Problem::BadCount;
            problemDetail = detail(value);
        }
    } else if (name == "format") {
        const QString f = value.trimmed().toLower();
        format = f == QLatin1String("json")   ? Format::Json
                 : f == QLatin1String("csv")  ? Format::Csv
                 : f == QLatin1String("html") ? Format::Html
                                              : format;
        if (f != QLatin1String("json") && f != QLatin1String("csv") && f != QLatin1String("html") &&
            problem == Problem::None) {
            problem = Problem::BadFormat;
            problemDetail = detail(value);
        }
    } else if (name == "lang") {
        const QString l = value.trimmed().toLower();
        if (l == QLatin1String("de") || l == QLatin1String("en")) {
            language = l;
        } else if (problem == Problem::None) {
            problem = Problem::BadLanguage;
            problemDetail = detail(value);
        }
    } else if (unknownField.isEmpty()) {
        unknownField = detail(QueryFields::decodeText(name));
    }
}

void WebQuery::addSeeds(const QString &text)
{
    QString separated = text;
    separated.replace(QLatin1Char('\r'), QLatin1Char(','))
        .replace(QLatin1Char('\n'), QLatin1Char(','));
    const QStringList pieces = separated.split(QLatin1Char(','));
    for (const QString &piece : pieces) {
        const QString seed = withoutControlCharacters(piece).simplified();
        if (seed.isEmpty() || problem != Problem::None) {
            continue;
        }
        if (seed.size() > maxSeedLength) {
            problem = Problem::SeedTooLong;
            problemDetail = detail(seed) + QStringLiteral("...");
        } else if (!seeds.contains(seed, Qt::CaseInsensitive)) {
            if (seeds.size() == maxSeeds) {
                problem = Problem::TooManySeeds;
            } else {
                seeds.append(seed);
            }
        }
    }
}

QByteArray WebQuery::toQuery(Format linkFormat, bool withLanguage) const
{
    QByteArray out;
    for (const QString &seed : seeds) {
        out.append(out.isEmpty() ? "q=" : "&q=").append(QUrl::toPercentEncoding(seed));
    }
    out.append("&n=").append(QByteArray::number(count));
    if (linkFormat == Format::Json || linkFormat == Format::Csv) {
        out.append(linkFormat == Format::Json ? "&format=json" : "&format=csv");
    }
    if (withLanguage && !language.isEmpty()) {
        out.append("&lang=").append(language.toLatin1());
    }
    return out;
}

QString WebQuery::problemText() const
{
    switch (problem) {
    case Problem::None:
        break;
    case Problem::NoSeed:
        return QStringLiteral("no seed keyword: give one or more in q");
    case Problem::TooManySeeds:
        return QStringLiteral("too many seed keywords: at most %1").arg(maxSeeds);
    case Problem::SeedTooLong:
        return QStringLiteral("seed keyword too long (at most %1 characters): %2")
            .arg(maxSeedLength)
            .arg(problemDetail);
    case Problem::InputTooLong:
        return QStringLiteral("query too long: at most %1 bytes").arg(maxInputBytes);
    case Problem::BadCount:
        return QStringLiteral("n must be a whole number from 1 to %1, not \"%2\"")
            .arg(Associator::maxCount)
            .arg(problemDetail);
    case Problem::BadFormat:
        return QStringLiteral("format must be json or csv, not \"%1\"").arg(problemDetail);
    case Problem::BadLanguage:
        return QStringLiteral("lang must be de or en, not \"%1\"").arg(problemDetail);
    }
    return unknownField.isEmpty() ? QString()
                                  : QStringLiteral("unknown field \"%1\"").arg(unknownField);
}
