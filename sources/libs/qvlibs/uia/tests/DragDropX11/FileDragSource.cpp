// Another program that drags a file list: a GTK window of 120 x 120 at the given screen position
// whose content offers text/uri-list with the given URIs when dragged with the first button.
//
//   qv-file-drag-source <x> <y> <uri>...
//
// Prints "ready" once the window is on the screen, and "end <action>" when the drag is over, the
// action the destination took ("copy", "move", "link" or "none"); then exits 0.
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> s_uris;
bool s_failed = false;

void onDataGet(GtkWidget*, GdkDragContext*, GtkSelectionData* selection, guint, guint, gpointer)
{
    std::vector<gchar*> list;
    for (std::string& uri : s_uris)
        list.push_back(uri.data());
    list.push_back(nullptr);
    gtk_selection_data_set_uris(selection, list.data());
}

gboolean onFailed(GtkWidget*, GdkDragContext*, GtkDragResult, gpointer)
{
    s_failed = true;
    return TRUE;
}

void onEnd(GtkWidget*, GdkDragContext* context, gpointer)
{
    const GdkDragAction action = s_failed ? GdkDragAction(0) : gdk_drag_context_get_selected_action(context);
    const char* name = action == GDK_ACTION_COPY   ? "copy"
                       : action == GDK_ACTION_MOVE ? "move"
                       : action == GDK_ACTION_LINK ? "link"
                                                   : "none";
    std::printf("end %s\n", name);
    std::fflush(stdout);
    gtk_main_quit();
}

gboolean onMapped(GtkWidget*, GdkEvent*, gpointer)
{
    gdk_display_sync(gdk_display_get_default());
    std::printf("ready\n");
    std::fflush(stdout);
    return FALSE;
}

}  // namespace

int main(int argc, char** argv)
{
    gtk_init(&argc, &argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <x> <y> <uri>...\n", argv[0]);
        return 2;
    }
    for (int i = 3; i < argc; ++i)
        s_uris.emplace_back(argv[i]);

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_set_default_size(GTK_WINDOW(window), 120, 120);
    gtk_window_move(GTK_WINDOW(window), std::atoi(argv[1]), std::atoi(argv[2]));
    GtkWidget* box = gtk_event_box_new();
    gtk_container_add(GTK_CONTAINER(window), box);

    GtkTargetList* targets = gtk_target_list_new(nullptr, 0);
    gtk_target_list_add_uri_targets(targets, 0);
    gtk_drag_source_set(box, GDK_BUTTON1_MASK, nullptr, 0, GdkDragAction(GDK_ACTION_COPY | GDK_ACTION_MOVE));
    gtk_drag_source_set_target_list(box, targets);
    gtk_target_list_unref(targets);
    g_signal_connect(box, "drag-data-get", G_CALLBACK(onDataGet), nullptr);
    g_signal_connect(box, "drag-failed", G_CALLBACK(onFailed), nullptr);
    g_signal_connect(box, "drag-end", G_CALLBACK(onEnd), nullptr);
    g_signal_connect(window, "map-event", G_CALLBACK(onMapped), nullptr);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
