#include "GP/FileContainerItemStorage.h"
#include "GP/FileContainerStorage.h"

#include "../Storage/StorageTestSupport.h"
#include "ContainerWriter.h"

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

// Allocations are watched to show that no count read from a file sizes one: every operator new of
// this test program records the largest request while a watch is on.
namespace {
std::atomic<bool> g_watching{false};
std::atomic<std::size_t> g_largest{0};

void* allocate(std::size_t size)
{
    if (g_watching.load(std::memory_order_relaxed)) {
        std::size_t seen = g_largest.load(std::memory_order_relaxed);
        while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
        }
    }
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace QV::GP::TEST {
namespace {

class AllocationWatch {
public:
    AllocationWatch()
    {
        g_largest = 0;
        g_watching = true;
    }
    ~AllocationWatch() { g_watching = false; }
    std::size_t largest() const { return g_largest; }
};

tItem item(const std::string& name, std::uint32_t id, const std::string& data)
{
    tItem result;
    result.name = name;
    result.id = id;
    result.version = 1;
    result.data = data;
    return result;
}

// A meta header, a table of a and b, and a table of c and d with an id map.
Bytes baseContainer(tLayout& layout)
{
    return ContainerWriter()
        .metaText("base")
        .table({{item("a", 1, "AAAA"), item("b", 2, "BBBBBB")}})
        .table({{item("c", 3, "CCC"), item("d", 4, "DD")}, true})
        .bytes(&layout);
}

class CorruptContainerTest : public FolderTest {};

TEST_F(CorruptContainerTest, RefusesContainersThatDoNotHoldTogether)
{
    using Mutation = std::function<void(Bytes&, const tLayout&)>;
    const auto header = [](const tLayout& l, int table) { return l.tables[static_cast<size_t>(table)].header; };
    const auto record = [](const tLayout& l, int table, int index) {
        return l.tables[static_cast<size_t>(table)].records + static_cast<size_t>(index) * l.recordSize;
    };
    struct Case {
        const char* what;
        Mutation mutate;
        bool containerOpens;  // the container itself, before any item is looked up
        const char* subpath;  // must fail
    } cases[] = {
        {"cut inside the first table's records", [&](Bytes& b, const tLayout& l) { b.resize(record(l, 0, 1) + 10); },
         false, "<a"},
        {"cut inside the second table's id map", [&](Bytes& b, const tLayout& l) { b.resize(l.tables[1].idMap + 4); },
         false, "<<3>"},
        {"cut inside the last data block", [](Bytes& b, const tLayout& l) { b.resize(l.tables[1].end - 1); }, false,
         "<d"},
        {"data size one past the end", [&](Bytes& b, const tLayout& l) { putU64(b, header(l, 1) + 24, 6); }, false,
         "<c"},
        {"data size 2^63", [&](Bytes& b, const tLayout& l) { putU64(b, header(l, 0) + 24, 1ull << 63); }, false, "<a"},
        {"data size 2^64 - 1", [&](Bytes& b, const tLayout& l) { putU64(b, header(l, 0) + 24, ~0ull); }, false, "<a"},
        {"item count 2^32 - 1", [&](Bytes& b, const tLayout& l) { putU32(b, header(l, 0) + 16, ~0u); }, false, "<a"},
        {"item count 2^32 - 1 with an id map", [&](Bytes& b, const tLayout& l) { putU32(b, header(l, 1) + 16, ~0u); },
         false, "<<3>"},
        {"id map names a record outside the table", [](Bytes& b, const tLayout& l) { putU32(b, l.tables[1].idMap, 7); },
         false, "<<3>"},
        {"id map out of order", [](Bytes& b, const tLayout& l) { putU32(b, l.tables[1].idMap + 4, 9); }, false, "<<4>"},
        {"non-zero word in the second header", [&](Bytes& b, const tLayout& l) { putU32(b, header(l, 1) + 4, 1); },
         false, "<c"},
        {"meta header's extra bytes past the end",
         [](Bytes& b, const tLayout& l) { putU32(b, l.metaHeaders[0] + 148, 0xFFFFFFF0u); }, false, "<a"},
        {"part count 0",
         [](Bytes& b, const tLayout& l) {
             putU32(b, l.metaHeaders[0] + 132, 2);
             putU32(b, l.metaHeaders[0] + 144, 0);
         },
         false, "<a"},
        {"part count 2^32 - 1",
         [](Bytes& b, const tLayout& l) {
             putU32(b, l.metaHeaders[0] + 132, 2);
             putU32(b, l.metaHeaders[0] + 144, ~0u);
         },
         false, "<a"},
        {"part count 2 without the second part",
         [](Bytes& b, const tLayout& l) {
             putU32(b, l.metaHeaders[0] + 132, 2);
             putU32(b, l.metaHeaders[0] + 144, 2);
         },
         false, "<a"},
        {"item offset past the data", [&](Bytes& b, const tLayout& l) { putU64(b, record(l, 0, 0), 11); }, true, "<a"},
        {"item ends before it starts", [&](Bytes& b, const tLayout& l) { putU64(b, record(l, 0, 2), 2); }, true, "<b"},
        {"end offset past the data", [&](Bytes& b, const tLayout& l) { putU64(b, record(l, 0, 2), 100); }, true, "<b"},
        {"id map gives the record of another id", [](Bytes& b, const tLayout& l) { putU32(b, l.tables[1].idMap, 1); },
         true, "<<3>"},
    };
    for (const Case& c : cases) {
        tLayout layout;
        Bytes bytes = baseContainer(layout);
        c.mutate(bytes, layout);
        ContainerWriter::writeFile(path("bad.cnt"), bytes);

        AllocationWatch watch;
        FileContainerStorage container;
        EXPECT_EQ(container.open(name("bad.cnt"), IStorage::eAccessRead, false, 0), c.containerOpens) << c.what;
        if (!c.containerOpens) {
            EXPECT_FALSE(container.getLastError().empty()) << c.what;
        }
        FileContainerStorage storage;
        EXPECT_FALSE(storage.open(name("bad.cnt", c.subpath), IStorage::eAccessRead, false, 0)) << c.what;
        EXPECT_FALSE(storage.isOpen()) << c.what;
        EXPECT_FALSE(storage.getLastError().empty()) << c.what;
        FileContainerItemStorage item;
        EXPECT_FALSE(item.open(name("bad.cnt", c.subpath), IStorage::eAccessRead, IStorage::eLockNone)) << c.what;
        EXPECT_LT(watch.largest(), 64u * 1024) << c.what;
    }
}

TEST_F(CorruptContainerTest, TooManyMetaHeadersAreNoContainer)
{
    ContainerWriter writer;
    for (int i = 0; i < 1100; ++i)
        writer.metaText("again");
    ContainerWriter::writeFile(path("meta.cnt"), writer.table({{item("a", 1, "A")}}).bytes());
    FileContainerStorage storage;
    EXPECT_FALSE(storage.open(name("meta.cnt", "<a"), IStorage::eAccessRead, false, 0));
}

TEST_F(CorruptContainerTest, TrailingBytesShorterThanARecordAreIgnored)
{
    tLayout layout;
    Bytes bytes = baseContainer(layout);
    bytes.insert(bytes.end(), 100, 0x55);
    ContainerWriter::writeFile(path("tail.cnt"), bytes);
    FileContainerItemStorage storage;
    ASSERT_TRUE(storage.open(name("tail.cnt", "<d"), IStorage::eAccessRead, IStorage::eLockNone));
    EXPECT_EQ(readAll(storage), "DD");

    bytes.insert(bytes.end(), 100, 0x55);  // now a whole record that is no table header
    ContainerWriter::writeFile(path("tail.cnt"), bytes);
    EXPECT_FALSE(storage.open(name("tail.cnt", "<d"), IStorage::eAccessRead, IStorage::eLockNone));
}

// Every prefix of a good container either opens the item with its exact bytes or is refused.
TEST_F(CorruptContainerTest, TruncatedAtEveryLength)
{
    tLayout layout;
    const Bytes bytes = baseContainer(layout);
    for (size_t length = 0; length < bytes.size(); ++length) {
        ContainerWriter::writeFile(path("cut.cnt"), Bytes(bytes.begin(), bytes.begin() + static_cast<long>(length)));
        for (const auto& [subpath, data] : {std::pair<const char*, const char*>{"<a", "AAAA"}, {"<<4>", "DD"}}) {
            FileContainerItemStorage storage;
            if (storage.open(name("cut.cnt", subpath), IStorage::eAccessRead, IStorage::eLockNone)) {
                EXPECT_EQ(readAll(storage), data) << "cut at " << length;
            }
        }
    }
}

}  // namespace
}  // namespace QV::GP::TEST
