#include "qvsim/model/RealClock.h"

#include <algorithm>

namespace QV::SIM {

RealClock::RealClock() : m_start(std::chrono::steady_clock::now()), m_thread([this] { run(); }) {}

RealClock::~RealClock()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

Clock::Duration RealClock::now() const
{
    return std::chrono::duration_cast<Duration>(std::chrono::steady_clock::now() - m_start);
}

void RealClock::schedule(Duration at, Task task)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_tasks.emplace(std::make_pair(at.count(), m_nextSequence++), std::move(task));
    }
    m_wake.notify_all();
}

void RealClock::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        if (m_tasks.empty()) {
            m_wake.wait(lock);
            continue;
        }
        auto first = m_tasks.begin();
        const Duration due(first->first.first);
        const Duration left = due - now();
        if (left > Duration::zero()) {
            // Bounded, so that a far-away time cannot overflow the deadline.
            m_wake.wait_for(lock, std::min<Duration>(left, std::chrono::hours(1)));
            continue;  // an earlier task may have arrived meanwhile
        }
        Task task = std::move(first->second);
        m_tasks.erase(first);
        lock.unlock();
        task();
        lock.lock();
    }
}

}  // namespace QV::SIM
