// vdx-sim: runs a command with simulated controllers on an emulated USB bus.
#include "ExpectedImages.h"
#include "FW/VardolinStudioImages.h"
#include "LauncherOptions.h"

#include "qvsim/bus/UsbBus.h"
#include "qvsim/model/RealClock.h"
#include "qvsim/model/RequestLog.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace QV::SIM;

volatile sig_atomic_t g_child = 0;

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

int runChild(const std::vector<std::string>& command)
{
    std::vector<char*> arguments;
    for (const std::string& argument : command)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);

    pid_t child = 0;
    const int failed = posix_spawnp(&child, arguments[0], nullptr, nullptr, arguments.data(), environ);
    if (failed != 0) {
        std::fprintf(stderr, "vdx-sim: cannot run %s: %s\n", arguments[0], std::strerror(failed));
        return 127;
    }
    g_child = child;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, forwardSignal);

    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            std::perror("vdx-sim: waitpid");
            return 127;
        }
    }
    g_child = 0;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 127;
}

}  // namespace

int main(int argc, char** argv)
{
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
            bus.plug(controllers.back());
        }
        if (!bus.waitSettled())
            std::fprintf(stderr, "vdx-sim: the emulated bus did not settle\n");

        status = runChild(options->command);

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
