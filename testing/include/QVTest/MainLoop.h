// Running GLib's default main context (the main run loop) in a test until something happened.
#pragma once

#include <glib.h>

#include <chrono>
#include <functional>
#include <thread>

namespace QV::TEST {

// Iterates the default main context until `done` answers true or `timeout` has passed; answers
// `done` at the end.
inline bool runMainLoopUntil(const std::function<bool()>& done,
                             std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done() && std::chrono::steady_clock::now() < deadline)
        if (!g_main_context_iteration(nullptr, FALSE))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

}  // namespace QV::TEST
