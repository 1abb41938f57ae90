// The file dialog on a (virtual) display: the real GTK file chooser, answered as a user does, by
// typing a path and Return through the X server (xdotool), or through its buttons; and what the
// program asked of the panel, read off the chooser on screen.
#include "UIA/FileDialog.h"

#include <GP/FileTypeManager.h>

#include "QVTest/RunCommand.h"
#include "QVTest/TemporaryFolder.h"

#include <objc/runtime.h>

#include <gtest/gtest.h>
#include <gtk/gtk.h>
// After GoogleTest: X11 defines None.
#include <gdk/gdkx.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace QV::UIA;
using QV::GP::FileName;
using QV::GP::FileTypeManager;

// What the chooser on screen showed when the user answered it.
struct tShown {
    std::string title;
    GtkFileChooserAction action = GTK_FILE_CHOOSER_ACTION_OPEN;
    std::string folder;
    std::string name;
    std::string acceptLabel;
    std::vector<std::string> filters;
    bool createFolders = false;
};

GtkWidget* shownChooser()
{
    GtkWidget* found = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* it = windows; it && !found; it = it->next)
        if (GTK_IS_FILE_CHOOSER_DIALOG(it->data) && gtk_widget_get_mapped(GTK_WIDGET(it->data)))
            found = GTK_WIDGET(it->data);
    g_list_free(windows);
    return found;
}

std::string text(gchar* owned)
{
    std::string result = owned ? owned : "";
    g_free(owned);
    return result;
}

// Answers the next chooser that appears with `answer`, from the main loop, after noting what it shows.
struct tUser {
    std::function<void(GtkWidget*)> answer;
    tShown shown;
    bool seen = false;
    guint pollSource = 0;
    guint giveUpSource = 0;
    int waits = 0;

    explicit tUser(std::function<void(GtkWidget*)> how) : answer(std::move(how))
    {
        pollSource = g_timeout_add(50, &tUser::poll, this);
    }
    ~tUser()
    {
        for (guint source : {pollSource, giveUpSource})
            if (source)
                g_source_remove(source);
    }
    tUser(const tUser&) = delete;
    tUser& operator=(const tUser&) = delete;

    static gboolean poll(gpointer data)
    {
        auto* self = static_cast<tUser*>(data);
        GtkWidget* dialog = shownChooser();
        if (!dialog)
            return G_SOURCE_CONTINUE;
        GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
        // The chooser takes its folder from the main loop after it is shown.
        if (text(gtk_file_chooser_get_current_folder(chooser)).empty() && ++self->waits < 40)
            return G_SOURCE_CONTINUE;
        self->pollSource = 0;
        tShown& shown = self->shown;
        shown.title = gtk_window_get_title(GTK_WINDOW(dialog)) ? gtk_window_get_title(GTK_WINDOW(dialog)) : "";
        shown.action = gtk_file_chooser_get_action(chooser);
        shown.folder = text(gtk_file_chooser_get_current_folder(chooser));
        if (shown.action == GTK_FILE_CHOOSER_ACTION_SAVE)
            shown.name = text(gtk_file_chooser_get_current_name(chooser));
        GtkWidget* accept = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
        shown.acceptLabel = accept ? gtk_button_get_label(GTK_BUTTON(accept)) : "";
        GSList* filters = gtk_file_chooser_list_filters(chooser);
        for (GSList* it = filters; it; it = it->next)
            shown.filters.push_back(gtk_file_filter_get_name(GTK_FILE_FILTER(it->data)));
        g_slist_free(filters);
        shown.createFolders = gtk_file_chooser_get_create_folders(chooser);
        self->seen = true;
        self->answer(dialog);
        // A chooser still open after that is cancelled, so that a failed answer fails the test
        // instead of hanging it.
        self->giveUpSource = g_timeout_add_seconds(10, &tUser::giveUp, self);
        return G_SOURCE_REMOVE;
    }

    static gboolean giveUp(gpointer data)
    {
        static_cast<tUser*>(data)->giveUpSource = 0;
        if (GtkWidget* dialog = shownChooser())
            gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
        return G_SOURCE_REMOVE;
    }
};

