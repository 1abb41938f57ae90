// The menus' GTK side: the main menu as a GtkMenuBar in every window, submenus as GtkMenus, key
// equivalents in each window's GtkAccelGroup. The widgets only show the NSMenu model and report to
// it: a click sends the item's action, a submenu that opens asks its delegate and validators.
#include "AppKit/gtk/GtkMainThread.h"
#include "AppKit/standin/MenuState.h"
#include "AppKit/standin/WindowState.h"

#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/Bridge.h>

#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>

namespace qvcompat::appkit {

namespace {

constexpr const char* kAccelGroupKey = "qv-accel-group";

// ---- signals: each only reports to the model ----

void onItemDestroyed(GtkWidget* widget, gpointer data)
{
    if (tMenuItem* item = MenuItemState::find(static_cast<id>(data)))
        item->widgets.erase(std::remove(item->widgets.begin(), item->widgets.end(), widget), item->widgets.end());
}

void onItemActivated(GtkWidget* widget, gpointer data)
{
    id item = static_cast<id>(data);
    // A click in an open menu, whose items were validated as it opened; otherwise GTK's own key
    // handling fired the accelerator, and the item is validated now, as a key equivalent is.
    if (!gtk_widget_get_mapped(widget))
        updateMenu(itemMenu(item));
    g_object_ref(widget);
    void* pool = objc_autoreleasePoolPush();
    performItemAction(item);
    objc_autoreleasePoolPop(pool);
    // GTK toggled a check item on its own: it shows the model's state again (set_active would
    // activate the item once more, hence the block).
    const tMenuItem* s = MenuItemState::find(item);
    if (s && GTK_IS_CHECK_MENU_ITEM(widget) && !gtk_widget_in_destruction(widget)) {
        g_signal_handlers_block_by_func(widget, reinterpret_cast<gpointer>(&onItemActivated), data);
        gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), s->state != NSControlStateValueOff);
        g_signal_handlers_unblock_by_func(widget, reinterpret_cast<gpointer>(&onItemActivated), data);
    }
    g_object_unref(widget);
}

// GTK would refuse an accelerator of an item that was insensitive when its menu last opened; the
// item's validator decides instead (onItemActivated).
gboolean onCanActivateAccel(GtkWidget*, guint, gpointer) { return TRUE; }

void onShellDestroyed(GtkWidget* widget, gpointer data)
{
    if (tMenu* menu = MenuState::find(static_cast<id>(data)))
        menu->shells.erase(std::remove_if(menu->shells.begin(), menu->shells.end(),
                                          [widget](const tMenu::tShell& s) { return s.widget == widget; }),
                           menu->shells.end());
}

void onMenuShown(GtkWidget*, gpointer data)
{
    void* pool = objc_autoreleasePoolPush();
    menuWillOpen(static_cast<id>(data));
    objc_autoreleasePoolPop(pool);
}

void onMenuHidden(GtkWidget*, gpointer data)
{
    void* pool = objc_autoreleasePoolPush();
    menuDidClose(static_cast<id>(data));
    objc_autoreleasePoolPop(pool);
}

void onMenuBarDestroyed(GtkWidget* widget, gpointer data)
{
    if (tWindow* window = WindowState::find(static_cast<id>(data)); window && window->menuBar == widget)
        window->menuBar = nullptr;
}

// ---- widgets ----

bool sensitive(const tMenuItem& item)
{
    // GTK would open an empty submenu: an item with one that has no items cannot be chosen.
    return item.enabled && !(item.submenu && MenuState::of(item.submenu).items.empty());
}

