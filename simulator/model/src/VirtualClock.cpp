#include "qvsim/model/VirtualClock.h"

#include <limits>

namespace QV::SIM {

Clock::Duration VirtualClock::now() const { return Duration(m_now.load()); }

void VirtualClock::schedule(Duration at, Task task)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tasks.emplace(std::make_pair(at.count(), m_nextSequence++), std::move(task));
}

void VirtualClock::advance(Duration duration)
{
    const Duration::rep start = m_now.load();
    Duration::rep target = start;
    if (duration.count() > 0)
        target = duration.count() > std::numeric_limits<Duration::rep>::max() - start
                     ? std::numeric_limits<Duration::rep>::max()
                     : start + duration.count();

    for (;;) {
        Task task;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto first = m_tasks.begin();
            if (first == m_tasks.end() || first->first.first > target)
                break;
            // A task scheduled in the past runs "now": time never goes backwards.
            if (first->first.first > m_now.load())
                m_now.store(first->first.first);
            task = std::move(first->second);
            m_tasks.erase(first);
        }
        task();  // without the lock: tasks schedule more tasks
    }
    m_now.store(target);
}

std::size_t VirtualClock::pendingTasks() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_tasks.size();
}

}  // namespace QV::SIM