// Types the path into the chooser and presses Return through the X server, as a user at the
// keyboard: the chooser takes the focus (no window manager gives it), then the keys arrive.
std::function<void(GtkWidget*)> typePath(const std::string& path, const char* firstKey)
{
    return [path, firstKey](GtkWidget* dialog) {
        const std::string w = std::to_string(GDK_WINDOW_XID(gtk_widget_get_window(dialog)));
        // `type` takes every word after it as text: one xdotool per step.
        const std::string command = "xdotool windowfocus " + w + " && sleep 0.3 && xdotool key " + firstKey +
                                    " && sleep 0.3 && xdotool type --delay 20 '" + path +
                                    "' && sleep 0.3 && xdotool key Return";
        // Asynchronous: the chooser needs the main loop while the keys arrive.
        gchar* argv[] = {const_cast<gchar*>("/bin/sh"), const_cast<gchar*>("-c"), const_cast<gchar*>(command.c_str()),
                         nullptr};
        g_spawn_async(nullptr, argv, nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, nullptr);
    };
}

std::function<void(GtkWidget*)> respond(int response, const std::string& selectPath = std::string())
{
    return [response, selectPath](GtkWidget* dialog) {
        if (!selectPath.empty())
            gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(dialog), selectPath.c_str());
        // The chooser loads its folder from the main loop before it takes the answer.
        g_object_set_data(G_OBJECT(dialog), "qv-response", GINT_TO_POINTER(response));
        g_timeout_add(
            300,
            [](gpointer widget) {
                auto* chooser = static_cast<GtkWidget*>(widget);
                gtk_dialog_response(GTK_DIALOG(chooser),
                                    GPOINTER_TO_INT(g_object_get_data(G_OBJECT(chooser), "qv-response")));
                return G_SOURCE_REMOVE;
            },
            dialog);
    };
}

class FileDialogOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            GTEST_SKIP() << "needs a display (each test runs with an X server of its own)";
        ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
        ASSERT_NE(objc_getClass("NSOpenPanel"), nullptr);
        ASSERT_FALSE(m_folder.path().empty());
        FileTypeManager::init();
    }
    void TearDown() override { FileTypeManager::deInit(); }

    std::string makeFile(const std::string& name)
    {
        const std::string path = (m_folder.path() / name).native();
        std::ofstream(path) << "x";
        return path;
    }

    QV::TEST::TemporaryFolder m_folder{"qv-file-dialog"};
};

TEST_F(FileDialogOnScreen, TypingAPathAndReturnAnswersThatFile)
{
    if (QV::TEST::runCommand("xdotool version").status != 0)
        GTEST_SKIP() << "needs xdotool (scripts/setup installs it)";
    const std::string png = makeFile("picture one.png");
    const std::string saved = (m_folder.path() / "new name.txt").native();
    struct Case {
        FileDialog::eFileAction action;
        const char* firstKey;  // opens the location field / selects the proposed name
        std::string typed;
    } cases[] = {
        {FileDialog::eFileActionOpen, "ctrl+l", png},
        {FileDialog::eFileActionSave, "ctrl+a", saved},
    };
    for (const Case& c : cases) {
        FileDialog dialog;
        dialog.setInitialFileOrDirectory(FileName(std::filesystem::path(m_folder.path().native() + "/")));
        tUser user(typePath(c.typed, c.firstKey));
        EXPECT_TRUE(dialog.doModal(c.action, nullptr)) << c.typed;
        EXPECT_EQ(dialog.getFileName().getFilesystemPath(), c.typed);
    }
}