// The application's name: CFBundleName, else (no Info.plist, or one without it) the executable's
// name, as the platform names the process.
std::string bundleName()
{
    CFBundleRef bundle = CFBundleGetMainBundle();
    CFStringRef key = CFStringCreateWithCString(kCFAllocatorDefault, "CFBundleName", kCFStringEncodingUTF8);
    CFTypeRef value = CFBundleGetValueForInfoDictionaryKey(bundle, key);
    CFRelease(key);
    if (value && CFGetTypeID(value) == CFStringGetTypeID())
        return utf8Of(static_cast<NSString*>(foundation::asObject(value)));
    CFURLRef executable = CFBundleCopyExecutableURL(bundle);
    if (!executable)
        return std::string();
    UInt8 path[PATH_MAX];
    const bool named = CFURLGetFileSystemRepresentation(executable, true, path, sizeof(path));
    CFRelease(executable);
    if (!named)
        return std::string();
    const std::string file = reinterpret_cast<const char*>(path);
    return file.substr(file.rfind('/') + 1);
}

GtkWidget* newItemWidget(id item, bool inMenuBar, GtkAccelGroup* accelGroup)
{
    const tMenuItem& s = MenuItemState::of(item);
    if (s.separator)
        return gtk_separator_menu_item_new();
    const std::string label = itemLabel(item, inMenuBar);
    GtkWidget* widget = nullptr;
    if (s.state != NSControlStateValueOff && !inMenuBar) {
        widget = gtk_check_menu_item_new_with_label(label.c_str());
        gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), TRUE);
        gtk_check_menu_item_set_inconsistent(GTK_CHECK_MENU_ITEM(widget), s.state == NSControlStateValueMixed);
    } else {
        widget = gtk_menu_item_new_with_label(label.c_str());
    }
    // The window's content keeps its size: a title too long for the bar is shortened, it does not
    // widen the window.
    if (inMenuBar)
        if (GtkWidget* child = gtk_bin_get_child(GTK_BIN(widget)); GTK_IS_LABEL(child))
            gtk_label_set_ellipsize(GTK_LABEL(child), PANGO_ELLIPSIZE_END);
    if (s.submenu) {
        GtkWidget* submenu = gtk_menu_new();
        if (accelGroup)
            gtk_menu_set_accel_group(GTK_MENU(submenu), accelGroup);
        showMenuIn(s.submenu, submenu, accelGroup);
        g_signal_connect(submenu, "show", G_CALLBACK(onMenuShown), s.submenu);
        g_signal_connect(submenu, "hide", G_CALLBACK(onMenuHidden), s.submenu);
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(widget), submenu);
    } else {
        const tAccelerator accelerator = acceleratorFor(s.keyEquivalent, s.keyMask);
        if (accelGroup && accelerator.keyval)
            gtk_widget_add_accelerator(widget, "activate", accelGroup, accelerator.keyval, accelerator.modifiers,
                                       GTK_ACCEL_VISIBLE);
        g_signal_connect(widget, "activate", G_CALLBACK(onItemActivated), item);
        g_signal_connect(widget, "can-activate-accel", G_CALLBACK(onCanActivateAccel), item);
    }
    gtk_widget_set_sensitive(widget, sensitive(s));
    return widget;
}

void addItemWidget(id item, GtkWidget* shell, int position)
{
    auto* accelGroup = static_cast<GtkAccelGroup*>(g_object_get_data(G_OBJECT(shell), kAccelGroupKey));
    GtkWidget* widget = newItemWidget(item, GTK_IS_MENU_BAR(shell), accelGroup);
    MenuItemState::of(item).widgets.push_back(widget);
    g_signal_connect(widget, "destroy", G_CALLBACK(onItemDestroyed), item);
    gtk_menu_shell_insert(GTK_MENU_SHELL(shell), widget, position);
    gtk_widget_show(widget);
}

int positionIn(GtkWidget* shell, GtkWidget* widget)
{
    GList* children = gtk_container_get_children(GTK_CONTAINER(shell));
    const int position = g_list_index(children, widget);
    g_list_free(children);
    return position;
}

// The item of the supermenu that holds `menu` (its sensitivity depends on the menu's items).
id parentItem(id menu)
{
    id super = MenuState::of(menu).supermenu;
    if (!super)
        return nil;
    for (id item : MenuState::of(super).items)
        if (MenuItemState::of(item).submenu == menu)
            return item;
    return nil;
}

}  // namespace

