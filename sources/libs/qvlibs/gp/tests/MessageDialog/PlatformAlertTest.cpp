// The message box through the platform alert: a real GTK dialog on the (virtual) display, driven the
// way a user would answer it; and the alert's report on standard error where no dialog can be shown.
#include "GP/Message.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

namespace {

using QV::GP::Message;

bool haveDisplay()
{
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

// The dialog an alert shows, once it is on screen; null before.
GtkWidget* shownDialog()
{
    GtkWidget* found = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* it = windows; it && !found; it = it->next)
        if (GTK_IS_MESSAGE_DIALOG(it->data) && gtk_widget_get_visible(GTK_WIDGET(it->data)))
            found = GTK_WIDGET(it->data);
    g_list_free(windows);
    return found;
}

// Answers the next dialog that appears with `answer`, from the main loop, as a user would.
struct tAnswerer {
    std::function<void(GtkWidget*)> answer;
    std::string message, detail;
    bool answeredOnMainThread = false;

    static gboolean poll(gpointer data)
    {
        auto* self = static_cast<tAnswerer*>(data);
        GtkWidget* dialog = shownDialog();
        if (!dialog)
            return G_SOURCE_CONTINUE;
        gchar* text = nullptr;
        gchar* secondary = nullptr;
        g_object_get(dialog, "text", &text, "secondary-text", &secondary, nullptr);
        self->message = text ? text : "";
        self->detail = secondary ? secondary : "";
        g_free(text);
        g_free(secondary);
        self->answeredOnMainThread = g_main_context_is_owner(g_main_context_default());
        self->answer(dialog);
        return G_SOURCE_REMOVE;
    }

    explicit tAnswerer(std::function<void(GtkWidget*)> how) : answer(std::move(how))
    {
        g_timeout_add(20, &tAnswerer::poll, this);
    }
};

void pressReturn(GtkWidget* dialog) { gtk_window_activate_default(GTK_WINDOW(dialog)); }

class PlatformAlert : public testing::Test {
protected:
    void SetUp() override
    {
        if (!haveDisplay())
            GTEST_SKIP() << "needs a display (scripts/test starts Xvfb)";
    }
};

TEST_F(PlatformAlert, ReturnAnswersTheDefaultButton)
{
    struct Case {
        Message::eType type;
        Message::eButton defaultButton;
        Message::eButton expected;
    } cases[] = {
        {Message::eTypeYesNo, Message::eButtonNo, Message::eButtonNo},
        {Message::eTypeYesNo, Message::eButtonYes, Message::eButtonYes},
        {Message::eTypeOK, Message::eButtonNone, Message::eButtonOK},  // the platform's own choice: the first
        {Message::eTypeAbortRetryIgnore, Message::eButtonIgnore, Message::eButtonIgnore},
    };
    for (const Case& c : cases) {
        tAnswerer user(pressReturn);
        EXPECT_EQ(
            Message::show("Do you really want to quit ?", c.type, c.defaultButton, Message::eIconWarning, "Updater"),
            c.expected)
            << c.type;
        EXPECT_EQ(user.message, "Updater");
        EXPECT_EQ(user.detail, "Do you really want to quit ?");
    }
}

TEST_F(PlatformAlert, EachButtonAnswersItsTagAndClosingAnswersCancel)
{
    // Yes, No, Cancel: the dialog's responses are the buttons' positions.
    struct Case {
        int response;
        Message::eButton expected;
    } cases[] = {
        {0, Message::eButtonYes},
        {1, Message::eButtonNo},
        {2, Message::eButtonCancel},
        {GTK_RESPONSE_DELETE_EVENT, Message::eButtonCancel},  // Escape or the window manager
    };
    for (const Case& c : cases) {
        tAnswerer user([&](GtkWidget* dialog) { gtk_dialog_response(GTK_DIALOG(dialog), c.response); });
        EXPECT_EQ(
            Message::show("text", Message::eTypeYesNoCancel, Message::eButtonYes, Message::eIconQuestion, nullptr),
            c.expected)
            << c.response;
    }
}

TEST_F(PlatformAlert, AnAlertAskedForOffTheMainThreadIsShownOnIt)
{
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    tAnswerer user(pressReturn);
    Message::eButton answer = Message::eButtonNone;
    std::thread worker([&] {
        answer =
            Message::show("from a worker", Message::eTypeYesNo, Message::eButtonNo, Message::eIconWarning, nullptr);
        g_main_loop_quit(loop);
    });
    g_main_loop_run(loop);
    worker.join();
    g_main_loop_unref(loop);
    EXPECT_EQ(answer, Message::eButtonNo);
    EXPECT_TRUE(user.answeredOnMainThread);
    EXPECT_EQ(user.detail, "from a worker");
}

TEST(PlatformAlertReport, OffTheMainThreadWithoutAMainLoopTheAlertIsReported)
{
    Message::eButton answer = Message::eButtonNone;
    testing::internal::CaptureStderr();
    std::thread worker([&] {
        answer = Message::show("Error x.cpp:3", Message::eTypeYesNo, Message::eButtonNo, Message::eIconWarning, "App");
    });
    worker.join();  // the main thread waits here: no loop runs
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "App\nError x.cpp:3\n");
    EXPECT_EQ(answer, Message::eButtonNo);
}

TEST(PlatformAlertReport, AMainThreadBlockedOutsideItsLoopGetsTheAlertReported)
{
    // The main thread owns its loop's context but waits for the worker instead of running it.
    GMainContext* context = g_main_context_default();
    ASSERT_TRUE(g_main_context_acquire(context));
    Message::eButton answer = Message::eButtonNone;
    testing::internal::CaptureStderr();
    std::thread worker([&] {
        answer = Message::show("blocked", Message::eTypeOKCancel, Message::eButtonCancel, Message::eIconWarning, "App");
    });
    worker.join();
    g_main_context_release(context);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "App\nblocked\n");
    EXPECT_EQ(answer, Message::eButtonCancel);
}

TEST(PlatformAlertReport, WithoutADisplayTheAlertIsReportedAndAnswersItsDefault)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process: no display opened yet
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            std::exit(Message::show("Error a.cpp:12\n\ncheck failed", Message::eTypeYesNo, Message::eButtonNo,
                                    Message::eIconInformation, "App"));
        },
        testing::ExitedWithCode(Message::eButtonNo), "App\nError a.cpp:12\n\ncheck failed\n");
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            std::exit(Message::show("Error", Message::eTypeOK, Message::eButtonNone, Message::eIconInformation, "App"));
        },
        testing::ExitedWithCode(Message::eButtonOK), "App\nError\n");
}

}  // namespace
