// The file panels' GTK side: one modal GtkFileChooserDialog per run (see NSSavePanel.h).
#include "AppKit/standin/FilePanelState.h"
#include "AppKit/gtk/GtkMainThread.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <utility>

namespace qvcompat::appkit {

tFilePanel::~tFilePanel() { setChosen({}); }

void tFilePanel::setChosen(std::vector<CFURLRef> urls)
{
    if (m_chosenArray)
        CFRelease(std::exchange(m_chosenArray, nullptr));
    for (CFURLRef url : chosen)
        CFRelease(url);
    chosen = std::move(urls);
}

CFArrayRef tFilePanel::chosenArray()
{
    if (!m_chosenArray) {
        std::vector<const void*> urls(chosen.begin(), chosen.end());
        m_chosenArray =
            CFArrayCreate(kCFAllocatorDefault, urls.data(), static_cast<CFIndex>(urls.size()), &kCFTypeArrayCallBacks);
    }
    return m_chosenArray;
}

namespace {

// The extension of a file name without its '.', or empty.
std::string extensionOf(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 || name.find('/', dot) != std::string::npos ? std::string()
                                                                                            : name.substr(dot + 1);
}

bool allowed(const std::vector<std::string>& extensions, const std::string& name)
{
    const std::string extension = extensionOf(name);
    return std::any_of(extensions.begin(), extensions.end(),
                       [&](const std::string& e) { return strcasecmp(e.c_str(), extension.c_str()) == 0; });
}

gboolean matchesExtension(const GtkFileFilterInfo* info, gpointer data)
{
    const auto* extensions = static_cast<const std::vector<std::string>*>(data);
    return info->filename && allowed(*extensions, info->filename);
}

void addFilters(GtkFileChooser* chooser, tFilePanel& panel)
{
    if (panel.allowedExtensions.empty())
        return;
    GtkFileFilter* types = gtk_file_filter_new();
    std::string name;
    for (const std::string& extension : panel.allowedExtensions)
        name += (name.empty() ? "*." : ", *.") + extension;
    gtk_file_filter_set_name(types, name.c_str());
    gtk_file_filter_add_custom(types, GTK_FILE_FILTER_FILENAME, &matchesExtension, &panel.allowedExtensions, nullptr);
    gtk_file_chooser_add_filter(chooser, types);
    if (panel.allowsOtherFileTypes) {
        GtkFileFilter* all = gtk_file_filter_new();
        gtk_file_filter_set_name(all, "All Files");
        gtk_file_filter_add_pattern(all, "*");
        gtk_file_chooser_add_filter(chooser, all);
    }
}

// The file a save panel answers for the name in the chooser: a name that lacks an allowed extension
// gets the first one, as the platform's panel adds it.
std::string savedPath(const tFilePanel& panel, std::string path)
{
    if (!panel.allowedExtensions.empty() && !panel.allowsOtherFileTypes && !allowed(panel.allowedExtensions, path))
        path += "." + panel.allowedExtensions.front();
    return path;
}

// Asks over the chooser whether the existing file may be replaced; only Replace answers true. The
// default is Cancel, as on the platform: Return keeps the file.
bool replaceConfirmed(GtkWindow* chooser, const std::string& path)
{
    gchar* name = g_filename_display_basename(path.c_str());
    gchar* folderPath = g_path_get_dirname(path.c_str());
    gchar* folder = g_filename_display_basename(folderPath);
    GtkWidget* question = gtk_message_dialog_new(
        chooser, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), GTK_MESSAGE_QUESTION,
        GTK_BUTTONS_NONE, "A file named \u201C%s\u201D already exists. Do you want to replace it?", name);
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(question),
                                             "The file already exists in \u201C%s\u201D. Replacing it will "
                                             "overwrite its contents.",
                                             folder);
    g_free(folder);
    g_free(folderPath);
    g_free(name);
    gtk_dialog_add_button(GTK_DIALOG(question), "_Cancel", GTK_RESPONSE_CANCEL);
    GtkWidget* replace = gtk_dialog_add_button(GTK_DIALOG(question), "_Replace", GTK_RESPONSE_ACCEPT);
    gtk_style_context_add_class(gtk_widget_get_style_context(replace), "destructive-action");
    gtk_dialog_set_default_response(GTK_DIALOG(question), GTK_RESPONSE_CANCEL);
    gtk_window_set_keep_above(GTK_WINDOW(question), TRUE);
    const bool confirmed = gtk_dialog_run(GTK_DIALOG(question)) == GTK_RESPONSE_ACCEPT;
    gtk_widget_destroy(question);
    return confirmed;
}

