#include "qvsim/model/Dfu.h"

namespace QV::SIM::DFU {

const char* stateName(std::uint8_t state)
{
    static const char* const s_names[] = {
        "appIDLE",        "appDETACH",        "dfuIDLE",     "dfuDNLOAD-SYNC",         "dfuDNBUSY",
        "dfuDNLOAD-IDLE", "dfuMANIFEST-SYNC", "dfuMANIFEST", "dfuMANIFEST-WAIT-RESET", "dfuUPLOAD-IDLE",
        "dfuERROR",
    };
    if (state < sizeof(s_names) / sizeof(s_names[0]))
        return s_names[state];
    return "state outside DFU 1.1";
}

}  // namespace QV::SIM::DFU
