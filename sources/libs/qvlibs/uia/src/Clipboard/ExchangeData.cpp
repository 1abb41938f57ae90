#include "UIA/ExchangeData.h"

#include "Clipboard/InternalPayloads.h"
#include "UIA/InternalClipBoardFormat.h"

#include <GP/StringCF.h>
#include <GP/UTF.h>

#include <CoreServices/UTType.h>

#include <string>
#include <vector>

namespace QV::UIA {

namespace {

using DETAIL::InternalPayloads;

std::string nameOf(PasteboardRef pasteboard)
{
    CFStringRef name = nullptr;
    if (!pasteboard || PasteboardCopyName(pasteboard, &name) != 0 || !name)
        return std::string();
    std::string text = GP::StringCF(name);
    CFRelease(name);
    return text;
}

bool isInternal(const ClipBoardFormatHandle& handle) { return &handle == &InternalClipBoardFormat::FormatHandle(); }

bool sameType(CFStringRef a, CFStringRef b) { return a == b || (UTTypeConformsTo(a, b) && UTTypeConformsTo(b, a)); }

// The item's flavour types (released by the destructor); empty when they cannot be read.
struct tFlavors {
    CFArrayRef types = nullptr;
    tFlavors(PasteboardRef pasteboard, PasteboardItemID item)
    {
        if (PasteboardCopyItemFlavors(pasteboard, item, &types) != 0)
            types = nullptr;
    }
    ~tFlavors()
    {
        if (types)
            CFRelease(types);
    }
    tFlavors(const tFlavors&) = delete;
    tFlavors& operator=(const tFlavors&) = delete;

    // The first type that conforms to `type`, or null.
    CFStringRef firstConformingTo(CFStringRef type) const
    {
        for (CFIndex i = 0; i < CFArrayGetCount(types); ++i) {
            auto flavor = static_cast<CFStringRef>(CFArrayGetValueAtIndex(types, i));
            if (UTTypeConformsTo(flavor, type))
                return flavor;
        }
        return nullptr;
    }
};

// The bytes of one flavour of an item; false when they cannot be read.
bool copyFlavor(PasteboardRef pasteboard, PasteboardItemID item, CFStringRef flavor, std::vector<unsigned char>& out)
{
    CFDataRef data = nullptr;
    if (!flavor || PasteboardCopyItemFlavorData(pasteboard, item, flavor, &data) != 0 || !data)
        return false;
    out.assign(CFDataGetBytePtr(data), CFDataGetBytePtr(data) + CFDataGetLength(data));
    CFRelease(data);
    return true;
}

// Whether some item has a flavour that conforms to the type.
bool hasFlavor(PasteboardRef pasteboard, CFStringRef type)
{
    ItemCount count = 0;
    if (!pasteboard || PasteboardGetItemCount(pasteboard, &count) != 0)
        return false;
    for (CFIndex i = 1; i <= static_cast<CFIndex>(count); ++i) {
        PasteboardItemID item = nullptr;
        if (PasteboardGetItemIdentifier(pasteboard, i, &item) != 0)
            return false;
        if (tFlavors(pasteboard, item).firstConformingTo(type))
            return true;
    }
    return false;
}

}  // namespace

ExchangeData::ExchangeData(PasteboardRef pasteboard) : m_pasteboard(pasteboard)
{
    if (m_pasteboard)
        CFRetain(m_pasteboard);
}

ExchangeData::ExchangeData(const ClipBoardFormat& format, bool general)
{
    PasteboardRef pasteboard = nullptr;
    if (PasteboardCreate(general ? kPasteboardClipboard : kPasteboardUniqueName, &pasteboard) != 0 || !pasteboard)
        return;
    const std::string name = nameOf(pasteboard);
    InternalPayloads::forget(name);  // whatever this process had put there goes with the clear
    const PasteboardSyncFlags sync =
        PasteboardClear(pasteboard) == 0 ? PasteboardSynchronize(pasteboard) : kPasteboardModified;
    if (!(sync & kPasteboardClientIsOwner) || (sync & kPasteboardModified)) {
        CFRelease(pasteboard);
        return;
    }
    std::vector<CFDataRef> items;
    format.writeOSData(items);
    // An internal payload is two pointers into this process: no other program may see it.
    const bool internal = isInternal(format.getHandle());
    const PasteboardFlavorFlags flags = internal ? kPasteboardFlavorSenderOnly : kPasteboardFlavorNoFlags;
    size_t put = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (PasteboardPutItemFlavor(pasteboard, reinterpret_cast<PasteboardItemID>(i + 1),
                                    format.getHandle().typeIdentifier, items[i], flags) != 0)
            continue;
        ++put;
        if (internal)
            InternalPayloads::record(
                name, std::vector<unsigned char>(CFDataGetBytePtr(items[i]),
                                                 CFDataGetBytePtr(items[i]) + CFDataGetLength(items[i])));
    }
    for (CFDataRef item : items)
        CFRelease(item);
    if (put == 0) {
        CFRelease(pasteboard);
        return;
    }
    m_pasteboard = pasteboard;
    m_bOfferedInternal = internal && !general;
}

