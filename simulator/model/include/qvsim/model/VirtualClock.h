#pragma once

#include "qvsim/model/Clock.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <utility>

namespace QV::SIM {

// A clock whose time moves only when advance() is called. Tests drive it from the program's
// injectable sleep, so waits of seconds take no real time.
class VirtualClock final : public Clock {
public:
    Duration now() const override;
    void schedule(Duration at, Task task) override;

    // Moves the time forward by `duration` (nothing for a negative one) and runs, on the calling
    // thread, every task that falls due on the way: in time order, tasks due at the same time in the
    // order they were scheduled. now() reads each task's due time while it runs. Tasks that the
    // running ones schedule within the step run too. Only one thread may advance at a time.
    void advance(Duration duration);

    // Tasks not yet run.
    std::size_t pendingTasks() const;

private:
    mutable std::mutex m_mutex;
    std::atomic<Duration::rep> m_now{0};
    std::uint64_t m_nextSequence = 0;
    std::map<std::pair<Duration::rep, std::uint64_t>, Task> m_tasks;
};

}  // namespace QV::SIM
