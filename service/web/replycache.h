#pragma once

#include <QByteArray>
#include <QCache>
#include <QMutex>

// Rendered answers, by a key that names everything their bytes depend on; shared by the event
// loop and every worker thread, bounded in bytes, the least recently used going first.
class ReplyCache
{
public:
    // Longer keys are not worth an entry: nobody asks for such a query twice.
    static constexpr qsizetype maxKeyBytes = 1024;

    explicit ReplyCache(qsizetype maxBytes) : m_cache(maxBytes) {}

    bool find(const QByteArray &key, QByteArray *body) const;
    void insert(const QByteArray &key, const QByteArray &body);

private:
    mutable QMutex m_lock;
    mutable QCache<QByteArray, QByteArray> m_cache; // a lookup reorders it
};
