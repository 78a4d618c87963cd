#pragma once

#include <QList>
#include <QMetaType>
#include <QPair>
#include <QString>

// The status and fields of one HTTP response. Default-constructed it is invalid (status 0).
// The version is 0.0 when the transport does not tell it.
class HttpResponseHeader
{
public:
    HttpResponseHeader() = default;
    HttpResponseHeader(int statusCode, const QString &reasonPhrase, int majorVersion = 0,
                       int minorVersion = 0);

    bool isValid() const { return m_statusCode > 0; }
    int statusCode() const { return m_statusCode; }
    QString reasonPhrase() const { return m_reasonPhrase; }
    int majorVersion() const { return m_majorVersion; }
    int minorVersion() const { return m_minorVersion; }

    // Fields keep their order; a name may repeat. value() gives the first of that name,
    // compared without case.
    void addValue(const QString &key, const QString &value) { m_fields.append({key, value}); }
    QString value(const QString &key) const;
    bool hasKey(const QString &key) const;
    QList<QPair<QString, QString>> values() const { return m_fields; }

    bool hasContentLength() const;
    // 0 when there is no valid Content-Length.
    qint64 contentLength() const;

private:
    int m_statusCode = 0;
    QString m_reasonPhrase;
    int m_majorVersion = 0;
    int m_minorVersion = 0;
    QList<QPair<QString, QString>> m_fields;
};

Q_DECLARE_METATYPE(HttpResponseHeader)
