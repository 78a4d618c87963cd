#include "web/resultfiles.h"

#include "index/lexicon.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

namespace ResultFiles {

namespace {

QByteArrayView view(std::string_view s)
{
    return QByteArrayView(s.data(), qsizetype(s.size()));
}

qsizetype total(const std::vector<SeedResult> &results)
{
    qsizetype sum = 0;
    for (const SeedResult &result : results) {
        sum += qsizetype(result.associations.size());
    }
    return sum;
}

bool needsCsvQuotes(QByteArrayView cell)
{
    for (const char c : cell) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            return true;
        }
    }
    return false;
}

// Looked up rather than compared: most bytes of a file pass through here.
constexpr std::array<bool, 256> jsonEscaped = [] {
    std::array<bool, 256> escaped{};
    for (size_t c = 0; c < 0x20; ++c) {
        escaped[c] = true;
    }
    escaped['"'] = true;
    escaped['\\'] = true;
    return escaped;
}();

bool needsJsonEscape(char c)
{
    return jsonEscaped[static_cast<unsigned char>(c)];
}

// An association's bytes from the end of its word to its score: the word's closing quote, the
// relation and the score's name, made once for each relation. Together with the opening they
// take two appends where there were eight, which cost more than the bytes they wrote. The
// relation names are plain lower-case words of our own, with nothing to escape.
std::string_view afterWord(Relation relation)
{
    constexpr size_t named = size_t(Relation::Cooccurrence) + 1; // one more for anything else
    static const std::array<std::string, named + 1> pieces = [] {
        std::array<std::string, named + 1> made;
        for (size_t r = 0; r < made.size(); ++r) {
            made[r] =
                "\",\"relation\":\"" + std::string(relationName(Relation(r))) + "\",\"score\":";
        }
        return made;
    }();
    return pieces[std::min(size_t(relation), named)];
}

void append(std::string *out, std::string_view text)
{
    out->append(text.data(), text.size());
}

} // namespace

double roundedScore(float score)
{
    return std::round(double(score) * 1000.0) / 1000.0;
}

QByteArray scoreText(float score)
{
    std::string text;
    appendScore(&text, score);
    return QByteArray::fromStdString(text);
}

// QByteArray::number(double) took a third of the time of a whole file, so the digits of the
// plain case are made here. They are the same: a thousandth rounded to three decimals is that
// thousandth, however the double stores it. Everything else (negative zero, NaN, infinities,
// huge numbers) takes the general way.
void appendScore(std::string *out, float score)
{
    const double thousandths = std::round(double(score) * 1000.0);
    if (!(thousandths >= 0 && thousandths < 1e12) || std::signbit(thousandths)) {
        out->append(QByteArray::number(thousandths / 1000.0, 'f', 3).toStdString());
        return;
    }
    auto n = static_cast<unsigned long long>(thousandths);
    char digits[24];
    char *end = digits + sizeof digits;
    char *p = end;
    for (int i = 0; i < 3; ++i, n /= 10) {
        *--p = char('0' + n % 10);
    }
    *--p = '.';
    do {
        *--p = char('0' + n % 10);
        n /= 10;
    } while (n != 0);
    out->append(p, size_t(end - p));
}

// Words rarely hold anything to escape: the plain runs between such bytes go in whole, as one
// byte at a time cost as much as all the rest of a file.
void appendJsonText(std::string *out, QByteArrayView utf8)
{
    const char *run = utf8.data();
    for (const char &c : utf8) {
        if (!needsJsonEscape(c)) {
            continue;
        }
        out->append(run, size_t(&c - run));
        run = &c + 1;
        if (c == '"' || c == '\\') {
            out->push_back('\\');
            out->push_back(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(c));
            out->append(escape);
        }
    }
    out->append(run, size_t(utf8.data() + utf8.size() - run));
}

void appendJsonString(std::string *out, QByteArrayView utf8)
{
    out->push_back('"');
    appendJsonText(out, utf8);
    out->push_back('"');
}

void appendCsvField(std::string *out, QByteArrayView utf8)
{
    // A spreadsheet runs a cell that begins like this as a formula; the quote shows it as text.
    static constexpr QByteArrayView formulaStarts = "=+-@\t\r";
    const bool formula = !utf8.isEmpty() && formulaStarts.contains(utf8.front());
    if (!needsCsvQuotes(utf8)) {
        if (formula) {
            out->push_back('\'');
        }
        out->append(utf8.data(), size_t(utf8.size()));
        return;
    }
    out->append(formula ? "\"'" : "\"");
    for (const char c : utf8) {
        out->push_back(c);
        if (c == '"') {
            out->push_back('"');
        }
    }
    out->push_back('"');
}

QByteArray csvField(QByteArrayView utf8)
{
    std::string cell;
    appendCsvField(&cell, utf8);
    return QByteArray::fromStdString(cell);
}

QByteArray csv(const std::vector<SeedResult> &results, const Lexicon &lexicon)
{
    std::string out = "seed,word,relation,score\r\n";
    out.reserve(size_t(32 + total(results) * 48));
    for (const SeedResult &result : results) {
        std::string seed;
        appendCsvField(&seed, result.seed.toUtf8());
        if (result.associations.empty()) {
            out.append(seed).append(",,,\r\n");
        }
        for (const Association &association : result.associations) {
            out.append(seed).push_back(',');
            appendCsvField(&out, view(lexicon.word(association.word)));
            out.push_back(',');
            appendCsvField(&out, view(relationName(association.relation)));
            out.push_back(',');
            appendScore(&out, association.score);
            out.append("\r\n");
        }
    }
    return QByteArray::fromStdString(out);
}

QByteArray json(const std::vector<SeedResult> &results, int count, const Lexicon &lexicon)
{
    std::string out;
    out.reserve(size_t(64 + total(results) * 64));
    out.append("{\"n\":").append(std::to_string(count));
    out.append(",\"count\":").append(std::to_string(total(results)));
    out.append(",\"results\":[");
    for (size_t s = 0; s < results.size(); ++s) {
        const SeedResult &result = results[s];
        out.append(s == 0 ? "{\"seed\":" : ",{\"seed\":");
        appendJsonString(&out, result.seed.toUtf8());
        out.append(",\"count\":").append(std::to_string(result.associations.size()));
        out.append(",\"associations\":[");
        for (size_t i = 0; i < result.associations.size(); ++i) {
            const Association &association = result.associations[i];
            append(&out,
                   i == 0 ? std::string_view("{\"word\":\"") : std::string_view(",{\"word\":\""));
            appendJsonText(&out, view(lexicon.word(association.word)));
            append(&out, afterWord(association.relation));
            appendScore(&out, association.score);
            out.push_back('}');
        }
        out.append("]}");
    }
    out.append("]}\n");
    return QByteArray::fromStdString(out);
}

} // namespace ResultFiles
