#include "Interruption.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace QV::Driver {

namespace {

std::atomic<bool> s_inUpdateMode{false};
static_assert(std::atomic<bool>::is_always_lock_free, "read by a signal handler");

constexpr char kNotice[] = "vdx-driver: interrupted; the controller was left in firmware-update mode. Run "
                           "`vdx-driver update` to finish the update.\n";

void onInterruption(int signal)
{
    if (s_inUpdateMode.load()) {
        const ssize_t written = write(STDERR_FILENO, kNotice, sizeof(kNotice) - 1);
        static_cast<void>(written);
    }
    std::signal(signal, SIG_DFL);
    raise(signal);
}

}  // namespace

void installInterruptionNotice()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = onInterruption;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void setControllerInUpdateMode(bool inUpdateMode) { s_inUpdateMode.store(inUpdateMode); }

}  // namespace QV::Driver
