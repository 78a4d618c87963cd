#include "support/watchdog.h"

#include <QtGlobal>

#include <chrono>

namespace TestSupport {

Watchdog::Watchdog(const char *step, int seconds)
    : m_thread([this, step, seconds] {
          std::unique_lock lock(m_mutex);
          if (!m_done.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_over; }))
              qFatal("Still not done after %d s: %s", seconds, step);
      })
{}

Watchdog::~Watchdog()
{
    {
        const std::lock_guard lock(m_mutex);
        m_over = true;
    }
    m_done.notify_one();
    m_thread.join();
}

} // namespace TestSupport
