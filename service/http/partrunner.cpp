#include "http/partrunner.h"

#include <algorithm>
#include <utility>

PartRunner::PartRunner(QThreadPool *pool, std::shared_ptr<HttpSplitAnswer> answer, Done done)
    : m_pool(pool), m_answer(std::move(answer)), m_done(std::move(done)),
      m_parts(m_answer->parts()), m_next(0), m_left(m_parts)
{}

void PartRunner::start(QThreadPool *pool, std::shared_ptr<HttpSplitAnswer> answer, Done done)
{
    // One part is computed where it is: queueing it again would only add a wait.
    if (answer->parts() <= 1) {
        done(answer->answerInOneGo());
        return;
    }
    const std::shared_ptr<PartRunner> runner(
        new PartRunner(pool, std::move(answer), std::move(done)));
    const int width = std::min(runner->m_parts, std::max(pool->maxThreadCount(), 1));
    runner->m_next = width;
    for (int i = 1; i < width; ++i) {
        runner->queue(i);
    }
    // The first part where it is: a trip through the queue costs a thread's wake-up.
    runner->run(0);
}

void PartRunner::queue(int index)
{
    m_pool->start([self = shared_from_this(), index] { self->run(index); });
}

void PartRunner::run(int index)
{
    m_answer->computePart(index);
    const int next = m_next.fetch_add(1);
    if (next < m_parts) {
        queue(next);
    }
    // The last part to end sees every other part's result.
    if (m_left.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        m_done(m_answer->response());
    }
}
