// The one sleep through which every wait of the USB library and the update logic goes. Production
// sleeps for real with Boost.Thread (an interruption point on an interruptible thread); tests
// install a function that moves a simulated clock instead.
#pragma once

#include <chrono>
#include <functional>

namespace QV::DVK2 {

using SleepFunction = std::function<void(std::chrono::nanoseconds)>;

void sleepFor(std::chrono::nanoseconds duration);

// Installs `sleep` for every later wait; an empty function restores the real sleep. Returns the
// previous function (empty when it was the real one).
SleepFunction setSleepFunction(SleepFunction sleep);

}  // namespace QV::DVK2
