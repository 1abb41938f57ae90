// Feeds arbitrary bytes to the stylesheet parser as a file's content: the byte-order mark rules, the
// grammar with its error recovery and the constants. Every input must be read to its end (or be
// refused for its encoding), every message must carry a line inside the text, and every selector
// and declaration must be whole.
#include "PXT/StyleParser2.h"

#include "GP/MemoryStorage.h"
#include "GP/Stream.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}  // namespace

// An input may import files: none may wait for a terminal or a pipe.
extern "C" int LLVMFuzzerInitialize(int*, char***) { return std::freopen("/dev/null", "r", stdin) ? 0 : 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<unsigned char> bytes(data, data + size);
    QV::GP::MemoryStorage storage;
    storage.init(QV::GP::IStorage::eAccessRead, bytes.data(), bytes.size());
    QV::GP::Stream stream;
    stream.setStorage(&storage);

    QV::PXT::StyleParser2 parser;
    const bool success = parser.processStream(stream, "fuzz.txt");
    check(success || parser.getEncoding() > QV::PXT::StyleParser2::eEncodingUTF8);

    // No message can name a line past the text's line breaks (CR LF, CR and LF each count one).
    const std::size_t breaks = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n') +
                                                        std::count(bytes.begin(), bytes.end(), '\r'));
    for (const auto& [file, lines] : parser.getErrors())
        for (const auto& [line, text] : lines) {
            check(line >= 0 && static_cast<std::size_t>(line) <= breaks + 1);
            check(!text.empty());
        }
    for (const auto& rule : parser.getRules()) {
        check(!rule.selectors.empty() && !rule.properties.empty());
        for (const auto& selector : rule.selectors)
            selector.getSpecifity();
        for (const auto& property : rule.properties)
            check(!property.getName().string().empty() && property.getValue().index() != 0);
    }
    return 0;
}
