#pragma once

#include <QList>
#include <QMetaType>
#include <QPair>
#include <QString>

// The status and fields of one HTTP response. Default-constructed its status is 0.
class HttpResponseHeader
{
public:
    HttpResponseHeader() = default;
    explicit HttpResponseHeader(int statusCode) : m_statusCode(statusCode) {}

    int statusCode() const { return m_statusCode; }

    // Fields keep their order; a name may repeat. value() gives the first of that name,
    // compared without case.
    void addValue(const QString &key, const QString &value) { m_fields.append({key, value}); }
    QString value(const QString &key) const;

    bool hasContentLength() const;
    // 0 when there is no valid Content-Length.
    qint64 contentLength() const;

private:
    int m_statusCode = 0;
    QList<QPair<QString, QString>> m_fields;
};

Q_DECLARE_METATYPE(HttpResponseHeader)
