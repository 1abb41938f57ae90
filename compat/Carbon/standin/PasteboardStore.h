// The pasteboards behind the stand-in's Pasteboard Manager and, later, AppKit's NSPasteboard: named
// stores of items, each item a list of typed flavours. Not for program code.
//
// Implements: one store per name, shared by everyone who opens that name in the process; the general
// clipboard ("com.apple.pasteboard.clipboard") over X's CLIPBOARD selection through GtkClipboard, so
// other programs see what the program copies and the program reads what they copy:
//   - text flavours (public.utf8-plain-text, public.utf16-plain-text) are offered as GTK's text
//     targets (UTF8_STRING, text/plain;charset=utf-8, ...), one text: the first item's;
//   - URL flavours (public.file-url, public.url) as text/uri-list, one URL per item;
//   - every other flavour as a target of its own name; a sender-only flavour is offered with
//     GTK_TARGET_SAME_APP and never handed out over X (this process reads it from the store itself).
//   Reading another program's clipboard gives one item per URI of its text/uri-list (file: URIs as
//   public.file-url, others as public.url), the first one also holding its text (public.utf8-plain-text)
//   (as public.utf8-plain-text and, translated, public.utf16-plain-text) and the targets whose names look like type identifiers (a '.', no '/', not an X atom name).
// Lacks: promised data, clipboard managers (the content goes when the owning program ends), named
// pasteboards shared between processes other than the clipboard (drags get their own bridge, in
// AppKit, which offers a store's items as the clipboard does and puts another program's dragged data
// into a store of its own: offerTargets, provideData, takeForeign).
// Deviations: the clipboard is X's once GDK has a display open (AppKit opens it); before that, or
// without a display, it is a store of this process only. Main thread only: the clipboard is read
// synchronously, with GTK's nested main loop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

typedef struct _GtkTargetList GtkTargetList;
typedef struct _GtkSelectionData GtkSelectionData;

namespace qvcompat::carbon {

// The Pasteboard Manager's flavour flag that the store honours.
constexpr std::uint32_t kPasteboardStoreSenderOnly = 1u << 2;

struct tPasteboardFlavor {
    std::string type;  // the uniform type identifier
    std::vector<std::uint8_t> bytes;
    std::uint32_t flags = 0;
};

struct tPasteboardItem {
    std::uintptr_t id = 0;
    std::vector<tPasteboardFlavor> flavors;
};

class PasteboardStore {
public:
    // The name of the general clipboard.
    static const char* const kClipboardName;

    // The store of that name, shared; an empty name makes a store with a new unique name. Stores
    // other than the clipboard live as long as someone holds them.
    static std::shared_ptr<PasteboardStore> named(const std::string& name);

    explicit PasteboardStore(std::string name);
    ~PasteboardStore();
    PasteboardStore(const PasteboardStore&) = delete;
    PasteboardStore& operator=(const PasteboardStore&) = delete;

    const std::string& name() const { return m_name; }

    // Empties the store and makes this process its owner (the clipboard: takes the selection).
    void clear();
    // Asks the X server whether this process still owns the clipboard and takes up another program's
    // content when it does not. Answers the change count: it advances with every clear and every new content from elsewhere.
    std::uint64_t synchronize();
    bool isOwner() const { return m_owner; }
    std::uint64_t changeCount() const { return m_changeCount; }

    // Adds a flavour to the item with that id (a new item when there is none). False when this
    // process does not own the store or the item already has that flavour.
    bool put(std::uintptr_t item, const std::string& type, std::vector<std::uint8_t> bytes, std::uint32_t flags);

    // The items; another program's clipboard is read first when it was not read since the last
    // synchronize.
    const std::vector<tPasteboardItem>& items();

    // The X targets that offer the items (text as GTK's text targets, URLs as text/uri-list, other
    // flavours under their own names, sender-only ones for this process alone): a new list.
    GtkTargetList* offerTargets() const;
    // Fills `selection` with the items' data for the target of `info` (from offerTargets' list). A
    // sender-only flavour is never handed out.
    void provideData(GtkSelectionData* selection, unsigned info);
    // Another program's data, read by the caller, becomes the content; this process does not own it.
    void takeForeign(std::vector<tPasteboardItem> items);

    // For the GTK glue: the selection was taken by another program.
    void lostOwnership(std::uint64_t generation);
    // The generation of the current offer (each put or clear offers anew).
    std::uint64_t generation() const { return m_generation; }

private:
    bool isClipboard() const;
    void offer();
    void readForeign();

    std::string m_name;
    std::vector<tPasteboardItem> m_items;
    bool m_owner = false;
    bool m_foreignRead = false;  // the other program's content is in m_items
    bool m_offered = false;      // the clipboard's content is on offer as X's selection
    std::uint64_t m_changeCount = 0;
    std::uint64_t m_generation = 0;
};

}  // namespace qvcompat::carbon
