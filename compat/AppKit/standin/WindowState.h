// Inside the AppKit stand-in: an NSWindow's C++ state, shared by the files that implement the class
// (NSWindow.cpp: its methods; WindowEvents.cpp: -sendEvent:; WindowGtk.cpp: the GtkWindow).
#pragma once

#include "AppKit/gtk/EventTranslation.h"
#include "AppKit/gtk/WindowTraits.h"
#include "AppKit/standin/Windowing.h"

#include <Foundation/ClassDefinition.h>

#include <cfloat>
#include <vector>

namespace qvcompat::appkit {

struct tWindow {
    tWindow() = default;
    tWindow(const tWindow&) = delete;
    tWindow& operator=(const tWindow&) = delete;
    ~tWindow();

    id self = nil;
    // The GtkWindow, its box and the content's drawing area; null without a display.
    GtkWidget* gtk = nullptr;
    GtkWidget* box = nullptr;
    GtkWidget* area = nullptr;
    GtkIMContext* inputMethod = nullptr;
    // The application's main menu above the content (null without one) and the accel group of its
    // key equivalents (owned).
    GtkWidget* menuBar = nullptr;
    GtkAccelGroup* accelGroup = nullptr;

    id contentView = nil;            // retained
    id delegate = nil;               // not retained
    id firstResponder = nil;         // not retained (a view of the window, or the window itself as nil)
    id initialFirstResponder = nil;  // not retained
    NSString* title = nil;           // retained
    id backgroundColor = nil;        // retained
    NSInteger number = 0;

    NSWindowStyleMask style = NSWindowStyleMaskBorderless;
    NSWindowLevel level = NSNormalWindowLevel;
    NSWindowCollectionBehavior collectionBehavior = NSWindowCollectionBehaviorDefault;
    bool panel = false;
    bool releasedWhenClosed = true;
    bool opaque = true;
    bool documentEdited = false;
    bool worksWhenModal = false;
    bool floatingPanel = false;
    bool becomesKeyOnlyIfNeeded = false;

    // The content rectangle in screen coordinates: what the program set, then what X reports.
    NSRect contentRect{};
    tFrameExtents extents;
    NSSize contentMinSize{0, 0};
    NSSize contentMaxSize{FLT_MAX, FLT_MAX};
    // A geometry asked of X and not confirmed yet, with its deadline (monotonic microseconds).
    bool geometryPending = false;
    int64_t geometryDeadline = 0;

    bool visible = false;
    bool key = false;
    bool main = false;
    bool miniaturized = false;
    bool zoomed = false;
    bool closed = false;

    // Events.
    id mouseDownView = nil;  // retained while a button is held
    NSUInteger buttonsDown = 0;
    ClickCounter clicks = makeClickCounter();
    KeyRepeatTracker keys;
    std::vector<id> insideAreas;  // retained: the tracking areas the pointer is in
};

using WindowState = foundation::InstanceState<tWindow>;

// ---- The GtkWindow (WindowGtk.cpp); each does nothing without one ----------------------------------

// Makes the GtkWindow for the state's style, level and content rectangle (when there is a display).
void createGtkWindow(tWindow& window);
// Applies the style mask, level, collection behaviour and size limits.
void applyGtkTraits(tWindow& window);
// Moves and sizes the GtkWindow to the content rectangle.
void applyGtkGeometry(tWindow& window);
void applyGtkTitle(tWindow& window);
void showGtkWindow(tWindow& window, bool activate);
void hideGtkWindow(tWindow& window);
void focusGtkWindow(tWindow& window);
void iconifyGtkWindow(tWindow& window, bool iconify);
void maximizeGtkWindow(tWindow& window, bool maximize);
void fullscreenGtkWindow(tWindow& window, bool fullscreen);
void processGtkUpdates(tWindow& window);
void destroyGtkWindow(tWindow& window);
// The frame extents last seen for a window with or without decorations.
tFrameExtents knownExtents(bool decorated);

// ---- State changes that send the delegate's messages (NSWindow.cpp) ---------------------------------

void becomeKey(id window);
void resignKey(id window);
void noteMoved(id window, NSRect contentRect);
void noteResized(id window, NSRect contentRect);
void noteMiniaturized(id window, bool miniaturized);
void noteZoomed(id window, bool zoomed);
void noteFullScreen(id window, bool fullScreen);
// The frame size the delegate's -windowWillResize:toSize: makes of a proposed one (the proposal
// without a delegate that answers it).
NSSize delegateResize(id window, NSSize proposedFrameSize);

}  // namespace qvcompat::appkit
