#pragma once

#include "qvsim/model/ControllerConfig.h"

#include <cstdint>
#include <string>
#include <vector>

namespace QV::SIM {

// The images that count as an update: the updater's embedded images, or --main-image/--aux-image.
void setExpectedImages(ControllerConfig& config, std::vector<std::uint8_t> mainImage,
                       std::vector<std::uint8_t> auxImage);

// The whole file, or false with `error` set.
bool readImageFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

}  // namespace QV::SIM
