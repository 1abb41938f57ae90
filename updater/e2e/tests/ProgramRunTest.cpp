// The program as users start it: the bundle's executable under vdx-sim, on an X server of the
// test's own, driven through real clicks and keys. What only a whole process shows: its end (the
// exit status, and AddressSanitizer and LeakSanitizer quiet), a second copy, SIGTERM. Every page
// reached is saved as a PNG under the build tree (the folder is printed).
#include "Image.h"
#include "PageLook.h"
#include "ProgramRun.h"
#include "WizardLayout.h"
#include "XSession.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace QV::E2E {
namespace {

using namespace std::chrono_literals;

constexpr const char* kTitle = "VDX Updater";

// Faster re-enumeration and manifestation than the controller's own, so an update takes seconds.
const std::vector<std::string> kQuickController = {"--reenumeration-delay", "100", "--manifestation-time", "100"};

class ProgramRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_x.connected()) << "no X server in DISPLAY";
        char runtime[] = "/tmp/qv-e2e-runtime-XXXXXX";
        ASSERT_NE(mkdtemp(runtime), nullptr);
        m_runtimeDir = runtime;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = std::string(QV_E2E_SHOTS_DIR) + "/" + info->test_suite_name() + "." + info->name();
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        std::string error;
        ASSERT_TRUE(m_colours.load(QV_SKIN_DIR "/pictures", error)) << error;
        const auto layout = WizardLayout::fromRenderTool(QV_PAGE_RENDER, QV_SKIN_DIR, error);
        ASSERT_TRUE(layout) << error;
        m_layout = *layout;
    }
    void TearDown() override
    {
        m_runs.clear();
        std::filesystem::remove_all(m_runtimeDir);
        std::printf("pages of this test: %s\n", m_folder.c_str());
    }

    // The program under vdx-sim with the simulator's options, in `folder` when one is given (else
    // the test's own); its output goes to a file of the test.
    ProgramRun& start(std::vector<std::string> simulatorOptions, bool withSimulator = true,
                      const std::string& folder = {})
    {
        std::vector<std::string> command;
        if (withSimulator) {
            command.push_back(QV_VDX_SIM);
            command.insert(command.end(), simulatorOptions.begin(), simulatorOptions.end());
            command.push_back("--");
        }
        if (!folder.empty())
            command.insert(command.end(), {"env", "-C", folder});
        command.push_back(QV_UPDATER_PROGRAM);
        const std::string output = m_folder + "/output-" + std::to_string(m_runs.size() + 1) + ".txt";
        m_runs.push_back(std::make_unique<ProgramRun>(
            command,
            std::vector<std::pair<std::string, std::string>>{
                {"XDG_RUNTIME_DIR", m_runtimeDir}, {"GDK_BACKEND", "x11"}, {"NO_AT_BRIDGE", "1"}},
            output));
        return *m_runs.back();
    }

    // Waits for the window and for `page` on it, then saves a PNG named after the step.
    ::testing::AssertionResult reachLook(int page, const tPageLook& wanted, const std::string& step)
    {
        if (!m_window)
            m_window = m_x.waitForWindow(kTitle, 60s);
        if (!m_window)
            return ::testing::AssertionFailure() << "no window titled " << kTitle;
        tPageLook look;
        const bool reached = waitUntil(
            [&] {
                look = lookOf(content(), m_colours, m_layout);
                return look == wanted;
            },
            60s);
        save(step);
        if (reached)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "page " << page << " (" << toString(wanted) << ") not shown; the screen shows " << toString(look);
    }

    Image content()
    {
        const Image window = m_x.grab(m_window);
        return window.crop(WizardLayout::contentIn(window));
    }
    void clickContent(const tRect& rect)
    {
        const auto frame = m_x.geometry(m_window);
        ASSERT_TRUE(frame);
        m_x.click(m_window, centreX(rect), frame->height - WizardLayout::kContentHeight + centreY(rect));
    }
    void save(const std::string& step)
    {
        char number[16];  // room for any int
        std::snprintf(number, sizeof(number), "%02d-", ++m_shots);
        EXPECT_TRUE(m_x.grab(m_window).writePng(m_folder + "/" + number + step + ".png"));
    }

    // Waits for a top-level window other than the program's (a question), saves it as a PNG.
    XWindowId waitForQuestion(const std::string& step)
    {
        XWindowId dialog = 0;
        waitUntil(
            [&] {
                for (const XWindowId window : m_x.viewableWindows()) {
                    const auto frame = m_x.geometry(window);
                    if (window != m_window && frame && frame->width > 100)
                        dialog = window;
                }
                return dialog != 0;
            },
            30s);
        if (dialog) {
            // Once mapped, GTK paints it in its next frame.
            waitUntil([&] { return m_x.grab(dialog).dominantColour() != tRgb{0, 0, 0}; }, 5s);
            m_x.grab(dialog).writePng(m_folder + "/" + step + ".png");
        }
        return dialog;
    }

    static void expectCleanEnd(ProgramRun& run, std::chrono::milliseconds timeout = 30s)
    {
        const auto status = run.waitExit(timeout);
        ASSERT_TRUE(status) << "the program did not end\n" << run.output();
        EXPECT_EQ(*status, 0) << run.output();
        const std::string output = run.output();
        for (const char* report : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"})
            EXPECT_EQ(output.find(report), std::string::npos) << output;
    }

    XSession m_x;
    XWindowId m_window = 0;
    SkinColours m_colours;
    WizardLayout m_layout;
    std::string m_folder;
    std::string m_runtimeDir;
    int m_shots = 0;
    std::vector<std::unique_ptr<ProgramRun>> m_runs;
};

