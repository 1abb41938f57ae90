#include "UIA/HiDPIUrl.h"

#include <filesystem>

namespace QV::UIA {

std::string resolveHiDPIUrl(const std::string& path, float scale)
{
    if (scale == 1.0f)
        return path;
    std::filesystem::path const original(path);
    std::filesystem::path name = original.stem();
    name += "@2x";
    name += original.extension();
    return (original.parent_path() / name).string();
}

}  // namespace QV::UIA