// The save panel's overwrite question, for the file that will be answered (GTK's own would ask
// about the name before the extension is added). Runs after the chooser's own checks of the
// response; a refusal keeps the chooser open, as GTK's question does.
void onSaveResponse(GtkDialog* dialog, gint response, gpointer data)
{
    if (response != GTK_RESPONSE_ACCEPT)
        return;
    gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
    if (!name)
        return;
    const std::string path = savedPath(*static_cast<const tFilePanel*>(data), name);
    g_free(name);
    if (g_file_test(path.c_str(), G_FILE_TEST_EXISTS) && !replaceConfirmed(GTK_WINDOW(dialog), path))
        g_signal_stop_emission_by_name(dialog, "response");
}

CFURLRef urlOf(const std::string& path, bool directory)
{
    return CFURLCreateFromFileSystemRepresentation(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()),
                                                   static_cast<CFIndex>(path.size()), directory);
}

}  // namespace

bool runFilePanel(tFilePanel& panel)
{
    if (!ensureGtk())
        return false;
    const bool folders = panel.open && panel.canChooseDirectories;
    const GtkFileChooserAction action = !panel.open ? GTK_FILE_CHOOSER_ACTION_SAVE
                                        : folders   ? GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER
                                                    : GTK_FILE_CHOOSER_ACTION_OPEN;
    const std::string accept = !panel.prompt.empty() ? panel.prompt : panel.open ? "_Open" : "_Save";
    GtkWidget* dialog =
        gtk_file_chooser_dialog_new(panel.title.empty() ? nullptr : panel.title.c_str(), nullptr, action, "_Cancel",
                                    GTK_RESPONSE_CANCEL, accept.c_str(), GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_file_chooser_set_local_only(chooser, TRUE);
    gtk_file_chooser_set_select_multiple(chooser, panel.open && panel.allowsMultipleSelection);
    if (action != GTK_FILE_CHOOSER_ACTION_OPEN)
        gtk_file_chooser_set_create_folders(chooser, panel.canCreateDirectories);
    if (!panel.open)
        g_signal_connect(dialog, "response", G_CALLBACK(&onSaveResponse), &panel);
    if (!panel.directory.empty())
        gtk_file_chooser_set_current_folder(chooser, panel.directory.c_str());
    if (!panel.open && !panel.name.empty())
        gtk_file_chooser_set_current_name(chooser, panel.name.c_str());
    if (!folders)
        addFilters(chooser, panel);

    const bool confirmed = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT;
    std::vector<CFURLRef> urls;
    if (confirmed) {
        GSList* names = gtk_file_chooser_get_filenames(chooser);
        for (GSList* it = names; it; it = it->next) {
            std::string path = static_cast<const char*>(it->data);
            if (!panel.open)
                path = savedPath(panel, path);
            if (CFURLRef url = urlOf(path, folders))
                urls.push_back(url);
        }
        g_slist_free_full(names, g_free);
    }
    gtk_widget_destroy(dialog);
    while (gtk_events_pending())
        gtk_main_iteration();  // the dialog leaves the screen before the caller goes on
    panel.setChosen(std::move(urls));
    return confirmed && !panel.chosen.empty();
}

}  // namespace qvcompat::appkit
