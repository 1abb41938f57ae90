// The interface font (the build's QV_TEST_FONT_FILE) made directly through a memory stream, for
// tests that draw text without a started toolkit.
#pragma once

#include "GP/MemoryStream.h"
#include "UIA/Font.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace QV::PXT::TEST {

inline std::unique_ptr<UIA::Font> makeTestFont(int size)
{
    std::ifstream file(QV_TEST_FONT_FILE, std::ios::binary);
    std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    GP::MemoryStream stream;
    stream.storage().init(GP::IStorage::eAccessRead, bytes.data(), bytes.size());
    UIA::Font::CreateData data;
    data.name = "PXTTestSans";
    data.size = size;
    return std::make_unique<UIA::Font>(stream, data);
}

}  // namespace QV::PXT::TEST
