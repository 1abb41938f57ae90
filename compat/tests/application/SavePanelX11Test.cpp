// The save panel's overwrite question under X: a name typed with or without the allowed extension
// is asked about as the file the panel will answer; Replace answers it, Cancel (Return, the
// default) goes back to the panel, which then answers nothing when it is cancelled too.
#include "AppKit/gtk/GtkMainThread.h"
#include "AppKit/NSSavePanel.h"

#include "QVTest/TemporaryFolder.h"
#include "QVTest/XInput.h"

#include <AppKit/AppKit.h>
#include <Foundation/Bridge.h>

#include <gtest/gtest.h>
#include <gtk/gtk.h>
// After GoogleTest: X11 defines None.
#include <gdk/gdkx.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>

namespace qvcompat::appkit::test {
namespace {

enum class eAnswer {
    eReplace,
    eCancel
};

GtkWidget* shownToplevel(bool (*kind)(GtkWidget*))
{
    GtkWidget* found = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* it = windows; it && !found; it = it->next)
        if (kind(GTK_WIDGET(it->data)) && gtk_widget_get_mapped(GTK_WIDGET(it->data)))
            found = GTK_WIDGET(it->data);
    g_list_free(windows);
    return found;
}

GtkWidget* shownChooser()
{
    return shownToplevel([](GtkWidget* w) -> bool { return GTK_IS_FILE_CHOOSER_DIALOG(w); });
}
GtkWidget* shownQuestion()
{
    return shownToplevel([](GtkWidget* w) -> bool { return GTK_IS_MESSAGE_DIALOG(w); });
}

// Runs a shell command without waiting: the dialogs need the main loop while its keys arrive.
void spawn(const std::string& command)
{
    gchar* argv[] = {const_cast<gchar*>("/bin/sh"), const_cast<gchar*>("-c"), const_cast<gchar*>(command.c_str()),
                     nullptr};
    g_spawn_async(nullptr, argv, nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, nullptr);
}

std::string xid(GtkWidget* window) { return std::to_string(GDK_WINDOW_XID(gtk_widget_get_window(window))); }

// The user, from the main loop while the panel runs: types the name and Return into the chooser,
// answers the question when one comes, and after a Cancel notes whether the chooser is still there
// before cancelling it.
struct tUser {
    std::string typed;
    eAnswer answer;
    enum class eStep {
        eChooser,
        eTyping,
        eAfterQuestion,
        eDone
    } step = eStep::eChooser;
    std::string question;  // the question's text, empty when none was asked
    bool chooserAfterCancel = false;
    int waits = 0;
    guint source = 0;

    tUser(std::string name, eAnswer how) : typed(std::move(name)), answer(how)
    {
        source = g_timeout_add(50, &tUser::poll, this);
    }
    ~tUser()
    {
        if (source)
            g_source_remove(source);
    }
    tUser(const tUser&) = delete;
    tUser& operator=(const tUser&) = delete;

    static gboolean poll(gpointer data)
    {
        return static_cast<tUser*>(data)->next() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
    }

    bool next()
    {
        // A step that never comes (30 s) cancels whatever is open, so the test fails instead of hanging.
        if (++waits > 600) {
            if (GtkWidget* q = shownQuestion())
                gtk_dialog_response(GTK_DIALOG(q), GTK_RESPONSE_CANCEL);
            else if (GtkWidget* c = shownChooser())
                gtk_dialog_response(GTK_DIALOG(c), GTK_RESPONSE_CANCEL);
            return true;
        }
        GtkWidget* chooser = shownChooser();
        GtkWidget* asked = shownQuestion();
        switch (step) {
        case eStep::eChooser: {
            if (!chooser)
                return true;
            // The chooser takes its folder from the main loop after it is shown.
            gchar* folder = gtk_file_chooser_get_current_folder(GTK_FILE_CHOOSER(chooser));
            const bool loaded = folder != nullptr;
            g_free(folder);
            if (!loaded)
                return true;
            spawn("xdotool windowfocus " + xid(chooser) + " && sleep 0.3 && xdotool key ctrl+a && sleep 0.3 && " +
                  "xdotool type --delay 20 '" + typed + "' && sleep 0.3 && xdotool key Return");
            step = eStep::eTyping;
            return true;
        }
        case eStep::eTyping: {
            if (!asked)
                return true;  // no question: the panel ends by itself
            gchar* text = nullptr;
            g_object_get(asked, "text", &text, nullptr);
            question = text ? text : "";
            g_free(text);
            if (answer == eAnswer::eReplace) {
                GtkWidget* replace = gtk_dialog_get_widget_for_response(GTK_DIALOG(asked), GTK_RESPONSE_ACCEPT);
                const GdkPoint at = QV::TEST::centreOf(replace);
                spawn("sleep 0.3 && xdotool mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) +
                      " click 1");
            } else {
                spawn("xdotool windowfocus " + xid(asked) + " && sleep 0.3 && xdotool key Return");
            }
            step = eStep::eAfterQuestion;
            return true;
        }
        case eStep::eAfterQuestion:
            if (asked || answer == eAnswer::eReplace)
                return true;
            // The question is gone after Cancel: the chooser stays until the user cancels it too.
            chooserAfterCancel = chooser != nullptr;
            if (chooser)
                gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_CANCEL);
            step = eStep::eDone;
            return true;
        case eStep::eDone: break;
        }
        return true;
    }
};

