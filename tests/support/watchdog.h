#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace TestSupport {

// Ends the test run with a message naming the step when it takes far longer than it ever
// should: a window that hangs (in a blocking open, an endless read, a layout) must fail its
// test, not wait for the time limit of the whole suite.
class Watchdog
{
public:
    explicit Watchdog(const char *step, int seconds = 60);
    ~Watchdog();
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_over = false;
    std::thread m_thread;
};

} // namespace TestSupport
