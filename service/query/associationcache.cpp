#include "query/associationcache.h"

namespace {

// Longer keywords are not worth an entry: nobody asks for them twice.
constexpr qsizetype maxKeywordBytes = 200;

} // namespace

QByteArray AssociationCache::key(const QString &keyword, int count)
{
    return QByteArray::number(count) + ':' + keyword.toUtf8();
}

bool AssociationCache::find(const QString &keyword, int count,
                            std::vector<Association> *result) const
{
    const QByteArray k = key(keyword, count);
    if (k.size() > maxKeywordBytes) {
        return false;
    }
    const QMutexLocker locker(&m_lock);
    if (const std::vector<Association> *cached = m_cache.object(k)) {
        *result = *cached;
        return true;
    }
    return false;
}

void AssociationCache::insert(const QString &keyword, int count,
                              const std::vector<Association> &result)
{
    const QByteArray k = key(keyword, count);
    if (k.size() > maxKeywordBytes) {
        return;
    }
    const qsizetype cost = qsizetype(result.size() * sizeof(Association)) + k.size() + 64;
    auto *entry = new std::vector<Association>(result);
    const QMutexLocker locker(&m_lock);
    m_cache.insert(k, entry, cost);
}