std::string itemLabel(id item, bool inMenuBar)
{
    const tMenuItem& s = MenuItemState::of(item);
    if (inMenuBar && s.menu && itemAt(s.menu, 0) == item) {
        const std::string name = bundleName();
        if (!name.empty())
            return name;
    }
    return utf8Of(s.title);
}

void showMenuIn(id menu, GtkWidget* shell, GtkAccelGroup* accelGroup)
{
    g_object_set_data(G_OBJECT(shell), kAccelGroupKey, accelGroup);
    MenuState::of(menu).shells.push_back(tMenu::tShell{shell, accelGroup});
    g_signal_connect(shell, "destroy", G_CALLBACK(onShellDestroyed), menu);
    const std::vector<id> items = MenuState::of(menu).items;
    for (size_t i = 0; i < items.size(); ++i)
        addItemWidget(items[i], shell, static_cast<int>(i));
}

void refreshItemWidgets(id item, bool rebuild)
{
    tMenuItem& s = MenuItemState::of(item);
    for (GtkWidget* widget : std::vector<GtkWidget*>(s.widgets)) {
        if (!rebuild) {
            gtk_widget_set_sensitive(widget, sensitive(s));
            continue;
        }
        GtkWidget* shell = gtk_widget_get_parent(widget);
        if (!shell)
            continue;
        const int position = positionIn(shell, widget);
        gtk_widget_destroy(widget);
        addItemWidget(item, shell, position);
    }
}

void insertItemWidgets(id menu, id item, NSInteger index)
{
    for (const tMenu::tShell& shell : std::vector<tMenu::tShell>(MenuState::of(menu).shells))
        addItemWidget(item, shell.widget, static_cast<int>(index));
    if (id parent = parentItem(menu))
        refreshItemWidgets(parent, false);
}

void removeItemWidgets(id item)
{
    for (GtkWidget* widget : std::vector<GtkWidget*>(MenuItemState::of(item).widgets))
        gtk_widget_destroy(widget);
    if (id menu = itemMenu(item))
        if (id parent = parentItem(menu))
            refreshItemWidgets(parent, false);
}

void decorateGtkWindow(tWindow& window)
{
    window.accelGroup = gtk_accel_group_new();
    gtk_window_add_accel_group(GTK_WINDOW(window.gtk), window.accelGroup);
    id app = NSApp;
    id menu = app ? objc::msgSend<id>(app, objc::sel("mainMenu")) : nil;
    if (menu) {
        window.menuBar = gtk_menu_bar_new();
        gtk_box_pack_start(GTK_BOX(window.box), window.menuBar, FALSE, FALSE, 0);
        showMenuIn(menu, window.menuBar, window.accelGroup);
        g_signal_connect(window.menuBar, "destroy", G_CALLBACK(onMenuBarDestroyed), window.self);
        gtk_widget_show(window.menuBar);
    }
    decorateWithCursor(window);
}

void showMainMenuInWindows(id menu)
{
    // Every window shows the menu's titles in a GTK menu bar, whose text pango draws with fonts
    // that fontconfig finds. Pango sets fontconfig up on a thread of its own once its font map
    // exists: asked for now, that set-up runs beside the window's making (the theme's loading
    // above all) instead of holding up the first frame after it.
    if (menu && ensureGtk())
        pango_cairo_font_map_get_default();
    for (id self : applicationWindows()) {
        tWindow& window = WindowState::of(self);
        if (!window.gtk)
            continue;
        if (window.menuBar)
            gtk_widget_destroy(window.menuBar);
        gtk_window_remove_accel_group(GTK_WINDOW(window.gtk), window.accelGroup);
        g_object_unref(window.accelGroup);
        decorateGtkWindow(window);
        applyGtkGeometry(window);  // the content keeps its size: the bar is frame
    }
}

}  // namespace qvcompat::appkit
