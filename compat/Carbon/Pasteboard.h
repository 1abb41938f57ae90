// Carbon stand-in: the Pasteboard Manager (HIServices' Pasteboard.h), over the pasteboard stores of
// Carbon/standin/PasteboardStore.h (the general clipboard is X's CLIPBOARD selection).
//
// Implements: PasteboardCreate (by name, or a new unique name for null), PasteboardCopyName,
// PasteboardClear, PasteboardSynchronize, PasteboardPutItemFlavor, PasteboardGetItemCount,
// PasteboardGetItemIdentifier, PasteboardCopyItemFlavors, PasteboardCopyItemFlavorData. A pasteboard
// is a CF object (CFRetain/CFRelease).
// Lacks: promises, flavour flags other than kPasteboardFlavorSenderOnly, PasteboardResolvePromises,
// the find pasteboard.
// Deviations: kPasteboardFlavorSenderOnly is honoured across processes: such a flavour is offered with
// GTK_TARGET_SAME_APP and never handed to another program. Item identifiers of another program's
// clipboard are 1, 2, 3 ...; see PasteboardStore.h for how its X targets become items. Main thread
// only, as every call may read the clipboard.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

typedef SInt32 OSStatus;
typedef UInt32 OptionBits;
typedef unsigned long ItemCount;

typedef struct OpaquePasteboardRef* PasteboardRef;
typedef void* PasteboardItemID;
typedef OptionBits PasteboardSyncFlags;
typedef OptionBits PasteboardFlavorFlags;

constexpr PasteboardSyncFlags kPasteboardModified = 1u << 0;
constexpr PasteboardSyncFlags kPasteboardClientIsOwner = 1u << 1;

constexpr PasteboardFlavorFlags kPasteboardFlavorNoFlags = 0;
constexpr PasteboardFlavorFlags kPasteboardFlavorSenderOnly = 1u << 2;

constexpr OSStatus badPasteboardSyncErr = -25130;
constexpr OSStatus badPasteboardIndexErr = -25131;
constexpr OSStatus badPasteboardItemErr = -25132;
constexpr OSStatus badPasteboardFlavorErr = -25133;
constexpr OSStatus duplicatePasteboardFlavorErr = -25134;
constexpr OSStatus notPasteboardOwnerErr = -25135;

// The general clipboard's name, and the null name that asks PasteboardCreate for a unique one.
extern const CFStringRef kPasteboardClipboard;
constexpr CFStringRef kPasteboardUniqueName = nullptr;

// A new reference to the pasteboard of that name (created when needed). paramErr (-50) for a null
// out-parameter.
OSStatus PasteboardCreate(CFStringRef name, PasteboardRef* outPasteboard);
// The name, retained for the caller.
OSStatus PasteboardCopyName(PasteboardRef pasteboard, CFStringRef* outName);
// Empties the pasteboard and makes this process its owner.
OSStatus PasteboardClear(PasteboardRef pasteboard);
// kPasteboardModified when the content changed since this reference last synchronised or cleared;
// kPasteboardClientIsOwner when this process put the content there. Takes up another program's
// clipboard content.
PasteboardSyncFlags PasteboardSynchronize(PasteboardRef pasteboard);
// notPasteboardOwnerErr unless this process owns the pasteboard (PasteboardClear);
// duplicatePasteboardFlavorErr for a flavour the item has already; badPasteboardItemErr for a null
// item, badPasteboardFlavorErr for a null type or data.
OSStatus PasteboardPutItemFlavor(PasteboardRef pasteboard, PasteboardItemID item, CFStringRef flavorType,
                                 CFDataRef data, PasteboardFlavorFlags flags);
OSStatus PasteboardGetItemCount(PasteboardRef pasteboard, ItemCount* outCount);
// Items are counted from 1; badPasteboardIndexErr outside 1 ... count.
OSStatus PasteboardGetItemIdentifier(PasteboardRef pasteboard, CFIndex index, PasteboardItemID* outItem);
// The item's flavour types as a new array of strings; badPasteboardItemErr for an unknown item.
OSStatus PasteboardCopyItemFlavors(PasteboardRef pasteboard, PasteboardItemID item, CFArrayRef* outFlavorTypes);
// A new data object with the flavour's bytes; badPasteboardFlavorErr when the item lacks it.
OSStatus PasteboardCopyItemFlavorData(PasteboardRef pasteboard, PasteboardItemID item, CFStringRef flavorType,
                                      CFDataRef* outData);
