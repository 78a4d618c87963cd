#pragma once

#include "http/httpmessage.h"

#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>

// Computes the parts of a split answer on a thread pool, the first in the calling thread, and
// hands the response to a callback, on the thread of the last part. Each part is a job of its own,
// queued behind the jobs already waiting, and a request has no more parts under way than the pool
// has threads: a request of many parts takes turns with those that came after it instead of making
// them wait.
class PartRunner : public std::enable_shared_from_this<PartRunner>
{
public:
    using Done = std::function<void(HttpResponse)>;

    static void start(QThreadPool *pool, std::shared_ptr<HttpSplitAnswer> answer, Done done);

private:
    PartRunner(QThreadPool *pool, std::shared_ptr<HttpSplitAnswer> answer, Done done);
    void queue(int index);
    void run(int index);

    QThreadPool *m_pool;
    std::shared_ptr<HttpSplitAnswer> m_answer;
    Done m_done;
    const int m_parts;
    std::atomic<int> m_next;
    std::atomic<int> m_left;
};
