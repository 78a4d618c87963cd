#include "search/httprequestheader.h"

void HttpRequestHeader::setValue(const QString &key, const QString &value)
{
    const qsizetype index = indexOf(key);
    if (index < 0)
        m_fields.append({key, value});
    else
        m_fields[index].second = value;
}

QString HttpRequestHeader::value(const QString &key) const
{
    const qsizetype index = indexOf(key);
    return index < 0 ? QString() : m_fields.at(index).second;
}

qsizetype HttpRequestHeader::indexOf(const QString &key) const
{
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).first.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
