// The pasteboard stores and the general clipboard over GtkClipboard: see PasteboardStore.h.
#include "Carbon/standin/PasteboardStore.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

namespace qvcompat::carbon {

const char* const PasteboardStore::kClipboardName = "com.apple.pasteboard.clipboard";

namespace {

constexpr const char* kUTF8Text = "public.utf8-plain-text";
constexpr const char* kUTF16Text = "public.utf16-plain-text";
constexpr const char* kFileURL = "public.file-url";
constexpr const char* kURL = "public.url";

// What a target of our offer stands for (GTK hands it back to the provider).
enum : guint {
    kInfoText = 1,
    kInfoURIs = 2,
    kInfoFlavor = 3
};

bool isText(const std::string& type) { return type == kUTF8Text || type == kUTF16Text; }
bool isURL(const std::string& type) { return type == kFileURL || type == kURL; }

std::vector<std::uint8_t> bytesOf(const char* text)
{
    return std::vector<std::uint8_t>(text, text + std::strlen(text));
}

// UTF-16 in the machine's order to UTF-8; unpaired surrogates are dropped.
std::string utf8FromUTF16(const std::vector<std::uint8_t>& bytes)
{
    std::vector<gunichar2> units(bytes.size() / 2);
    std::memcpy(units.data(), bytes.data(), units.size() * 2);
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        gunichar c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF)
                continue;
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            continue;
        }
        if (c == 0xFEFF && out.empty())
            continue;  // a byte-order mark is no text
        char encoded[6];
        out.append(encoded, static_cast<size_t>(g_unichar_to_utf8(c, encoded)));
    }
    return out;
}

// UTF-8 to UTF-16 in the machine's order (the platform translates text flavours so for every reader).
std::vector<std::uint8_t> utf16FromUTF8(const char* text)
{
    glong count = 0;
    gunichar2* units = g_utf8_to_utf16(text, -1, nullptr, &count, nullptr);
    std::vector<std::uint8_t> bytes;
    if (units) {
        const auto* begin = reinterpret_cast<const std::uint8_t*>(units);
        bytes.assign(begin, begin + count * 2);
        g_free(units);
    }
    return bytes;
}

// The text of the first item that has one, as UTF-8 (the item's UTF-8 flavour first).
std::optional<std::string> textOf(const std::vector<tPasteboardItem>& items)
{
    for (const tPasteboardItem& item : items) {
        const tPasteboardFlavor* utf16 = nullptr;
        for (const tPasteboardFlavor& flavor : item.flavors) {
            if (flavor.type == kUTF8Text)
                return std::string(flavor.bytes.begin(), flavor.bytes.end());
            if (flavor.type == kUTF16Text && !utf16)
                utf16 = &flavor;
        }
        if (utf16)
            return utf8FromUTF16(utf16->bytes);
    }
    return std::nullopt;
}

// Target names that another program may use for a type identifier of ours: "a.b", no MIME type
// ("text/plain"), no X atom ("UTF8_STRING", "TARGETS").
bool looksLikeTypeIdentifier(const char* name)
{
    return std::strchr(name, '.') && !std::strchr(name, '/') && !std::strchr(name, ';') &&
           std::any_of(name, name + std::strlen(name), [](char c) { return c >= 'a' && c <= 'z'; });
}

bool sameContent(const std::vector<tPasteboardItem>& a, const std::vector<tPasteboardItem>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const tPasteboardItem& x, const tPasteboardItem& y) {
        return x.id == y.id && std::equal(x.flavors.begin(), x.flavors.end(), y.flavors.begin(), y.flavors.end(),
                                          [](const tPasteboardFlavor& f, const tPasteboardFlavor& g) {
                                              return f.type == g.type && f.bytes == g.bytes && f.flags == g.flags;
                                          });
    });
}

// The GTK side of one offer: the store and the generation of the offer it belongs to.
struct tOffer {
    PasteboardStore* store;
    std::uint64_t generation;
};

bool current(const tOffer& offer) { return offer.store->isOwner() && offer.store->generation() == offer.generation; }

// GTK asks for the data of one target of the current offer (another program pastes).
void provide(GtkClipboard*, GtkSelectionData* selection, guint info, gpointer data)
{
    const tOffer& offer = *static_cast<tOffer*>(data);
    if (current(offer))
        offer.store->provideData(selection, info);
}

// GTK drops an offer: replaced by a newer one of ours, or the selection went to another program.
void forget(GtkClipboard*, gpointer data)
{
    auto* offer = static_cast<tOffer*>(data);
    offer->store->lostOwnership(offer->generation);
    delete offer;
}

