// Streams over resources named by a four-character type code and a numeric id: from the in-process
// resource map when it holds the resource, else from the bundle of the running code.
//
// Main thread only; the map has no lock.
#pragma once

#include "GP/Endian.h"
#include "GP/Stream.h"
#include "UIA/ResourceMap.h"

#include <memory>

namespace QV::UIA {

class ResourceFacade {
public:
    // A new stream over the resource in the given byte order, or null when neither the map nor the
    // bundle has it.
    static std::unique_ptr<GP::Stream> getResource(unsigned id, const char* type, GP::Endian::eByteOrder byteOrder);
    // Empties the map; later requests go to the bundle.
    static void clearResourceMap();

    static ResourceMap g_theResourceMap;
};

}  // namespace QV::UIA
