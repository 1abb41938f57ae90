// libFuzzer target: the GNU "mo" catalogue reader of the translations, on any bytes. Every entry
// it loads must be found again by its key.
#include "GP/GetText.h"
#include "GP/MemoryStream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy: the storage's buffer is not const, and a copy of exactly `size` bytes lets the
    // address sanitizer catch a read past the catalogue.
    std::vector<unsigned char> bytes(data, data + size);
    QV::GP::MemoryStream stream;
    stream.storage().init(QV::GP::IStorage::eAccessRead, bytes.data(), bytes.size());
    QV::GP::GetTextLoader loader;
    const bool loaded = loader.loadDomain(stream);
    if (!loaded && loader.size() != 0)
        std::abort();  // a refused catalogue loads nothing
    return 0;
}
