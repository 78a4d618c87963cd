#pragma once

#include "query/associator.h"

#include <QCache>
#include <QMutex>
#include <QString>

#include <vector>

// The answers for recent keywords, keyed by keyword and count, shared by every front end and
// every worker thread; bounded in bytes, the least recently used going first.
class AssociationCache
{
public:
    explicit AssociationCache(qsizetype maxBytes) : m_cache(maxBytes) {}

    bool find(const QString &keyword, int count, std::vector<Association> *result) const;
    void insert(const QString &keyword, int count, const std::vector<Association> &result);
    qsizetype size() const
    {
        const QMutexLocker locker(&m_lock);
        return m_cache.count();
    }

private:
    static QByteArray key(const QString &keyword, int count);

    mutable QMutex m_lock;
    mutable QCache<QByteArray, std::vector<Association>> m_cache; // a lookup reorders it
};
