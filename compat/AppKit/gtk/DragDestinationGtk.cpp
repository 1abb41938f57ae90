// Drops onto the program's windows: GTK's drag-destination signals of a window's content area made
// into the dragging-destination messages of its views (see NSDragging.h).
//
//   GTK signal          what the window's destination view receives
//   drag-motion         -draggingEntered: (a new view under the pointer) or -draggingUpdated:;
//                       the view left before gets -draggingExited:
//   drag-leave          -draggingExited:, once the current event is over (GTK sends drag-leave
//                       just before drag-drop as well, and a drop cancels it)
//   drag-drop           -performDragOperation: when the last answer was an operation, else
//                       -draggingExited:; GTK is told whether the drop succeeded
//
// Another program's data arrives asynchronously (drag-data-received): until it is all there the
// drag is answered with no action and the view hears nothing; a drop meanwhile waits for it.
#include "AppKit/standin/Dragging.h"
#include "AppKit/standin/Windowing.h"
#include "Carbon/standin/PasteboardStore.h"

#include <CoreFoundation/CFRuntime.h>
#include <Foundation/Bridge.h>

#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace qvcompat::appkit {

namespace {

using carbon::PasteboardStore;
using carbon::tPasteboardFlavor;
using carbon::tPasteboardItem;

const objc::Selector s_hitTest{"hitTest:"};
const objc::Selector s_superview{"superview"};
const objc::Selector s_contentView{"contentView"};
const objc::Selector s_pasteboardWithName{"pasteboardWithName:"};
const objc::Selector s_respondsToSelector{"respondsToSelector:"};
const objc::Selector s_draggingEntered{"draggingEntered:"};
const objc::Selector s_draggingUpdated{"draggingUpdated:"};
const objc::Selector s_draggingExited{"draggingExited:"};
const objc::Selector s_performDragOperation{"performDragOperation:"};
const objc::Selector s_count{"count"};
const objc::Selector s_objectAtIndex{"objectAtIndex:"};
const objc::Selector s_release{"release"};

constexpr const char* kUTF8Text = "public.utf8-plain-text";
constexpr const char* kUTF16Text = "public.utf16-plain-text";
constexpr const char* kFileURL = "public.file-url";
constexpr const char* kURL = "public.url";

// One drag over one window.
struct tIncoming {
    tIncoming() = default;
    tIncoming(const tIncoming&) = delete;
    tIncoming& operator=(const tIncoming&) = delete;
    ~tIncoming()
    {
        objc_release(view);
        objc_release(pasteboard);
        if (context)
            g_object_unref(context);
    }

    GdkDragContext* context = nullptr;  // referenced
    GtkWidget* area = nullptr;
    NSInteger sequence = 0;
    id source = nil;                         // the source view of a drag of this process, else nil
    id pasteboard = nil;                     // retained, once the data is there
    std::shared_ptr<PasteboardStore> store;  // another program's data, kept while its drag lasts
    bool fetching = false;
    std::vector<GdkAtom> wanted;  // targets of another program still to read
    std::optional<std::string> text;
    std::vector<std::string> uris;

