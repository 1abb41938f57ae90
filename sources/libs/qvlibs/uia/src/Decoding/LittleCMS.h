// Little CMS 2, loaded at its first use: only JPEG pictures with an ICC profile need it, and a
// program that shows none does not pay for loading the library at start.
#pragma once

#include <lcms2.h>

namespace QV::UIA::DETAIL {

struct tLittleCMS {
    decltype(&cmsOpenProfileFromMem) openProfileFromMem;
    decltype(&cmsGetColorSpace) getColorSpace;
    decltype(&cmsCreate_sRGBProfile) createSRGBProfile;
    decltype(&cmsCreateTransform) createTransform;
    decltype(&cmsDoTransform) doTransform;
    decltype(&cmsDeleteTransform) deleteTransform;
    decltype(&cmsCloseProfile) closeProfile;
};

// The library's functions, loaded once for the process; null when the library or one of them
// cannot be loaded (pictures are then converted without their profiles).
const tLittleCMS* littleCMS();

}  // namespace QV::UIA::DETAIL
