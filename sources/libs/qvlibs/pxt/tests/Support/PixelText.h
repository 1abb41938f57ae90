// A pixel written as the tests' failure messages show it: 0xAARRGGBB.
#pragma once

#include <cstdint>
#include <iomanip>
#include <sstream>
#include <string>

namespace QV::PXT::TEST {

inline std::string hex(std::uint32_t pixel)
{
    std::ostringstream out;
    out << "0x" << std::hex << std::setw(8) << std::setfill('0') << pixel;
    return out.str();
}

}  // namespace QV::PXT::TEST
