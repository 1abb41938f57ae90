#include "ExpectedImages.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace QV::SIM {

void setExpectedImages(ControllerConfig& config, std::vector<std::uint8_t> mainImage,
                       std::vector<std::uint8_t> auxImage)
{
    config.expectedMainImage = std::move(mainImage);
    config.expectedAuxImage = std::move(auxImage);
}

bool readImageFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad()) {
        error = path + ": read error";
        return false;
    }
    return true;
}

}  // namespace QV::SIM
