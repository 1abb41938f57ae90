// The yardstick of the start-up benchmark: a GTK 3 program that opens an empty window of the
// wizard's content size (627 x 335, not resizable) and does nothing else until it is closed or
// terminated.
#include <gtk/gtk.h>

int main(int argc, char** argv)
{
    gtk_init(&argc, &argv);
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), argc > 1 ? argv[1] : "Bare Window");
    // The content keeps its size as the wizard's does: a drawing area asks for it.
    GtkWidget* content = gtk_drawing_area_new();
    gtk_widget_set_size_request(content, 627, 335);
    gtk_container_add(GTK_CONTAINER(window), content);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    gtk_window_move(GTK_WINDOW(window), 100, 100);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