ExchangeData::~ExchangeData()
{
    if (m_bOfferedInternal)
        InternalPayloads::forget(nameOf(m_pasteboard));
    if (m_pasteboard)
        CFRelease(m_pasteboard);
}

bool ExchangeData::getFormat(ClipBoardFormat& format) const
{
    const CFStringRef type = format.getHandle().typeIdentifier;
    ItemCount count = 0;
    if (!hasFlavor(m_pasteboard, type) || PasteboardGetItemCount(m_pasteboard, &count) != 0)
        return false;
    // An internal payload is only trusted from a pasteboard this process still owns, and only when
    // it is the payload this process put there.
    const bool internal = isInternal(format.getHandle());
    std::string name;
    if (internal) {
        if (!(PasteboardSynchronize(m_pasteboard) & kPasteboardClientIsOwner))
            return false;
        name = nameOf(m_pasteboard);
    }
    const bool text = sameType(type, kUTTypeUTF16PlainText);
    format.notifyNumItems(count);
    bool added = false;
    for (CFIndex i = 1; i <= static_cast<CFIndex>(count); ++i) {
        PasteboardItemID item = nullptr;
        if (PasteboardGetItemIdentifier(m_pasteboard, i, &item) != 0)
            break;
        const tFlavors flavors(m_pasteboard, item);
        if (!flavors.types)
            break;
        std::vector<unsigned char> bytes;
        bool taken = false;
        if (text && copyFlavor(m_pasteboard, item, flavors.firstConformingTo(kUTTypeUTF8PlainText), bytes)) {
            // Another program's UTF-8 text is read in preference to its UTF-16.
            const std::u16string units = GP::details::utf_to_utf<char16_t, char, true>::apply(
                reinterpret_cast<const char*>(bytes.data()),
                reinterpret_cast<const char*>(bytes.data() + bytes.size()));
            taken = format.addRawData(reinterpret_cast<const unsigned char*>(units.data()),
                                      static_cast<long>(units.size() * 2));
        }
        if (!taken && copyFlavor(m_pasteboard, item, flavors.firstConformingTo(type), bytes) &&
            (!internal || InternalPayloads::holds(name, bytes.data(), static_cast<long>(bytes.size()))))
            taken = format.addRawData(bytes.data(), static_cast<long>(bytes.size()));
        added = added || taken;
        if (added && !format.canHoldMultipleItems())
            break;
    }
    return added;
}

bool ExchangeData::containsFormat(const ClipBoardFormatHandle& handle) const
{
    if (isInternal(handle)) {
        InternalClipBoardFormat probe;
        return getFormat(probe);
    }
    return hasFlavor(m_pasteboard, handle.typeIdentifier);
}

}  // namespace QV::UIA
