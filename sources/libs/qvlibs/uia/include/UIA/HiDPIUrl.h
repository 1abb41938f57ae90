// The name of a picture's variant for a backing scale.
#pragma once

#include <string>

namespace QV::UIA {

// path itself for scale exactly 1; for any other scale (NaN included) the "@2x" variant in the
// same folder: "skin/button.png" -> "skin/button@2x.png", "skin/button" -> "skin/button@2x". Only
// the "@2x" variant exists, whatever the scale.
std::string resolveHiDPIUrl(const std::string& path, float scale);

}  // namespace QV::UIA