const tPageLook kNoController{ePanelKind::eInfo, 2};
const tPageLook kUpdateAvailable{ePanelKind::eInfo, 2};
const tPageLook kUpdating{ePanelKind::eInfo, 0};
const tPageLook kSuccessful{ePanelKind::eOk, 1};

TEST_F(ProgramRunTest, UpdateToTheEndAndFinish)
{
    ProgramRun& run = start(kQuickController);
    ASSERT_TRUE(reachLook(2, kUpdateAvailable, "update-available"));
    clickContent(m_layout.action());
    ASSERT_TRUE(reachLook(3, kUpdating, "updating"));
    ASSERT_TRUE(reachLook(5, kSuccessful, "successful"));
    clickContent(m_layout.action());  // FINISH, alone at the row's right end
    expectCleanEnd(run);
}

TEST_F(ProgramRunTest, QuitAnsweredYesDuringTheUpdateEndsTheProcessCleanly)
{
    ProgramRun& run = start(kQuickController);
    ASSERT_TRUE(reachLook(2, kUpdateAvailable, "update-available"));
    clickContent(m_layout.action());
    ASSERT_TRUE(reachLook(3, kUpdating, "updating"));

    m_x.key("q", {"Control_L"});
    const XWindowId question = waitForQuestion("quit-question");
    ASSERT_NE(question, 0u) << "no quit question while the update runs\n" << run.output();
    // Yes: the first of the dialog's two buttons, which share its bottom row.
    const auto frame = m_x.geometry(question);
    m_x.click(question, frame->width / 4, frame->height - 20);
    // The worker is stopped at its last wait and joined before the logic goes.
    expectCleanEnd(run);
}

TEST_F(ProgramRunTest, SigtermDuringTheUpdateAsksAndNoLetsItFinish)
{
    ProgramRun& run = start(kQuickController);
    ASSERT_TRUE(reachLook(2, kUpdateAvailable, "update-available"));
    clickContent(m_layout.action());
    ASSERT_TRUE(reachLook(3, kUpdating, "updating"));

    run.signal(SIGTERM);  // vdx-sim hands it to the program: the road of Quit
    const XWindowId question = waitForQuestion("quit-question");
    ASSERT_NE(question, 0u) << "no quit question while the update runs\n" << run.output();
    const auto frame = m_x.geometry(question);
    m_x.click(question, frame->width * 3 / 4, frame->height - 20);  // No
    ASSERT_TRUE(reachLook(5, kSuccessful, "successful-after-no"));
    EXPECT_TRUE(run.running());

    run.signal(SIGTERM);  // no update runs now: nothing is asked
    expectCleanEnd(run);
}

TEST_F(ProgramRunTest, SigtermWithoutAnUpdateEndsQuietly)
{
    ProgramRun& run = start({"--plug-on-signal"});
    ASSERT_TRUE(reachLook(0, kNoController, "no-controller"));
    run.signal(SIGTERM);  // vdx-sim hands it to the program
    expectCleanEnd(run);
}

// The program killed at a point of the update (vdx-sim sends SIGKILL when the controller receives
// that request), then started again on the same controller: it finds the controller wherever the
// killed one left it and brings the update to its end.
struct tInterruption {
    const char* name;
    const char* request;  // as vdx-sim's --signal-at takes it
};

void PrintTo(const tInterruption& interruption, std::ostream* out) { *out << interruption.name; }

class InterruptedUpdateTest : public ProgramRunTest, public ::testing::WithParamInterface<tInterruption> {};

