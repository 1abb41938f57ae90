#include "qvsim/model/RequestLog.h"

#include "qvsim/model/Descriptors.h"

#include <cstdio>

namespace QV::SIM {

std::string formatLoggedRequest(const tLoggedRequest& entry)
{
    const tSetupPacket setup = tSetupPacket::fromBytes(entry.setup);
    const double ms = static_cast<double>(entry.time.count()) / 1e6;
    char line[160];
    std::snprintf(line, sizeof(line), "%10.3f ms  %-11s  %02x %02x %04x %04x %04x  %-24s %5zu bytes  %s", ms,
                  entry.mode == eMode::Application ? "application" : "update", setup.bmRequestType, setup.bRequest,
                  setup.wValue, setup.wIndex, setup.wLength,
                  requestName(setup, Descriptors::dfuInterface(entry.mode)).c_str(), entry.dataLength,
                  outcomeName(entry.outcome));
    return line;
}

}  // namespace QV::SIM