// Whether a window of this process owns X's CLIPBOARD selection, as the X server says now. GDK
// answers a foreign wrapper for another client's window that it has met before (a requestor), so
// the window's kind tells.
bool ownsClipboard()
{
    GdkWindow* owner = gdk_selection_owner_get(GDK_SELECTION_CLIPBOARD);
    return owner && gdk_window_get_window_type(owner) != GDK_WINDOW_FOREIGN;
}

// X's clipboard once a display is open (the main thread opens it); this process's store before.
bool haveClipboard() { return gdk_display_get_default() != nullptr; }

}  // namespace

std::shared_ptr<PasteboardStore> PasteboardStore::named(const std::string& name)
{
    if (name == kClipboardName) {
        static const std::shared_ptr<PasteboardStore> s_clipboard = std::make_shared<PasteboardStore>(name);
        return s_clipboard;
    }
    static std::map<std::string, std::weak_ptr<PasteboardStore>> s_stores;
    static std::uint64_t s_unique = 0;
    for (auto it = s_stores.begin(); it != s_stores.end();)
        it = it->second.expired() ? s_stores.erase(it) : std::next(it);
    const std::string actual = name.empty() ? "qvcompat.pasteboard.unique." + std::to_string(++s_unique) : name;
    std::weak_ptr<PasteboardStore>& slot = s_stores[actual];
    if (std::shared_ptr<PasteboardStore> existing = slot.lock())
        return existing;
    auto store = std::make_shared<PasteboardStore>(actual);
    slot = store;
    return store;
}

PasteboardStore::PasteboardStore(std::string name) : m_name(std::move(name)) {}

PasteboardStore::~PasteboardStore() = default;

bool PasteboardStore::isClipboard() const { return m_name == kClipboardName; }

void PasteboardStore::clear()
{
    m_items.clear();
    m_owner = true;
    m_foreignRead = false;
    ++m_changeCount;
    if (isClipboard() && haveClipboard())
        offer();
}

std::uint64_t PasteboardStore::synchronize()
{
    if (!isClipboard() || !haveClipboard())
        return m_changeCount;
    // Asks the X server: GTK learns of a lost selection only when its loop gets to the event.
    if (m_owner && m_offered && !ownsClipboard())
        lostOwnership(m_generation);
    if (!m_owner)
        readForeign();
    return m_changeCount;
}

bool PasteboardStore::put(std::uintptr_t item, const std::string& type, std::vector<std::uint8_t> bytes,
                          std::uint32_t flags)
{
    if (!m_owner)
        return false;
    auto found = std::find_if(m_items.begin(), m_items.end(), [&](const tPasteboardItem& it) { return it.id == item; });
    if (found == m_items.end()) {
        m_items.push_back(tPasteboardItem{item, {}});
        found = std::prev(m_items.end());
    }
    for (const tPasteboardFlavor& flavor : found->flavors)
        if (flavor.type == type)
            return false;
    found->flavors.push_back(tPasteboardFlavor{type, std::move(bytes), flags});
    if (isClipboard() && haveClipboard())
        offer();
    return true;
}

const std::vector<tPasteboardItem>& PasteboardStore::items()
{
    if (isClipboard() && !m_owner && !m_foreignRead && haveClipboard())
        readForeign();
    return m_items;
}

void PasteboardStore::provideData(GtkSelectionData* selection, unsigned info)
{
    const std::vector<tPasteboardItem>& items = this->items();
    if (info == kInfoText) {
        if (const std::optional<std::string> text = textOf(items))
            gtk_selection_data_set_text(selection, text->c_str(), static_cast<gint>(text->size()));
        return;
    }
    if (info == kInfoURIs) {
        std::vector<std::string> uris;
        for (const tPasteboardItem& item : items)
            for (const tPasteboardFlavor& flavor : item.flavors)
                if (isURL(flavor.type)) {
                    uris.emplace_back(flavor.bytes.begin(), flavor.bytes.end());
                    break;
                }
        std::vector<gchar*> list;
        for (std::string& uri : uris)
            list.push_back(uri.data());
        list.push_back(nullptr);
        gtk_selection_data_set_uris(selection, list.data());
        return;
    }
    gchar* target = gdk_atom_name(gtk_selection_data_get_target(selection));
    for (const tPasteboardItem& item : items) {
        auto found = std::find_if(item.flavors.begin(), item.flavors.end(),
                                  [&](const tPasteboardFlavor& flavor) { return flavor.type == target; });
        if (found == item.flavors.end())
            continue;
        // A sender-only flavour stays in this process, whatever the requestor claims to be.
        if (!(found->flags & kPasteboardStoreSenderOnly))
            gtk_selection_data_set(selection, gtk_selection_data_get_target(selection), 8, found->bytes.data(),
                                   static_cast<gint>(found->bytes.size()));
        break;
    }
    g_free(target);
}

