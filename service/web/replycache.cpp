#include "web/replycache.h"

bool ReplyCache::find(const QByteArray &key, QByteArray *body) const
{
    if (key.size() > maxKeyBytes) {
        return false;
    }
    const QMutexLocker locker(&m_lock);
    if (const QByteArray *cached = m_cache.object(key)) {
        *body = *cached; // shared, not copied
        return true;
    }
    return false;
}

void ReplyCache::insert(const QByteArray &key, const QByteArray &body)
{
    if (key.size() > maxKeyBytes) {
        return;
    }
    auto *entry = new QByteArray(body);
    const QMutexLocker locker(&m_lock);
    m_cache.insert(key, entry, body.size() + key.size() + 64);
}
