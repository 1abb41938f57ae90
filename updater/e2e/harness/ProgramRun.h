// A program started by a test: in a process group of its own, with extra environment variables,
// its standard output and error kept in a file. Whatever of the group still runs when the object
// goes is killed and reaped, so a failed test leaves nothing behind.
#pragma once

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace QV::E2E {

class ProgramRun {
public:
    // Starts `command` (searched in PATH when it has no slash). `outputFile` receives both streams.
    ProgramRun(const std::vector<std::string>& command,
               const std::vector<std::pair<std::string, std::string>>& environment, const std::string& outputFile);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool started() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }

    // Sends a signal to the started process (not its group).
    void signal(int number) const;

    // True while the process has not ended.
    bool running();

    // Waits for the end: the exit status, or 128 + the signal that ended it; nothing when the
    // timeout passes first.
    std::optional<int> waitExit(std::chrono::milliseconds timeout);

    // Everything the process group wrote so far.
    std::string output() const;

private:
    pid_t m_pid = -1;
    std::optional<int> m_status;
    std::string m_outputFile;
};

// Waits until `condition` holds, looking every few milliseconds; false when the timeout passes first.
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        struct timespec pause = {0, 10 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
}

}  // namespace QV::E2E
