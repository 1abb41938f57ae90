// libFuzzer target: the JPG reader over arbitrary bytes.
#include "FuzzReader.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, std::size_t size)
{
    return qvfuzz::fuzzReader(&QV::UIA::PictureReaders::readJPG, data, size);
}
