#include "GP/FileContainerItemStorage.h"
#include "GP/FileContainerStorage.h"
#include "GP/FileStorage.h"
#include "GP/RangeLimitingStorage.h"
#include "GP/ResourceStorage.h"

#include "StorageTestSupport.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace QV::GP::TEST {
namespace {

using ClosedStorageTest = FolderTest;

// Never opened, failed to open, or closed again: every operation answers 0, -1 or nothing.
TEST_F(ClosedStorageTest, EveryOperationAnswersWithAnError)
{
    write("plain.txt", "some bytes");
    std::vector<std::pair<std::string, std::unique_ptr<IStorage>>> storages;
    storages.emplace_back("file, never opened", std::make_unique<FileStorage>());
    {
        auto file = std::make_unique<FileStorage>();
        EXPECT_FALSE(file->open(name("missing.txt"), IStorage::eAccessRead, IStorage::eLockNone));
        storages.emplace_back("file, open failed", std::move(file));
    }
    {
        auto file = std::make_unique<FileStorage>();
        EXPECT_TRUE(file->open(name("plain.txt"), IStorage::eAccessRead, IStorage::eLockNone));
        file->close();
        storages.emplace_back("file, closed", std::move(file));
    }
    storages.emplace_back("window, never set up", std::make_unique<RangeLimitingStorage>());
    storages.emplace_back("resource, never initialised", std::make_unique<ResourceStorage>());
    {
        auto resource = std::make_unique<ResourceStorage>();
        testing::internal::CaptureStderr();
        EXPECT_FALSE(resource->init(nullptr, 1u, "NONE"));
        testing::internal::GetCapturedStderr();
        storages.emplace_back("resource, init failed", std::move(resource));
    }
    storages.emplace_back("container, never opened", std::make_unique<FileContainerStorage>());
    {
        auto container = std::make_unique<FileContainerStorage>();
        EXPECT_FALSE(container->open(name("missing.cnt"), IStorage::eAccessRead, false, 0));
        storages.emplace_back("container, open failed", std::move(container));
    }
    {
        auto container = std::make_unique<FileContainerStorage>();
        EXPECT_FALSE(container->open(name("plain.txt", "<item"), IStorage::eAccessRead, false, 0));
        storages.emplace_back("container, subpath into a plain file", std::move(container));
    }
    {
        auto item = std::make_unique<FileContainerItemStorage>();
        EXPECT_FALSE(item->open(name("plain.txt"), IStorage::eAccessRead, IStorage::eLockNone));
        storages.emplace_back("container item, open failed", std::move(item));
    }

    for (auto& [what, storage] : storages) {
        char out[4] = {};
        EXPECT_FALSE(storage->isOpen()) << what;
        EXPECT_FALSE(storage->isGood()) << what;
        EXPECT_EQ(storage->read(out, sizeof out), 0u) << what;
        EXPECT_EQ(storage->write("data", 4), 0u) << what;
        EXPECT_EQ(storage->getPos64(), -1) << what;
        for (const IStorage::eSeekMode mode :
             {IStorage::eSeekFromStart, IStorage::eSeekFromCurrent, IStorage::eSeekFromEnd}) {
            storage->seek64(0, mode);
            EXPECT_EQ(storage->getPos64(), -1) << what;
            EXPECT_FALSE(storage->isOpen()) << what;
        }
    }
}

}  // namespace
}  // namespace QV::GP::TEST
