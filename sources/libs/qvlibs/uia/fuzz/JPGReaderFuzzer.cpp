// libFuzzer target: the JPG reader over arbitrary bytes.
#include "FuzzReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    return qvfuzz::fuzzReader(&QV::UIA::Picture::readJPG, data, size);
}