void PasteboardStore::takeForeign(std::vector<tPasteboardItem> items)
{
    m_owner = false;
    m_foreignRead = true;
    m_items = std::move(items);
    ++m_changeCount;
}

void PasteboardStore::lostOwnership(std::uint64_t generation)
{
    if (generation != m_generation || !m_owner)
        return;
    m_owner = false;
    m_foreignRead = false;
    m_items.clear();
    ++m_changeCount;
}

GtkTargetList* PasteboardStore::offerTargets() const
{
    GtkTargetList* targets = gtk_target_list_new(nullptr, 0);
    bool text = false, urls = false;
    std::vector<std::string> others;
    for (const tPasteboardItem& item : m_items)
        for (const tPasteboardFlavor& flavor : item.flavors) {
            if (isText(flavor.type))
                text = true;
            else if (isURL(flavor.type))
                urls = true;
            else if (std::find(others.begin(), others.end(), flavor.type) == others.end()) {
                others.push_back(flavor.type);
                const guint flags = (flavor.flags & kPasteboardStoreSenderOnly) ? GTK_TARGET_SAME_APP : 0;
                gtk_target_list_add(targets, gdk_atom_intern(flavor.type.c_str(), FALSE), flags, kInfoFlavor);
            }
        }
    if (text)
        gtk_target_list_add_text_targets(targets, kInfoText);
    if (urls)
        gtk_target_list_add_uri_targets(targets, kInfoURIs);
    return targets;
}

// Offers the current items as the CLIPBOARD selection, replacing the previous offer.
void PasteboardStore::offer()
{
    GtkTargetList* targets = offerTargets();
    gint count = 0;
    GtkTargetEntry* entries = gtk_target_table_new_from_list(targets, &count);
    GtkTargetEntry none{};  // an empty clipboard is still owned: GTK wants a table, even of no entries
    auto* offer = new tOffer{this, ++m_generation};
    m_offered = gtk_clipboard_set_with_data(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), entries ? entries : &none,
                                            static_cast<guint>(count), &provide, &forget, offer);
    if (!m_offered)
        delete offer;  // GTK keeps nothing of a failed offer; the content stays this process's own
    // The new owner is known at once, not when the main loop next flushes the connection.
    gdk_display_flush(gdk_display_get_default());
    gtk_target_table_free(entries, count);
    gtk_target_list_unref(targets);
}

// Reads another program's clipboard into the items (see PasteboardStore.h for the shape).
void PasteboardStore::readForeign()
{
    m_foreignRead = true;
    std::vector<tPasteboardItem> items;
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    GdkAtom* targets = nullptr;
    gint count = 0;
    if (gtk_clipboard_wait_for_targets(clipboard, &targets, &count)) {
        tPasteboardItem first{1, {}};
        if (gtk_targets_include_text(targets, count))
            if (gchar* text = gtk_clipboard_wait_for_text(clipboard)) {
                first.flavors.push_back(tPasteboardFlavor{kUTF8Text, bytesOf(text), 0});
                first.flavors.push_back(tPasteboardFlavor{kUTF16Text, utf16FromUTF8(text), 0});
                g_free(text);
            }
        for (gint i = 0; i < count; ++i) {
            gchar* name = gdk_atom_name(targets[i]);
            if (looksLikeTypeIdentifier(name))
                if (GtkSelectionData* data = gtk_clipboard_wait_for_contents(clipboard, targets[i])) {
                    const gint length = gtk_selection_data_get_length(data);
                    const guchar* bytes = gtk_selection_data_get_data(data);
                    if (length >= 0)
                        first.flavors.push_back(
                            tPasteboardFlavor{name, std::vector<std::uint8_t>(bytes, bytes + length), 0});
                    gtk_selection_data_free(data);
                }
            g_free(name);
        }
        std::vector<tPasteboardItem> more;
        if (gtk_targets_include_uri(targets, count))
            if (gchar** uris = gtk_clipboard_wait_for_uris(clipboard)) {
                for (gchar** uri = uris; *uri; ++uri) {
                    const char* type = g_str_has_prefix(*uri, "file:") ? kFileURL : kURL;
                    tPasteboardFlavor flavor{type, bytesOf(*uri), 0};
                    if (uri == uris)
                        first.flavors.push_back(std::move(flavor));
                    else
                        more.push_back(tPasteboardItem{static_cast<std::uintptr_t>(uri - uris + 1), {flavor}});
                }
                g_strfreev(uris);
            }
        if (!first.flavors.empty())
            items.push_back(std::move(first));
        for (tPasteboardItem& item : more)
            items.push_back(std::move(item));
        g_free(targets);
    }
    if (!sameContent(items, m_items))
        ++m_changeCount;
    m_items = std::move(items);
}

}  // namespace qvcompat::carbon
