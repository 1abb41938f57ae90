// The system font that stands in for a font resource the bundle lacks: found through fontconfig,
// the interface font's family when it is installed, else the default sans.
#pragma once

#include <string>
#include <vector>

namespace QV::UIA::DETAIL {

struct tSystemFont {
    std::string file;                  // empty when no usable font was found
    std::vector<unsigned char> bytes;  // the file's content
};

// The scalable face of `family` (empty: none asked for) that fontconfig ranks first, else of the
// default sans; only the first face of a file, as the engine opens it. Empty when there is none.
std::string findSystemFontFile(const std::string& family);

// The stand-in for the interface font (QV_INTERFACE_FONT_FAMILY), looked for and read once.
const tSystemFont& interfaceFallbackFont();

}  // namespace QV::UIA::DETAIL