    id view = nil;  // retained: the view that got -draggingEntered:
    NSDragOperation answer = NSDragOperationNone;
    int x = 0, y = 0;  // the last position in the content area
    guint time = 0;
    bool dropPending = false;
    bool leavePending = false;
};

// By window (not retained: a window forgets its drag when it goes).
std::map<id, std::unique_ptr<tIncoming>>& incoming()
{
    static std::map<id, std::unique_ptr<tIncoming>> s_incoming;
    return s_incoming;
}

tIncoming* find(id window, GdkDragContext* context)
{
    auto found = incoming().find(window);
    return found != incoming().end() && found->second->context == context ? found->second.get() : nullptr;
}

NSInteger nextSequence()
{
    static NSInteger s_sequence = 0;
    return ++s_sequence;
}

bool offers(GdkDragContext* context, GdkAtom target)
{
    for (GList* it = gdk_drag_context_list_targets(context); it; it = it->next)
        if (GDK_POINTER_TO_ATOM(it->data) == target)
            return true;
    return false;
}

// The first text target the drag offers, or GDK_NONE.
GdkAtom textTarget(GdkDragContext* context)
{
    GtkTargetList* texts = gtk_target_list_new(nullptr, 0);
    gtk_target_list_add_text_targets(texts, 0);
    GdkAtom found = GDK_NONE;
    for (GList* it = gdk_drag_context_list_targets(context); it && found == GDK_NONE; it = it->next) {
        guint info = 0;
        if (gtk_target_list_find(texts, GDK_POINTER_TO_ATOM(it->data), &info))
            found = GDK_POINTER_TO_ATOM(it->data);
    }
    gtk_target_list_unref(texts);
    return found;
}

GdkAtom uriListTarget() { return gdk_atom_intern_static_string("text/uri-list"); }

// Whether a registered type can be had from the drag.
bool accepts(GdkDragContext* context, const char* type)
{
    const std::string name = type ? type : "";
    if (name == "NSStringPboardType" || name == kUTF8Text || name == kUTF16Text || name == "public.plain-text")
        return textTarget(context) != GDK_NONE;
    if (name == "NSFilenamesPboardType" || name == kFileURL || name == kURL)
        return offers(context, uriListTarget());
    return !name.empty() && offers(context, gdk_atom_intern(name.c_str(), FALSE));
}

bool viewAccepts(id view, GdkDragContext* context)
{
    id types = viewDraggedTypes(static_cast<NSView*>(view));
    if (!types)
        return false;
    const NSUInteger count = objc::msgSend<NSUInteger>(types, s_count);
    for (NSUInteger i = 0; i < count; ++i) {
        id type = objc::msgSend<id, NSUInteger>(types, s_objectAtIndex, i);
        if (accepts(context, cf::stringUTF8(foundation::asCF<CFStringRef>(static_cast<NSString*>(type)))))
            return true;
    }
    return false;
}

// The view under the point (window coordinates) that registered for the drag's data, or its
// nearest superview that did; nil when none.
id destinationView(id window, NSPoint location, GdkDragContext* context)
{
    id content = objc::msgSend<id>(window, s_contentView);
    id view = content ? objc::msgSend<id, NSPoint>(content, s_hitTest, location) : nil;
    while (view && !viewAccepts(view, context))
        view = objc::msgSend<id>(view, s_superview);
    return view;
}

NSPoint windowLocation(id window, const tIncoming& in)
{
    return NSPoint{double(in.x), windowContentHeight(static_cast<NSWindow*>(window)) - in.y};
}

// A new dragging-info object for the drag's current state (autoreleased).
id draggingInfo(id window, const tIncoming& in)
{
    const NSDragOperation mask = operationsFromGdkActions(gdk_drag_context_get_actions(in.context));
    return objc_autorelease(newDraggingInfo(windowLocation(window, in), mask, in.pasteboard, in.source, in.sequence));
}

NSDragOperation sendOperation(id view, SEL selector, id info)
{
    if (!objc::msgSend<BOOL, SEL>(view, s_respondsToSelector, selector))
        return NSDragOperationNone;
    return objc::msgSend<NSDragOperation, id>(view, selector, info);
}

void sendExited(id view, id info)
{
    if (view && objc::msgSend<BOOL, SEL>(view, s_respondsToSelector, s_draggingExited))
        objc::msgSend<void, id>(view, s_draggingExited, info);
}

// The action GTK is told for an answer: one the source offers, or none.
GdkDragAction actionFor(NSDragOperation answer, GdkDragContext* context)
{
    GdkDragAction action = GdkDragAction(0);
    if (answer & NSDragOperationCopy)
        action = GDK_ACTION_COPY;
    else if (answer & NSDragOperationMove)
        action = GDK_ACTION_MOVE;
    else if (answer & NSDragOperationLink)
        action = GDK_ACTION_LINK;
    else if (answer & (NSDragOperationGeneric | NSDragOperationPrivate))
        action = GDK_ACTION_COPY;
    return (gdk_drag_context_get_actions(context) & action) ? action : GdkDragAction(0);
}

// Sends the drag's leave to a window's view and forgets the drag there.
void endAt(id window)
{
    auto found = incoming().find(window);
    if (found == incoming().end())
        return;
    std::unique_ptr<tIncoming> in = std::move(found->second);
    incoming().erase(found);
    if (in->view) {
        void* pool = objc_autoreleasePoolPush();
        sendExited(in->view, draggingInfo(window, *in));
        objc_autoreleasePoolPop(pool);
    }
}

// The leaves GTK announced: sent once the event that announced them is over, unless a drop
// came in between.
void flushLeaves(id except)
{
    std::vector<id> leaving;
    for (const auto& [window, in] : incoming())
        if (in->leavePending && window != except)
            leaving.push_back(window);
    for (id window : leaving)
        endAt(window);
}

gboolean flushLeavesLater(gpointer)
{
    flushLeaves(nil);
    return G_SOURCE_REMOVE;
}

// The view under the pointer hears of the drag; GTK is told the answer.
void motion(id window, GdkDragContext* context)
{
    tIncoming* in = find(window, context);
    if (!in || !in->pasteboard)
        return;
    void* pool = objc_autoreleasePoolPush();
    id view = destinationView(window, windowLocation(window, *in), context);
    id info = draggingInfo(window, *in);
    NSDragOperation answer = NSDragOperationNone;
    if (view != in->view) {
        id previous = std::exchange(in->view, objc_retain(view));
        in->answer = NSDragOperationNone;
        sendExited(previous, info);
        objc_release(previous);
        if (view && (in = find(window, context)) && in->view == view)
            answer = sendOperation(view, s_draggingEntered, info);
    } else if (view) {
        answer = sendOperation(view, s_draggingUpdated, info);
    }
    if ((in = find(window, context))) {
        in->answer = in->view ? answer : NSDragOperationNone;
        gdk_drag_status(context, actionFor(in->answer, context), in->time);
    }
    objc_autoreleasePoolPop(pool);
}

void drop(id window, GdkDragContext* context)
{
    tIncoming* in = find(window, context);
    if (!in)
        return;
    g_object_ref(context);  // the drag's state goes before GTK hears the outcome
    const guint time = in->time;
    void* pool = objc_autoreleasePoolPush();
    id info = draggingInfo(window, *in);
    id view = objc_retain(in->view);
    const NSDragOperation answer = in->answer;
    bool done = false;
    if (view && answer != NSDragOperationNone &&
        objc::msgSend<BOOL, SEL>(view, s_respondsToSelector, s_performDragOperation))
        done = objc::msgSend<BOOL, id>(view, s_performDragOperation, info);
    else
        sendExited(view, info);
    objc_release(view);
    objc_autoreleasePoolPop(pool);
    // The drop ends the drag over this window (the handlers may have closed it meanwhile).
    auto found = incoming().find(window);
    if (found != incoming().end() && found->second->context == context)
        incoming().erase(found);
    gtk_drag_finish(context, done, FALSE, time);
    g_object_unref(context);
}

// Another program's text and URIs as pasteboard items, shaped as its clipboard would be read: the
// first item holds the text and the first URI, one more item per further URI.
std::vector<tPasteboardItem> foreignItems(const tIncoming& in)
{
    tPasteboardItem first{1, {}};
    if (in.text) {
        first.flavors.push_back(
            tPasteboardFlavor{kUTF8Text, std::vector<std::uint8_t>(in.text->begin(), in.text->end()), 0});
        glong units = 0;
        if (gunichar2* utf16 = g_utf8_to_utf16(in.text->c_str(), -1, nullptr, &units, nullptr)) {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf16);
            first.flavors.push_back(
                tPasteboardFlavor{kUTF16Text, std::vector<std::uint8_t>(bytes, bytes + units * 2), 0});
            g_free(utf16);
        }
    }
    std::vector<tPasteboardItem> items;
    for (size_t i = 0; i < in.uris.size(); ++i) {
        const std::string& uri = in.uris[i];
        tPasteboardFlavor flavor{g_str_has_prefix(uri.c_str(), "file:") ? kFileURL : kURL,
                                 std::vector<std::uint8_t>(uri.begin(), uri.end()), 0};
        if (i == 0)
            first.flavors.push_back(std::move(flavor));
        else
            items.push_back(tPasteboardItem{i + 1, {std::move(flavor)}});
    }
    if (!first.flavors.empty())
        items.insert(items.begin(), std::move(first));
    return items;
}

