// vdx-sim: runs a command with simulated controllers on an emulated USB bus.
#include "ExpectedImages.h"
#include "FW/VardolinStudioImages.h"
#include "LauncherOptions.h"

#include "qvsim/bus/FileAccess.h"
#include "qvsim/bus/UsbBus.h"
#include "qvsim/model/RealClock.h"
#include "qvsim/model/RequestLog.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <memory>
#include <functional>
#include <pthread.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <spawn.h>
#include <string>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace QV::SIM;

// Read by the signal handler and by the request observer on the bus's thread.
std::atomic<pid_t> g_child{0};

void forwardSignal(int signal)
{
    if (g_child > 0)
        kill(g_child, signal);
}

bool underPreload()
{
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "libumockdev-preload");
}

// The bus needs umockdev's preload in this very process: start again through umockdev-wrapper.
[[noreturn]] void reexecUnderPreload(int argc, char** argv)
{
    // AddressSanitizer refuses to run after another preloaded library unless told otherwise.
    std::string asan = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
    if (asan.find("verify_asan_link_order") == std::string::npos) {
        asan += asan.empty() ? "verify_asan_link_order=0" : ":verify_asan_link_order=0";
        setenv("ASAN_OPTIONS", asan.c_str(), 1);
    }
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    std::string program = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : argv[0];

    std::vector<char*> arguments{const_cast<char*>("umockdev-wrapper"), program.data()};
    for (int i = 1; i < argc; ++i)
        arguments.push_back(argv[i]);
    arguments.push_back(nullptr);
    execvp("umockdev-wrapper", arguments.data());
    std::fprintf(stderr, "vdx-sim: cannot run umockdev-wrapper: %s\n", std::strerror(errno));
    std::exit(127);
}

// The signals vdx-sim takes with sigtimedwait: blocked in every thread of its own (the mask is set
// before the bus starts its threads), unblocked again in the command.
sigset_t waitedSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGCHLD);
    sigaddset(&signals, SIGUSR1);
    return signals;
}

// Runs the command and waits for it; `onPlugRequest` runs on each SIGUSR1 meanwhile.
int runChild(const std::vector<std::string>& command, const std::function<void()>& onPlugRequest)
{
    std::vector<char*> arguments;
    for (const std::string& argument : command)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);

    const sigset_t waited = waitedSignals();
    sigset_t childMask;
    pthread_sigmask(SIG_SETMASK, nullptr, &childMask);
    sigdelset(&childMask, SIGCHLD);
    sigdelset(&childMask, SIGUSR1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setsigmask(&attributes, &childMask);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);

    pid_t child = 0;
    const int failed = posix_spawnp(&child, arguments[0], nullptr, &attributes, arguments.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0) {
        std::fprintf(stderr, "vdx-sim: cannot run %s: %s\n", arguments[0], std::strerror(failed));
        return 127;
    }
    g_child = child;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, forwardSignal);

    int status = 0;
    for (;;) {
        const pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == child)
            break;
        if (ended < 0 && errno != EINTR) {
            std::perror("vdx-sim: waitpid");
            return 127;
        }
        // A SIGCHLD that arrives after the waitpid above stays pending and ends this wait at once.
        const timespec fallback{1, 0};
        if (sigtimedwait(&waited, nullptr, &fallback) == SIGUSR1 && onPlugRequest)
            onPlugRequest();
    }
    g_child = 0;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 127;
}

// Before a further run: a controller that the last run left re-enumerating is back on the bus, so
// the run finds it as a user who starts the program again a moment later would. A controller that
// does not come back (a lost re-enumeration) is not waited for beyond a few seconds.
void waitForControllers(const std::vector<std::shared_ptr<ControllerModel>>& controllers, UsbBus& bus)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    const auto allBack = [&] {
        for (const auto& controller : controllers)
            if (!controller->onBus())
                return false;
        return true;
    };
    while (!allBack() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    bus.waitSettled(deadline);
}

}  // namespace

int main(int argc, char** argv)
{
    const sigset_t waited = waitedSignals();
    pthread_sigmask(SIG_BLOCK, &waited, nullptr);

    std::string error;
    const auto options = parseLauncherOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "vdx-sim: %s\n%s", error.c_str(), usage().c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }
    if (!underPreload())
        reexecUnderPreload(argc, argv);

    ControllerConfig config = options->controller;
    std::vector<std::uint8_t> mainImage;
    std::vector<std::uint8_t> auxImage;
    if ((!options->mainImageFile.empty() && !readImageFile(options->mainImageFile, mainImage, error)) ||
        (!options->auxImageFile.empty() && !readImageFile(options->auxImageFile, auxImage, error))) {
        std::fprintf(stderr, "vdx-sim: %s\n", error.c_str());
        return 2;
    }
    // By default the controller accepts exactly the images the updater carries.
    if (options->mainImageFile.empty())
        mainImage.assign(QV::FW::VardolinStudio, QV::FW::VardolinStudio + QV::FW::kVardolinStudioSize);
    if (options->auxImageFile.empty())
        auxImage.assign(QV::FW::VardolinStudioPIC, QV::FW::VardolinStudioPIC + QV::FW::kVardolinStudioPICSize);
    setExpectedImages(config, std::move(mainImage), std::move(auxImage));

    int status = 0;
    {
        RealClock clock;
        UsbBus& bus = UsbBus::instance();
        std::vector<std::shared_ptr<ControllerModel>> controllers;
        for (unsigned i = 0; i < options->count; ++i) {
            ControllerConfig numbered = config;
            numbered.serialNumber = numberedSerial(config.serialNumber, i);
            controllers.push_back(ControllerModel::create(numbered, clock));
        }
        // Plugs them in once; a second signal finds them plugged already.
        bool plugged = false;
        const auto plugIn = [&] {
            if (plugged)
                return;
            plugged = true;
            for (const auto& controller : controllers) {
                bus.plug(controller);
                bus.setOpenRefused(*controller, options->refuseOpen);
            }
            if (!bus.waitSettled())
                std::fprintf(stderr, "vdx-sim: the emulated bus did not settle\n");
        };
        if (!options->plugOnSignal)
            plugIn();
        if (options->refuseOpen && !dropFileAccessOverrideForChildren())
            std::fprintf(stderr, "vdx-sim: cannot start the command without root's file access override\n");

        if (options->signalAt) {
            // Counted over every controller and every run; sent once, to the command running then.
            const tRequestMatch match = *options->signalAt;
            auto seen = std::make_shared<std::atomic<unsigned>>(0);
            const int signal = options->signal;
            for (const auto& controller : controllers)
                controller->setRequestObserver([match, seen, signal](const tSetupPacket& setup) {
                    if (setup.bmRequestType == match.bmRequestType && setup.bRequest == match.bRequest &&
                        ++*seen == match.occurrence && g_child > 0)
                        kill(g_child, signal);
                });
        }
        for (unsigned run = 0; run < options->runs; ++run) {
            if (run > 0 && plugged)
                waitForControllers(controllers, bus);
            status = runChild(options->command, options->plugOnSignal ? std::function<void()>(plugIn) : nullptr);
        }
        for (const auto& controller : controllers)
            controller->setRequestObserver(nullptr);

        bus.unplugAll();
        if (options->log) {
            for (const auto& controller : controllers) {
                std::cerr << "vdx-sim: requests to " << controller->config().serialNumber << ":\n";
                for (const tLoggedRequest& entry : controller->requestLog())
                    std::cerr << "  " << formatLoggedRequest(entry) << '\n';
            }
        }
    }
    return status;
}
