#include "web/webquery.h"

#include "query/associator.h"
#include "web/queryfields.h"

#include <QUrl>

#include <algorithm>

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
    const qsizetype cut = value.size() > 40 && value[39].isHighSurrogate() ? 39 : 40;
    return withoutControlCharacters(value.left(cut)).simplified();
}

qsizetype codePoints(const QString &text)
{
    return text.size() -
           std::count_if(text.begin(), text.end(), [](QChar c) { return c.isLowSurrogate(); });
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
        // Browsers and scripts send UTF-8; anything else would come out as different letters.
        if (!name.isValidUtf8() || !value.isValidUtf8()) {
            result.report(Problem::BadEncoding, QString());
            continue;
        }
        result.take(name, QString::fromUtf8(value));
    }
    if (result.problem == Problem::None && result.seeds.isEmpty()) {
        result.problem = Problem::NoSeed;
    }
    return result;
}

void WebQuery::report(Problem what, const QString &value)
{
    if (problem == Problem::None) {
        problem = what;
        problemDetail = value;
    }
}

// A second value for a field that holds one would silently override the first.
bool WebQuery::firstTime(const QByteArray &name)
{
    const bool repeated = givenOnce.contains(name);
    givenOnce.append(name);
    if (repeated) {
        report(Problem::RepeatedField, QString::fromLatin1(name));
    }
    return !repeated;
}

void WebQuery::take(const QByteArray &name, const QString &value)
{
    if ((name == "n" || name == "format" || name == "lang") && !firstTime(name)) {
        return;
    }
    if (name == "q") {
        seedFieldGiven = true;
        // One line in the page's field: line ends separate seeds as commas do.
        QString typed = withoutControlCharacters(value, true);
        typed.replace(QLatin1String("\r\n"), QLatin1String(", "))
            .replace(QLatin1Char('\r'), QLatin1String(", "))
            .replace(QLatin1Char('\n'), QLatin1String(", "));
        seedText += (seedText.isEmpty() ? QString() : QStringLiteral(", ")) + typed;
        addSeeds(value);
    } else if (name == "n") {
        bool ok = false;
        countText = detail(value);
        const int n = parseCount(value, &ok);
        if (ok) {
            count = n;
        } else {
            report(Problem::BadCount, detail(value));
        }
    } else if (name == "format") {
        const QString f = value.trimmed().toLower();
        format = f == QLatin1String("json")   ? Format::Json
                 : f == QLatin1String("csv")  ? Format::Csv
                 : f == QLatin1String("html") ? Format::Html
                                              : format;
        if (f != QLatin1String("json") && f != QLatin1String("csv") && f != QLatin1String("html")) {
            report(Problem::BadFormat, detail(value));
        }
    } else if (name == "lang") {
        const QString l = value.trimmed().toLower();
        if (l == QLatin1String("de") || l == QLatin1String("en")) {
            language = l;
        } else {
            report(Problem::BadLanguage, detail(value));
        }
    } else if (unknownField.isEmpty()) {
        unknownField = detail(QString::fromUtf8(name));
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
        // Counted in code points: an emoji is one character to whoever typed it.
        if (codePoints(seed) > maxSeedLength) {
            report(Problem::SeedTooLong, detail(seed) + QStringLiteral("..."));
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
    case Problem::RepeatedField:
        return QStringLiteral("%1 given more than once").arg(problemDetail);
    case Problem::BadEncoding:
        return QStringLiteral("the query is not valid UTF-8");
    }
    return unknownField.isEmpty() ? QString()
                                  : QStringLiteral("unknown field \"%1\"").arg(unknownField);
}