id pasteboardNamed(const std::string& name)
{
    NSString* text = foundation::newString(name.c_str());
    id pasteboard = objc::msgSend<id, id>(objc_getClass("NSPasteboard"), s_pasteboardWithName, text);
    objc::msgSend<void>(text, s_release);
    return objc_retain(pasteboard);
}

// The data is there: the drag goes on where it was.
void dataReady(id window, GdkDragContext* context)
{
    tIncoming* in = find(window, context);
    if (!in)
        return;
    if (!in->pasteboard) {
        in->store = PasteboardStore::named(std::string());
        in->store->takeForeign(foreignItems(*in));
        in->pasteboard = pasteboardNamed(in->store->name());
    }
    motion(window, context);
    if ((in = find(window, context)) && in->dropPending)
        drop(window, context);
}

void fetchNext(id window, tIncoming& in)
{
    if (in.wanted.empty()) {
        dataReady(window, in.context);
        return;
    }
    gtk_drag_get_data(in.area, in.context, in.wanted.front(), in.time);
}

// A drag new to the window: this process's own is read from its pasteboard, another program's is
// asked for its text and URIs.
tIncoming& begin(id window, GtkWidget* area, GdkDragContext* context)
{
    auto fresh = std::make_unique<tIncoming>();
    fresh->context = GDK_DRAG_CONTEXT(g_object_ref(context));
    fresh->area = area;
    fresh->sequence = nextSequence();
    std::string name;
    id source = nil;
    if (outgoingDrag(context, name, source)) {
        fresh->source = source;
        fresh->pasteboard = pasteboardNamed(name);
    }
    tIncoming& in = *fresh;
    incoming()[window] = std::move(fresh);
    return in;
}

