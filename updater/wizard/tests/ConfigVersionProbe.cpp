// Prints the version and the window title that a FirmwareUpdaterConfig of this process takes, for
// the configuration test, which runs it inside and outside a bundle.
#include "Updater/FirmwareUpdaterConfig.h"

#include <cstdio>

int main()
{
    const QV::FirmwareUpdaterConfig config("Vardolin Studio", "VDX", "VDX", "VDX Updater", "VARDOLIN STUDIO UPDATER",
                                           "notice", "1.1.0 (R147)", "", "", "", "", "", "VDX-id", {}, {}, {}, {}, {},
                                           {}, {});
    std::printf("%s|%s\n", config.m_version.c_str(), config.m_windowTitle.c_str());
    return 0;
}
