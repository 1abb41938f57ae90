// Writes well-formed containers into a folder (seed0 ... seed3), as a starting corpus for the
// container fuzzer.
#include "ContainerWriter.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace QV::GP::TEST;

tItem item(const char* name, std::uint32_t id, std::uint32_t version, const char* data)
{
    tItem result;
    result.name = name;
    result.id = id;
    result.version = version;
    result.data = data;
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const Bytes seeds[] = {
        ContainerWriter().table({{item("a", 1, 1, "AAAA"), item("b", 2, 1, "BB")}}).bytes(),
        ContainerWriter().table({{item("a", 12, 3, "three")}, true}).table({{item("a", 12, 5, "five")}, true}).bytes(),
        ContainerWriter().metaText("seed", 16).partInfo(1).table({{item("logo.png", 1, 1, "png")}, true, 1}).bytes(),
        ContainerWriter().table({{}}).bytes(),
    };
    int index = 0;
    for (const Bytes& seed : seeds)
        ContainerWriter::writeFile(folder / ("seed" + std::to_string(index++)), seed);
    return 0;
}
