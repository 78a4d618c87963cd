#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The head of one HTTP request as the caller builds it: method, path and the fields in the order
// they were set. Field names are kept exactly as given; lookups ignore case.
class HttpRequestHeader
{
public:
    HttpRequestHeader() = default;
    HttpRequestHeader(const QString &method, const QString &path) : m_method(method), m_path(path)
    {}

    QString method() const { return m_method; }
    QString path() const { return m_path; }

    // Replaces the value of an existing field of that name in place (its position and spelling
    // stay), or appends a new field.
    void setValue(const QString &key, const QString &value);
    QString value(const QString &key) const;
    bool hasKey(const QString &key) const { return indexOf(key) >= 0; }
    QList<QPair<QString, QString>> values() const { return m_fields; }

private:
    qsizetype indexOf(const QString &key) const;

    QString m_method;
    QString m_path;
    QList<QPair<QString, QString>> m_fields;
};
