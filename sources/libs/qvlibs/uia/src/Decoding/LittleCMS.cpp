#include "Decoding/LittleCMS.h"

#include <dlfcn.h>

namespace QV::UIA::DETAIL {

namespace {

template <class Function>
bool resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

const tLittleCMS* load()
{
    // Kept loaded for the process: transforms made from it may live until exit.
    void* library = dlopen("liblcms2.so.2", RTLD_LAZY | RTLD_LOCAL);
    if (!library)
        return nullptr;
    static tLittleCMS s_functions;
    if (resolve(library, "cmsOpenProfileFromMem", s_functions.openProfileFromMem) &&
        resolve(library, "cmsGetColorSpace", s_functions.getColorSpace) &&
        resolve(library, "cmsCreate_sRGBProfile", s_functions.createSRGBProfile) &&
        resolve(library, "cmsCreateTransform", s_functions.createTransform) &&
        resolve(library, "cmsDoTransform", s_functions.doTransform) &&
        resolve(library, "cmsDeleteTransform", s_functions.deleteTransform) &&
        resolve(library, "cmsCloseProfile", s_functions.closeProfile))
        return &s_functions;
    dlclose(library);
    return nullptr;
}

}  // namespace

const tLittleCMS* littleCMS()
{
    static const tLittleCMS* const s_loaded = load();
    return s_loaded;
}

}  // namespace QV::UIA::DETAIL
