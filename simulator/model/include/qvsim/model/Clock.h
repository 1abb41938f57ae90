#pragma once

#include <chrono>
#include <functional>

namespace QV::SIM {

// The time source of the simulated controller. Every delay of the model (busy answers, manifestation,
// re-enumeration, the detach time-out) goes through a clock, so tests can run a whole update on a
// virtual one and a demo on a real one.
class Clock {
public:
    using Duration = std::chrono::nanoseconds;
    using Task = std::function<void()>;

    virtual ~Clock() = default;

    // The time elapsed since the clock started. Thread-safe, never blocks.
    virtual Duration now() const = 0;

    // Runs `task` once when the clock reaches `at` (a time of now()). A time already passed makes the
    // task due at once. Thread-safe; a task may schedule further tasks. Tasks must not throw.
    virtual void schedule(Duration at, Task task) = 0;
};

}  // namespace QV::SIM
