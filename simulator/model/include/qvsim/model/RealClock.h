#pragma once

#include "qvsim/model/Clock.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace QV::SIM {

// A clock on std::chrono::steady_clock for demos: tasks run on a timer thread of their own.
class RealClock final : public Clock {
public:
    RealClock();
    // Stops the timer thread; tasks not yet due are dropped.
    ~RealClock() override;

    RealClock(const RealClock&) = delete;
    RealClock& operator=(const RealClock&) = delete;

    Duration now() const override;
    void schedule(Duration at, Task task) override;

private:
    void run();

    const std::chrono::steady_clock::time_point m_start;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::uint64_t m_nextSequence = 0;
    std::map<std::pair<Duration::rep, std::uint64_t>, Task> m_tasks;
    std::thread m_thread;  // last: starts once everything above exists
};

}  // namespace QV::SIM
