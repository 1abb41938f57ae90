// vdx-driver: drives the Vardolin Studio controller from the command line.
#include "Interruption.h"
#include "Probe.h"
#include "Update.h"

#include <UpdateLogic/VDXUpdaterUpgradeLogic.h>

#include <DVK2/Logging.h>

#include <cstring>
#include <iostream>

namespace {

void usage(std::ostream& out)
{
    out << "usage: vdx-driver [--verbose] [probe | update]\n"
           "  probe      find the connected controllers and print their identity (the default);\n"
           "             exit status 1 when none is found, 6 when one is connected that this user\n"
           "             may not open (install the udev rule, README: \"Access to the controller\")\n"
           "  update     update the controller's firmware; exit status 0 only when the new firmware\n"
           "             was verified (1 no controller, 3 up to date, 4 no update mode, 5 failed,\n"
           "             6 the controller is connected but this user may not open it).\n"
           "             A controller left in firmware-update mode by an interrupted update is\n"
           "             taken as it is, and its update finished\n"
           "  --verbose  also print the USB library's detail trace\n";
}

}  // namespace

int main(int argc, char** argv)
{
    namespace Logging = QV::DVK2::Logging;
    bool verbose = false;
    const char* command = "probe";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
        } else if (std::strcmp(argv[i], "--help") == 0) {
            usage(std::cout);
            return 0;
        } else if (argv[i][0] != '-') {
            command = argv[i];
        } else {
            usage(std::cerr);
            return 2;
        }
    }

    // The library's trace goes to standard error here rather than to the system log.
    if (verbose) {
        Logging::detail::__reportLevelAsUInt = 1;
        Logging::allowedCategories = {"DFUDevice", "FX2Device"};
    }
    Logging::destinationStream[Logging::detail::__reportLevelAsUInt] = &std::cerr;

    if (std::strcmp(command, "probe") == 0) {
        unsigned refused = 0;
        const int found = QV::Driver::probe(std::cout, refused);
        if (refused != 0)
            std::cerr << QV::Driver::kNoAccessLine << "\n";
        if (found == 0 && refused != 0)
            return QV::Driver::eUpdateNoAccess;
        if (found == 0) {
            std::cerr << "No Vardolin Studio controller found. Is it connected, and may this user open its USB "
                         "device (see the udev rule in the README)?\n";
            return 1;
        }
        std::cout << "Found " << found << (found == 1 ? " controller.\n" : " controllers.\n");
        return 0;
    }
    if (std::strcmp(command, "update") == 0) {
        QV::Driver::installInterruptionNotice();
        QV::VDXUpdaterUpgradeLogic logic;
        return QV::Driver::update(logic, std::cout);
    }
    usage(std::cerr);
    return 2;
}