gboolean onMotion(GtkWidget* area, GdkDragContext* context, gint x, gint y, guint time, gpointer data)
{
    id window = static_cast<id>(data);
    flushLeaves(window);
    tIncoming* in = find(window, context);
    if (!in) {
        endAt(window);
        in = &begin(window, area, context);
    }
    in->leavePending = false;
    in->x = x;
    in->y = y;
    in->time = time;
    if (in->pasteboard) {
        motion(window, context);
        return TRUE;
    }
    gdk_drag_status(context, GdkDragAction(0), time);
    if (!in->fetching) {
        in->fetching = true;
        if (GdkAtom text = textTarget(context); text != GDK_NONE)
            in->wanted.push_back(text);
        if (offers(context, uriListTarget()))
            in->wanted.push_back(uriListTarget());
        fetchNext(window, *in);
    }
    return TRUE;
}

void onDataReceived(GtkWidget*, GdkDragContext* context, gint, gint, GtkSelectionData* selection, guint, guint,
                    gpointer data)
{
    id window = static_cast<id>(data);
    tIncoming* in = find(window, context);
    if (!in || in->wanted.empty())
        return;
    const GdkAtom target = in->wanted.front();
    in->wanted.erase(in->wanted.begin());
    if (target == uriListTarget()) {
        if (gchar** uris = gtk_selection_data_get_uris(selection)) {
            for (gchar** uri = uris; *uri; ++uri)
                in->uris.emplace_back(*uri);
            g_strfreev(uris);
        }
    } else if (guchar* text = gtk_selection_data_get_text(selection)) {
        in->text = std::string(reinterpret_cast<const char*>(text));
        g_free(text);
    }
    fetchNext(window, *in);
}

void onLeave(GtkWidget*, GdkDragContext* context, guint, gpointer data)
{
    if (tIncoming* in = find(static_cast<id>(data), context)) {
        in->leavePending = true;
        g_idle_add_full(G_PRIORITY_HIGH, &flushLeavesLater, nullptr, nullptr);
    }
}

gboolean onDrop(GtkWidget* area, GdkDragContext* context, gint x, gint y, guint time, gpointer data)
{
    id window = static_cast<id>(data);
    tIncoming* in = find(window, context);
    if (!in)
        in = &begin(window, area, context);
    in->leavePending = false;
    in->x = x;
    in->y = y;
    in->time = time;
    if (!in->pasteboard && in->fetching) {
        in->dropPending = true;  // finished when the data is there
        return TRUE;
    }
    drop(window, context);
    return TRUE;
}

}  // namespace

void connectDragDestination(GtkWidget* area, id window)
{
    // No defaults: the views decide, at every motion, what they accept.
    gtk_drag_dest_set(area, GtkDestDefaults(0), nullptr, 0,
                      GdkDragAction(GDK_ACTION_COPY | GDK_ACTION_MOVE | GDK_ACTION_LINK));
    g_signal_connect(area, "drag-motion", G_CALLBACK(onMotion), window);
    g_signal_connect(area, "drag-leave", G_CALLBACK(onLeave), window);
    g_signal_connect(area, "drag-drop", G_CALLBACK(onDrop), window);
    g_signal_connect(area, "drag-data-received", G_CALLBACK(onDataReceived), window);
}

void forgetDragDestination(id window) { incoming().erase(window); }

}  // namespace qvcompat::appkit