TEST_P(InterruptedUpdateTest, AFreshStartFinishesTheUpdate)
{
    std::vector<std::string> options = kQuickController;
    options.insert(options.end(), {"--signal-at", GetParam().request, "--runs", "2"});
    ProgramRun& run = start(options);
    ASSERT_TRUE(reachLook(2, kUpdateAvailable, "update-available"));
    clickContent(m_layout.action());
    ASSERT_TRUE(waitUntil([&] { return m_x.windowsTitled(kTitle).empty(); }, 60s)) << "not killed\n" << run.output();

    m_window = 0;  // the second run's
    ASSERT_TRUE(reachLook(2, kUpdateAvailable, "update-available-after-restart"));
    clickContent(m_layout.action());
    ASSERT_TRUE(reachLook(5, kSuccessful, "successful"));
    clickContent(m_layout.action());  // FINISH
    expectCleanEnd(run);
}

// The controller's defaults: it detaches itself (DFU_DETACH) and is manifestation tolerant.
INSTANTIATE_TEST_SUITE_P(Points, InterruptedUpdateTest,
                         ::testing::Values(tInterruption{"AtTheReset", "DETACH:1"},
                                           tInterruption{"DuringTheWrite", "DNLOAD:5"},
                                           tInterruption{"DuringManifestation", "GETSTATE:1"}),
                         [](const ::testing::TestParamInfo<tInterruption>& info) { return info.param.name; });

TEST_F(ProgramRunTest, SecondInstanceEndsWithoutAWindow)
{
    ProgramRun& first = start({}, false);
    ASSERT_TRUE(reachLook(0, kNoController, "first-instance"));

    ProgramRun& second = start({}, false);
    const auto status = second.waitExit(30s);
    ASSERT_TRUE(status) << "the second copy is still running";
    EXPECT_EQ(*status, 0) << second.output();
    EXPECT_EQ(m_x.windowsTitled(kTitle).size(), 1u);
    EXPECT_TRUE(first.running());

    first.signal(SIGTERM);
    expectCleanEnd(first);
}

// A skin folder in the current folder comes before the bundle's: a damaged copy of the bundle's
// skin there, with the stylesheet and the title bar's picture cut short. The user sees the window
// and, on standard error, what is wrong with which file.
TEST_F(ProgramRunTest, ADamagedSkinIsReportedAndTheProgramRuns)
{
    namespace fs = std::filesystem;
    const fs::path folder = m_folder + "/damaged";
    fs::create_directories(folder);
    fs::copy(QV_SKIN_DIR, folder / "skin", fs::copy_options::recursive);
    // The sheet ends inside a rule, just after the first '{' of its second half.
    const fs::path sheetFile = folder / "skin" / "stylesheets" / "FirmwareUpdaterStyles.txt";
    std::string text;
    {
        std::ifstream in(sheetFile, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::size_t brace = text.find('{', text.size() / 2);
    ASSERT_NE(brace, std::string::npos);
    fs::resize_file(sheetFile, brace + 1);
    const fs::path titlePicture = folder / "skin" / "pictures" / "TitlePanel.png";
    fs::resize_file(titlePicture, fs::file_size(titlePicture) / 2);

    ProgramRun& run = start({}, false, folder.string());
    m_window = m_x.waitForWindow(kTitle, 60s);
    ASSERT_TRUE(m_window) << run.output();
    const std::string picture = "can't decode picture TitlePanel.png (" + fs::weakly_canonical(titlePicture).string() +
                                "): PNG: unexpected end of data\n";
    EXPECT_TRUE(waitUntil([&] { return run.output().find(picture) != std::string::npos; }, 30s)) << run.output();
    const std::string sheet = "Stylesheet error: FirmwareUpdaterStyles.txt:";
    EXPECT_NE(run.output().find(sheet), std::string::npos) << run.output();
    // What the user sees: the part of the skin that was read, once GTK has shown the first paint.
    waitUntil([&] { return m_x.grab(m_window).dominantColour() != tRgb{0, 0, 0}; }, 10s);
    save("damaged-skin");
    EXPECT_TRUE(run.running());
    run.signal(SIGTERM);
    expectCleanEnd(run);
}

}  // namespace
}  // namespace QV::E2E

namespace QV::E2E {
namespace {

// Without a usable display the program says so in one line and ends at once, leaving nothing that
// keeps the next copy, on a real display with the same runtime folder, from showing its window.
// A display that takes connections and never answers: a listening socket where an X server's
// would be, which accepts nothing.
class SilentDisplay {
public:
    SilentDisplay()
    {
        mkdir("/tmp/.X11-unix", 01777);
        for (int number = 60000 + getpid() % 5000; number < 65535 && m_socket == -1; ++number) {
            const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
            const int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", path.c_str());
            if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 && listen(s, 8) == 0) {
                m_socket = s;
                m_path = path;
                m_display = ":" + std::to_string(number);
            } else {
                close(s);
            }
        }
    }
    ~SilentDisplay()
    {
        if (m_socket != -1) {
            close(m_socket);
            unlink(m_path.c_str());
        }
    }
    SilentDisplay(const SilentDisplay&) = delete;
    SilentDisplay& operator=(const SilentDisplay&) = delete;