std::string pathOf(id url)
{
    UInt8 path[PATH_MAX];
    if (!url || !CFURLGetFileSystemRepresentation(foundation::asCF<CFURLRef>(url), true, path, sizeof(path)))
        return std::string();
    return reinterpret_cast<const char*>(path);
}

class SavePanelX11Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!ensureGtk() || std::system("command -v xdotool > /dev/null") != 0)
            GTEST_SKIP() << "no X display or no xdotool";
        ASSERT_FALSE(m_folder.path().empty());
        m_pool = objc_autoreleasePoolPush();
    }
    void TearDown() override
    {
        if (m_pool)
            objc_autoreleasePoolPop(m_pool);
    }

    // A save panel in the test's folder that allows "png" only; true when it was answered.
    bool runPanel(std::string& answered)
    {
        id panel = objc::msgSend<id>(objc_getClass("NSSavePanel"), objc::sel("savePanel"));
        const std::string folder = m_folder.path().native();
        CFURLRef directory = CFURLCreateFromFileSystemRepresentation(
            kCFAllocatorDefault, reinterpret_cast<const UInt8*>(folder.data()), CFIndex(folder.size()), true);
        objc::msgSend<void, id>(panel, objc::sel("setDirectoryURL:"), foundation::asObject(directory));
        CFRelease(directory);
        CFStringRef png = CFStringCreateWithCString(kCFAllocatorDefault, "png", kCFStringEncodingUTF8);
        const void* types[] = {png};
        CFArrayRef allowed = CFArrayCreate(kCFAllocatorDefault, types, 1, &kCFTypeArrayCallBacks);
        objc::msgSend<void, id>(panel, objc::sel("setAllowedFileTypes:"), foundation::asObject(allowed));
        CFRelease(allowed);
        CFRelease(png);
        const bool confirmed = objc::msgSend<NSInteger>(panel, objc::sel("runModal")) == NSModalResponseOK;
        answered = pathOf(objc::msgSend<id>(panel, objc::sel("URL")));
        return confirmed;
    }

    QV::TEST::TemporaryFolder m_folder{"qv-save-panel"};
    void* m_pool = nullptr;
};

TEST_F(SavePanelX11Test, TheQuestionIsAboutTheAnsweredFileAndCancelAnswersNothing)
{
    const std::string existing = (m_folder.path() / "report.png").native();
    struct Case {
        const char* typed;
        eAnswer answer;
        bool asked;            // an existing file: the question comes
        const char* answered;  // the panel's file, relative to the folder; empty: none
    } cases[] = {
        {"report", eAnswer::eReplace, true, "report.png"},  // the extension is added, then asked about
        {"report", eAnswer::eCancel, true, ""},
        {"report.png", eAnswer::eReplace, true, "report.png"},
        {"report.png", eAnswer::eCancel, true, ""},
        {"fresh", eAnswer::eReplace, false, "fresh.png"},  // nothing to replace: nothing asked
    };
    for (const Case& c : cases) {
        std::ofstream(existing) << "the user's picture";
        tUser user(c.typed, c.answer);
        std::string answered;
        const bool confirmed = runPanel(answered);
        const std::string row = std::string(c.typed) + (c.answer == eAnswer::eReplace ? ", Replace" : ", Cancel");
        EXPECT_EQ(!user.question.empty(), c.asked) << row;
        if (c.asked) {
            EXPECT_NE(user.question.find("\u201Creport.png\u201D"), std::string::npos) << row << ": " << user.question;
        }
        if (*c.answered) {
            EXPECT_TRUE(confirmed) << row;
            EXPECT_EQ(answered, (m_folder.path() / c.answered).native()) << row;
        } else {
            EXPECT_FALSE(confirmed) << row;
            EXPECT_EQ(answered, "") << row;
            EXPECT_TRUE(user.chooserAfterCancel) << row << ": Cancel closed the panel instead of going back to it";
        }
        QV::TEST::settleX();
    }
}

}  // namespace
}  // namespace qvcompat::appkit::test