TEST_F(FileDialogOnScreen, SaveProposesTheInitialNameInItsFolderOpenOnlyStartsThereACancelAnswersNoName)
{
    const std::string existing = makeFile("report.txt");
    FileDialog dialog;
    dialog.setInitialFileOrDirectory(FileName(std::filesystem::path(existing)));
    tUser saver(respond(GTK_RESPONSE_CANCEL));
    EXPECT_FALSE(dialog.doModal(FileDialog::eFileActionSave, nullptr));
    EXPECT_EQ(saver.shown.action, GTK_FILE_CHOOSER_ACTION_SAVE);
    EXPECT_EQ(saver.shown.folder, m_folder.path().native());
    EXPECT_EQ(saver.shown.name, "report.txt");
    EXPECT_TRUE(dialog.getFileName().empty());

    const std::string picture = makeFile("picture.png");
    tUser opener(respond(GTK_RESPONSE_ACCEPT, picture));
    EXPECT_TRUE(dialog.doModal(FileDialog::eFileActionOpen, nullptr));
    EXPECT_EQ(opener.shown.action, GTK_FILE_CHOOSER_ACTION_OPEN);
    EXPECT_EQ(opener.shown.folder, m_folder.path().native());
    EXPECT_EQ(dialog.getFileName().getFilesystemPath(), picture);
    EXPECT_EQ(dialog.getFileName().getType(), FileTypeManager::getStdType(FileTypeManager::eStdFileTypePNG));

    // A later run that is cancelled answers no name, not the one before.
    tUser canceller(respond(GTK_RESPONSE_CANCEL));
    EXPECT_FALSE(dialog.doModal(FileDialog::eFileActionOpen, nullptr));
    EXPECT_TRUE(canceller.seen);
    EXPECT_TRUE(dialog.getFileName().empty());
}

TEST_F(FileDialogOnScreen, ChooseDirectoryAsksWithChooseAndAnswersADirectory)
{
    const std::string sub = (m_folder.path() / "sub").native();
    std::filesystem::create_directory(sub);
    FileDialog dialog;
    dialog.setInitialFileOrDirectory(FileName(std::filesystem::path(m_folder.path().native() + "/")));
    tUser user([&](GtkWidget* chooser) {
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), sub.c_str());
        g_timeout_add(
            300,
            [](gpointer widget) {
                gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_ACCEPT);
                return G_SOURCE_REMOVE;
            },
            chooser);
    });
    ASSERT_TRUE(dialog.doModal(FileDialog::eFileActionChooseDirectory, nullptr));
    EXPECT_EQ(user.shown.action, GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER);
    EXPECT_EQ(user.shown.acceptLabel, "Choose");
    EXPECT_TRUE(user.shown.createFolders);
    EXPECT_EQ(dialog.getFileName().getFilesystemPath(), sub);
    EXPECT_EQ(dialog.getFileName().getType(), FileTypeManager::getStdType(FileTypeManager::eStdFileTypeDirectory));
}

TEST_F(FileDialogOnScreen, TheGroupsDecideTheExtensionsAndWhetherOtherTypesAreAllowed)
{
    const auto* allFiles = FileTypeManager::getStdGroup(FileTypeManager::eStdGroupAllFiles);
    const auto* pictures = FileTypeManager::getStdType(FileTypeManager::eStdFileTypePNG)->group;
    const auto* jpeg = FileTypeManager::getStdType(FileTypeManager::eStdFileTypeJPEG)->group;
    struct Case {
        std::vector<const QV::GP::FileTypeGroupDescr*> groups;
        std::vector<std::string> filters;  // the chooser's filters, in order
    } cases[] = {
        {{}, {}},
        {{allFiles}, {}},
        {{pictures}, {"*.png"}},
        {{pictures, allFiles}, {"*.png", "All Files"}},
        {{pictures, jpeg}, {"*.png, *.jpeg, *.jpg, *.jpe, *.jfif, *.jif"}},
    };
    for (const Case& c : cases) {
        FileDialog dialog;
        // A folder of its own: without one GTK shows recent files and answers no folder.
        dialog.setInitialFileOrDirectory(FileName(std::filesystem::path(m_folder.path().native() + "/")));
        dialog.setFileTypeGroups(c.groups);
        tUser user(respond(GTK_RESPONSE_CANCEL));
        EXPECT_FALSE(dialog.doModal(FileDialog::eFileActionOpen, nullptr));
        EXPECT_TRUE(user.seen);
        EXPECT_EQ(user.shown.filters, c.filters) << c.groups.size();
        EXPECT_TRUE(dialog.getFileName().empty());
    }
}

TEST_F(FileDialogOnScreen, AnUnknownActionShowsNothing)
{
    FileDialog dialog;
    EXPECT_FALSE(dialog.doModal(static_cast<FileDialog::eFileAction>(3), nullptr));
    EXPECT_EQ(shownChooser(), nullptr);
}

}  // namespace