    const std::string& display() const { return m_display; }

private:
    int m_socket = -1;
    std::string m_path;
    std::string m_display;
};

TEST_F(ProgramRunTest, WithoutAnX11DisplayItSaysSoAndEndsLeavingTheLockFree)
{
    const SilentDisplay silent;
    ASSERT_FALSE(silent.display().empty());
    struct Case {
        const char* what;
        std::vector<std::string> command;                              // before the program
        std::vector<std::pair<std::string, std::string>> environment;  // besides the runtime folder
        const char* tried;                                             // in the line it writes
    } cases[] = {
        {"no DISPLAY", {"env", "-u", "DISPLAY"}, {}, "DISPLAY is not set"},
        {"a display that does not answer", {}, {{"DISPLAY", ":97"}}, "\":97\""},
        {"a malformed display", {}, {{"DISPLAY", ":0.bogus"}}, "\":0.bogus\""},
        {"Wayland without a compositor",
         {"env", "-u", "WAYLAND_DISPLAY"},
         {{"GDK_BACKEND", "wayland"}},
         "GDK_BACKEND=wayland"},
        {"a display that never answers", {}, {{"DISPLAY", silent.display()}}, "does not answer"},
    };
    int row = 0;
    for (const Case& c : cases) {
        std::vector<std::string> command = c.command;
        command.push_back(QV_UPDATER_PROGRAM);
        std::vector<std::pair<std::string, std::string>> environment = {{"XDG_RUNTIME_DIR", m_runtimeDir},
                                                                        {"NO_AT_BRIDGE", "1"}};
        environment.insert(environment.end(), c.environment.begin(), c.environment.end());
        ProgramRun failing(command, environment, m_folder + "/no-display-" + std::to_string(++row) + ".txt");
        const auto status = failing.waitExit(30s);  // one that never answers is given 10 s
        ASSERT_TRUE(status) << c.what << ": still running without a display";
        EXPECT_NE(*status, 0) << c.what;
        const std::string output = failing.output();
        EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << c.what << ":\n" << output;
        EXPECT_NE(output.find("needs an X11 display"), std::string::npos) << c.what << ":\n" << output;
        EXPECT_NE(output.find(c.tried), std::string::npos) << c.what << ":\n" << output;

        // The next copy, on the test's X server, is not taken for a second one.
        ProgramRun& next = start({}, false);
        ASSERT_TRUE(m_x.waitForWindow(kTitle, 60s)) << c.what << ": the next copy shows no window\n" << next.output();
        EXPECT_TRUE(next.running()) << c.what;
        next.signal(SIGTERM);
        expectCleanEnd(next);
        ASSERT_TRUE(waitUntil([&] { return m_x.windowsTitled(kTitle).empty(); }, 30s));
    }
}

// A copy of the program whose bundle has no Info.plist is still a copy of the same program: its
// single-instance lock is the same, so it ends beside a running copy.
TEST_F(ProgramRunTest, ACopyWithoutItsInfoPlistIsStillASecondCopy)
{
    namespace fs = std::filesystem;
    const fs::path program = QV_UPDATER_PROGRAM;
    const fs::path bundle = program.parent_path().parent_path().parent_path();
    const fs::path copy = fs::path(m_folder) / "NoInfoPlist.app";
    fs::create_directories(copy / "Contents" / "MacOS");
    fs::create_directory_symlink(bundle / "Contents" / "Resources", copy / "Contents" / "Resources");
    const fs::path executable = copy / "Contents" / "MacOS" / program.filename();
    std::error_code linked;
    fs::create_hard_link(program, executable, linked);  // the bundle is found from the file itself
    if (linked)
        fs::copy_file(program, executable);
    ASSERT_FALSE(fs::exists(copy / "Contents" / "Info.plist"));

    ProgramRun& first = start({}, false);
    ASSERT_TRUE(reachLook(0, kNoController, "first-copy"));
    ProgramRun second({executable.string()},
                      {{"XDG_RUNTIME_DIR", m_runtimeDir}, {"GDK_BACKEND", "x11"}, {"NO_AT_BRIDGE", "1"}},
                      m_folder + "/output-no-info-plist.txt");
    const auto status = second.waitExit(30s);
    ASSERT_TRUE(status) << "the copy without an Info.plist runs beside the first";
    EXPECT_EQ(*status, 0) << second.output();
    EXPECT_EQ(m_x.windowsTitled(kTitle).size(), 1u);
    EXPECT_TRUE(first.running());
    first.signal(SIGTERM);
    expectCleanEnd(first);
}

}  // namespace
}  // namespace QV::E2E
