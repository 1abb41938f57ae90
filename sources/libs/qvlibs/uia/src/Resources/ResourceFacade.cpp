#include "UIA/ResourceFacade.h"

#include "GP/DSOHandle.h"
#include "GP/MemoryStream.h"
#include "GP/ResourceStream.h"

namespace QV::UIA {

ResourceMap ResourceFacade::g_theResourceMap;

std::unique_ptr<GP::Stream> ResourceFacade::getResource(unsigned id, const char* type, GP::Endian::eByteOrder byteOrder)
{
    if (!type)
        return nullptr;
    if (!g_theResourceMap.empty()) {
        if (const ResourceMap::ResEntry* entry = g_theResourceMap.find(type, id)) {
            auto stream = std::make_unique<GP::MemoryStream>();
            // Opened for reading only: the map's bytes are never written.
            stream->storage().init(GP::IStorage::eAccessRead, const_cast<unsigned char*>(entry->data), entry->size);
            stream->setByteOrder(byteOrder);
            return stream;
        }
    }
    auto stream = std::make_unique<GP::ResourceStream>();
    if (!stream->init(GP::getCurrentDSOHandle(), id, type))
        return nullptr;
    stream->setByteOrder(byteOrder);
    return stream;
}

void ResourceFacade::clearResourceMap() { g_theResourceMap.clear(); }

}  // namespace QV::UIA
