#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The fields of an association query, from a query string or a form body
// ("eingabe=Haus&anzahl=200&format=json").
struct QueryFields
{
    enum class Format
    {
        Unspecified,
        Html,
        Json
    };

    QString keyword; // eingabe, with control characters turned into blanks
    int count = 200; // anzahl; missing or unreadable gives 200, others are clamped to 1..200
    Format format = Format::Unspecified;

    // Adds the fields of one form-encoded text; a field named again replaces the earlier value,
    // so an old client's own "&anzahl=200" wins over one smuggled in through the keyword.
    void parse(QByteArrayView form);

    // "+" to blank and %XX to its byte; a "%" not followed by two hex digits stays as it is.
    static QByteArray percentDecode(QByteArrayView text);
    // Bytes as UTF-8 when they are valid UTF-8, else as Latin-1, which older clients send.
    static QString decodeText(const QByteArray &bytes);
};
