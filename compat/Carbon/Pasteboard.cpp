// The Pasteboard Manager over the pasteboard stores: see Pasteboard.h.
#include "Carbon/Pasteboard.h"

#include "Carbon/standin/PasteboardStore.h"

#include <CoreFoundation/CFRuntime.h>

#include <algorithm>
#include <memory>
#include <string>

using qvcompat::carbon::PasteboardStore;
using qvcompat::carbon::tPasteboardItem;

// One reference to a store, with the change count it saw last.
struct OpaquePasteboardRef final : qvcompat::cf::Object {
    static CFTypeID typeId()
    {
        static const CFTypeID s_id = qvcompat::cf::registerType();
        return s_id;
    }
    explicit OpaquePasteboardRef(std::shared_ptr<PasteboardStore> store)
        : Object(typeId(), &qvcompat::cf::destroyAs<OpaquePasteboardRef>), m_store(std::move(store)),
          m_seen(m_store->changeCount())
    {}
    const std::shared_ptr<PasteboardStore> m_store;
    std::uint64_t m_seen;
};

const CFStringRef kPasteboardClipboard =
    CFStringCreateWithCString(nullptr, PasteboardStore::kClipboardName, kCFStringEncodingUTF8);

namespace {

constexpr OSStatus kNoErr = 0;
constexpr OSStatus kParamErr = -50;

std::string utf8(CFStringRef string)
{
    const char* text = string ? qvcompat::cf::stringUTF8(string) : nullptr;
    return text ? text : "";
}

const tPasteboardItem* findItem(PasteboardRef pasteboard, PasteboardItemID item)
{
    const auto& items = pasteboard->m_store->items();
    auto found = std::find_if(items.begin(), items.end(), [&](const tPasteboardItem& it) {
        return it.id == reinterpret_cast<std::uintptr_t>(item);
    });
    return found == items.end() ? nullptr : &*found;
}

}  // namespace

OSStatus PasteboardCreate(CFStringRef name, PasteboardRef* outPasteboard)
{
    if (!outPasteboard)
        return kParamErr;
    *outPasteboard = new OpaquePasteboardRef(PasteboardStore::named(name ? utf8(name) : std::string()));
    return kNoErr;
}

OSStatus PasteboardCopyName(PasteboardRef pasteboard, CFStringRef* outName)
{
    if (!pasteboard || !outName)
        return kParamErr;
    *outName = CFStringCreateWithCString(nullptr, pasteboard->m_store->name().c_str(), kCFStringEncodingUTF8);
    return *outName ? kNoErr : kParamErr;
}

OSStatus PasteboardClear(PasteboardRef pasteboard)
{
    if (!pasteboard)
        return kParamErr;
    pasteboard->m_store->clear();
    pasteboard->m_seen = pasteboard->m_store->changeCount();
    return kNoErr;
}

PasteboardSyncFlags PasteboardSynchronize(PasteboardRef pasteboard)
{
    if (!pasteboard)
        return 0;
    const std::uint64_t count = pasteboard->m_store->synchronize();
    PasteboardSyncFlags flags = 0;
    if (count != pasteboard->m_seen)
        flags |= kPasteboardModified;
    if (pasteboard->m_store->isOwner())
        flags |= kPasteboardClientIsOwner;
    pasteboard->m_seen = count;
    return flags;
}

OSStatus PasteboardPutItemFlavor(PasteboardRef pasteboard, PasteboardItemID item, CFStringRef flavorType,
                                 CFDataRef data, PasteboardFlavorFlags flags)
{
    if (!pasteboard)
        return kParamErr;
    if (!item)
        return badPasteboardItemErr;
    if (!flavorType || !data)
        return badPasteboardFlavorErr;
    if (!pasteboard->m_store->isOwner())
        return notPasteboardOwnerErr;
    const UInt8* bytes = CFDataGetBytePtr(data);
    const bool added = pasteboard->m_store->put(reinterpret_cast<std::uintptr_t>(item), utf8(flavorType),
                                                std::vector<std::uint8_t>(bytes, bytes + CFDataGetLength(data)), flags);
    return added ? kNoErr : duplicatePasteboardFlavorErr;
}

OSStatus PasteboardGetItemCount(PasteboardRef pasteboard, ItemCount* outCount)
{
    if (!pasteboard || !outCount)
        return kParamErr;
    *outCount = pasteboard->m_store->items().size();
    return kNoErr;
}

OSStatus PasteboardGetItemIdentifier(PasteboardRef pasteboard, CFIndex index, PasteboardItemID* outItem)
{
    if (!pasteboard || !outItem)
        return kParamErr;
    const auto& items = pasteboard->m_store->items();
    if (index < 1 || static_cast<size_t>(index) > items.size())
        return badPasteboardIndexErr;
    *outItem = reinterpret_cast<PasteboardItemID>(items[static_cast<size_t>(index - 1)].id);
    return kNoErr;
}

OSStatus PasteboardCopyItemFlavors(PasteboardRef pasteboard, PasteboardItemID item, CFArrayRef* outFlavorTypes)
{
    if (!pasteboard || !outFlavorTypes)
        return kParamErr;
    const tPasteboardItem* found = findItem(pasteboard, item);
    if (!found)
        return badPasteboardItemErr;
    std::vector<const void*> types;
    for (const auto& flavor : found->flavors)
        types.push_back(CFStringCreateWithCString(nullptr, flavor.type.c_str(), kCFStringEncodingUTF8));
    types.erase(std::remove(types.begin(), types.end(), nullptr), types.end());
    *outFlavorTypes = CFArrayCreate(nullptr, types.data(), static_cast<CFIndex>(types.size()), &kCFTypeArrayCallBacks);
    for (const void* type : types)
        CFRelease(type);
    return kNoErr;
}

OSStatus PasteboardCopyItemFlavorData(PasteboardRef pasteboard, PasteboardItemID item, CFStringRef flavorType,
                                      CFDataRef* outData)
{
    if (!pasteboard || !outData)
        return kParamErr;
    const tPasteboardItem* found = findItem(pasteboard, item);
    if (!found)
        return badPasteboardItemErr;
    const std::string type = utf8(flavorType);
    for (const auto& flavor : found->flavors)
        if (flavor.type == type) {
            *outData = CFDataCreate(nullptr, flavor.bytes.data(), static_cast<CFIndex>(flavor.bytes.size()));
            return kNoErr;
        }
    return badPasteboardFlavorErr;
}
