#pragma once

#include "qvsim/model/ControllerConfig.h"

#include <csignal>
#include <optional>
#include <string>
#include <vector>

namespace QV::SIM {

// The command line of vdx-sim.
struct tLauncherOptions {
    ControllerConfig controller;  // the first controller; further ones differ by their serial number
    unsigned count = 1;
    std::string mainImageFile;
    std::string auxImageFile;
    bool log = false;
    bool plugOnSignal = false;              // the controllers arrive when vdx-sim receives SIGUSR1, not at the start
    std::optional<tRequestMatch> signalAt;  // the command gets `signal` when a controller receives this
    int signal = SIGKILL;
    unsigned runs = 1;        // the command runs this many times, one after the other
    bool refuseOpen = false;  // the controllers' device nodes refuse the command's open (EACCES)
    bool help = false;
    std::vector<std::string> command;
};

// Parses the arguments after the program name. On an error the result is empty and `error` says why.
std::optional<tLauncherOptions> parseLauncherOptions(const std::vector<std::string>& arguments, std::string& error);

// A request named as on the command line: DNLOAD, GETSTATUS, DETACH, ... (see usage()) or
// "0xTT/0xRR" (bmRequestType/bRequest); ":N" picks the N-th occurrence.
std::optional<tRequestMatch> parseRequestMatch(const std::string& text);

// The serial number of controller `index` (0 = the first): the trailing digits of `base` counted up,
// or "-N" appended when it has none.
std::string numberedSerial(const std::string& base, unsigned index);

std::string usage();

}  // namespace QV::SIM
