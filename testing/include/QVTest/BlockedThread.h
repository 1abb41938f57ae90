// Tells from /proc whether a thread of this process sleeps in the kernel, so that a test can line
// up waiters in a known order before it releases them.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace QV::TEST {

// The state letter of /proc/self/task/<tid>/stat ('R' running, 'S' sleeping, ...), 0 when unknown.
inline char threadState(pid_t tid)
{
    std::ifstream file("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string line;
    if (!std::getline(file, line))
        return 0;
    // The command name in parentheses may contain spaces; the state follows its closing one.
    const std::string::size_type close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size())
        return 0;
    return line[close + 2];
}

// Waits (at most ten seconds) until the thread sleeps. The threads of these tests announce
// themselves right before the blocking call, whose only sleep is the wait itself.
inline bool waitUntilSleeping(pid_t tid)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (threadState(tid) == 'S')
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

}  // namespace QV::TEST
