// Drag and drop under X with real input (XTest through xdotool, from a driver thread, since the
// drag runs a main loop of its own inside the call that starts it): a drag of text from one window
// of the program to another, in-process data dropped in the window it came from and refused by
// another one, and a file list dragged in from another program.
#include "QVTest/MainLoop.h"
#include "QVTest/TemporaryFolder.h"
#include "UIA/DragDropData.h"
#include "UIA/DragDropDelegate.h"
#include "UIA/DragDropManager.h"
#include "UIA/DropSource.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/Picture.h"
#include "UIA/TextClipBoardFormat.h"
#include "UIA/Window.h"
#include "UIA/WindowImpl.h"

#include <GP/FileName.h>

#include <Foundation/Foundation.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace QV::UIA;
using QV::GP::Point;
using QV::GP::Rect;
using QV::TEST::runMainLoopUntil;
using namespace std::chrono_literals;

// Waits on another thread for a flag the main thread sets; false after the deadline.
bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

bool xdotool(const std::string& arguments) { return std::system(("xdotool " + arguments).c_str()) == 0; }

bool pointerTo(Point p) { return xdotool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y)); }

// What a window heard of drags.
struct tArrival {
    unsigned code = 0;
    Point pos;
    uint32_t allowedEffects = 0;
    uint32_t dropEffect = 0;
    std::optional<std::string> text;
    std::vector<std::string> files;
    const DragDropData* payload = nullptr;
};

class DragWindow : public StandaloneWindow, public DropSource {
public:
    // How the window starts a drag when the pointer has moved far enough from a press.
    std::function<void(DragWindow&)> startDrag;
    // The effect it takes a drag with (0 refuses).
    uint32_t acceptEffect = DragDropSupport::eDropEffectMove;

    std::vector<tArrival> arrivals;
    std::atomic<bool> pressed{false};
    std::atomic<bool> dragStarted{false};
    std::atomic<bool> requested{false};
    std::atomic<int> finishedResult{-1};

    bool canDragStart(const Point&) const override { return startDrag != nullptr; }

    bool onEvent(unsigned code, EventData* data) override
    {
        if (code >= eEventMouseButton && code <= eEventMouseRelativeMove) {
            if (code == eEventMouseButton)
                pressed = true;
            if (handleDropSourceMouseEvent(code, data) == eMouseStartDrag) {
                dragStarted = true;
                startDrag(*this);
            }
            return true;
        }
        switch (code) {
        case eEventDragDropRequest: {
            auto* request = static_cast<DragDropRequestEventData*>(data);
            arrivals.push_back(describe(code, *request));
            arrivals.back().allowedEffects = request->allowedEffects;
            requested = true;
            if (!acceptEffect)
                return false;
            request->target = this;
            request->dropEffect = acceptEffect;
            return true;
        }
        case eEventDragDropReceive: arrivals.push_back(describe(code, *static_cast<DragEventData*>(data))); return true;
        case eEventDragDropLeaved: {
            tArrival leaved;
            leaved.code = code;
            arrivals.push_back(leaved);
            return true;
        }
        case eEventDragDropFinished:
            finishedResult = static_cast<DragDropFinishedEventData*>(data)->result;
            return true;
        default: return StandaloneWindow::onEvent(code, data);
        }
    }

    std::vector<tArrival> ofCode(unsigned code) const
    {
        std::vector<tArrival> found;
        for (const tArrival& arrival : arrivals)
            if (arrival.code == code)
                found.push_back(arrival);
        return found;
    }

private:
    static tArrival describe(unsigned code, const DragEventData& data)
    {
        tArrival arrival;
        arrival.code = code;
        arrival.pos = data.pos;
        arrival.dropEffect = data.dropEffect;
        const IDragDropDelegate& dnd = DNDDelegate::get();
        arrival.text = dnd.getExternalText(data);
        if (auto files = dnd.getExternalFileList(data))
            for (const QV::GP::FileName& file : *files)
                arrival.files.push_back(file.getFilesystemPath());
        arrival.payload = dnd.getInternalDragDropData(data);
        return arrival;
    }
};

class DragDropX11 : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!getenv("DISPLAY") || !gtk_init_check(nullptr, nullptr))
            GTEST_SKIP() << "no X server";
        m_pool = objc_autoreleasePoolPush();
        // What the application installs when it is made.
        setDragDropDelegate(makeWindowingDragDropDelegate());
    }

    void TearDown() override
    {
        if (m_driver.joinable())
            m_driver.join();
        for (auto& window : m_windows)
            if (window->getImpl())
                window->destroy();
        m_windows.clear();
        setDragDropDelegate(nullptr);
        if (m_pool)
            objc_autoreleasePoolPop(m_pool);
    }

    // A shown window whose content lies at `rect` on the screen (no window manager places it).
    DragWindow& open(Rect rect)
    {
        auto window = std::make_unique<DragWindow>();
        QV::UIA::Window::CreateData data;
        data.flags = WindowBase::eCreateFlagSize | WindowBase::eCreateFlagPosition;
        data.style = WindowBase::eStyleFixedSize;
        data.rect = rect;
        data.setTitle("Vardolin");
        EXPECT_TRUE(window->create(data));
        window->show(true);
        DragWindow& shown = *window;
        m_windows.push_back(std::move(window));
        EXPECT_TRUE(runMainLoopUntil([&] {
            Rect content;
            shown.getImpl()->getRect(content, true);
            return shown.isVisible() && content == rect;
        }));
        QV::TEST::runMainLoopUntil([] { return false; }, 50ms);  // mapped and drawn
        return shown;
    }

    // On the driver thread: presses in `source` at `from` (screen), moves until it starts a drag,
    // then moves to `to` and releases once `target` has heard the drag (or at once when `target`
    // is null, after a few moves there).
    void drive(DragWindow* source, Point from, Point to, DragWindow* target,
               std::atomic<bool>* startedElsewhere = nullptr)
    {
        m_driver = std::thread([=] {
            pointerTo(from);
            xdotool("mousedown 1");
            if (source)
                waitFor([&] { return source->pressed.load(); });
            // Away from the press in small steps until the drag has started.
            for (int step = 1; step <= 40; ++step) {
                pointerTo(Point(from.x + 2 * step, from.y + 2 * step));
                std::this_thread::sleep_for(5ms);
                const bool started = source ? source->dragStarted.load() : startedElsewhere->load();
                if (started && step > 6)
                    break;
            }
            waitFor([&] { return source ? source->dragStarted.load() : startedElsewhere->load(); });
            // Towards the drop point, and round it until the target has heard a request.
            const Point start(from.x + 14, from.y + 14);
            for (int step = 1; step <= 10; ++step) {
                pointerTo(Point(start.x + (to.x - start.x) * step / 10, start.y + (to.y - start.y) * step / 10));
                std::this_thread::sleep_for(10ms);
            }
            for (int round = 0; round < 500 && (!target || !target->requested); ++round) {
                pointerTo(Point(to.x + (round % 2), to.y));
                std::this_thread::sleep_for(10ms);
                if (!target && round >= 10)
                    break;
            }
            pointerTo(to);
            std::this_thread::sleep_for(20ms);
            xdotool("mouseup 1");
        });
    }

    void* m_pool = nullptr;
    std::vector<std::unique_ptr<DragWindow>> m_windows;
    std::thread m_driver;
};

TEST_F(DragDropX11, TextDraggedToAnotherWindowArrivesWhereItIsDroppedAndTheSourceLearnsTheEffect)
{
    DragWindow& source = open(Rect(20, 20, 220, 170));
    DragWindow& target = open(Rect(300, 40, 560, 240));
    source.startDrag = [](DragWindow& self) {
        TextClipBoardFormat text;
        text.setValue("Vardolin — grüße");
        DragDropManager::DoDragWithCallback(
            &self, text, DragDropSupport::eDropEffectCopy | DragDropSupport::eDropEffectMove, nullptr);
    };
    drive(&source, Point(60, 60), Point(300 + 123, 40 + 77), &target);
    ASSERT_TRUE(runMainLoopUntil([&] { return source.finishedResult >= 0; }, 15s));

    const std::vector<tArrival> requests = target.ofCode(eEventDragDropRequest);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front().allowedEffects,
              uint32_t(DragDropSupport::eDropEffectCopy | DragDropSupport::eDropEffectMove));
    EXPECT_EQ(requests.front().text, std::optional<std::string>("Vardolin — grüße"));
    EXPECT_TRUE(requests.front().files.empty());
    EXPECT_EQ(requests.front().payload, nullptr);

    const std::vector<tArrival> drops = target.ofCode(eEventDragDropReceive);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].pos, Point(123, 77));
    EXPECT_EQ(drops[0].dropEffect, uint32_t(DragDropSupport::eDropEffectMove));
    EXPECT_EQ(drops[0].text, std::optional<std::string>("Vardolin — grüße"));
    // The drop ends with the leave; the source hears the effect.
    EXPECT_EQ(target.arrivals.back().code, unsigned(eEventDragDropLeaved));
    EXPECT_EQ(source.finishedResult, int(DragDropSupport::eDropResultMoved));
    EXPECT_FALSE(DragDropManager::isDragInProgress());
}

TEST_F(DragDropX11, InProcessDataDropsInItsOwnWindowAndIsRefusedByAnother)
{
    DragWindow& source = open(Rect(20, 20, 260, 220));
    DragWindow& other = open(Rect(320, 40, 560, 240));
    const unsigned formatId = DragDropManager::registerFormat("vardolin.test.x11");
    const DragDropData payload(formatId);
    Picture image;
    image.setSize(24, 12);
    image.setAlphaChannel(true);
    image.clear(0x80FF8000u);
    const DragDropSupport::DragImage dragImage{&image, 12, 6};
    source.startDrag = [&](DragWindow& self) {
        DNDDelegate::get().DoDragWithCallback(&self, payload, DragDropSupport::eDropEffectCopy, &self, &dragImage);
    };
    source.acceptEffect = DragDropSupport::eDropEffectCopy;

    // Into the other window: the manager refuses before the window hears of it.
    drive(&source, Point(40, 40), Point(320 + 100, 40 + 100), nullptr);
    ASSERT_TRUE(runMainLoopUntil([&] { return source.finishedResult >= 0; }, 15s));
    m_driver.join();
    EXPECT_TRUE(other.arrivals.empty());
    EXPECT_EQ(source.finishedResult, int(DragDropSupport::eDropResultNothing));

    // Within its own window it arrives, pointer and all.
    source.finishedResult = -1;
    source.dragStarted = false;
    source.pressed = false;
    source.requested = false;  // heard on the way out: the drop waits for a request of its own
    drive(&source, Point(40, 40), Point(20 + 180, 20 + 150), &source);
    ASSERT_TRUE(runMainLoopUntil([&] { return source.finishedResult >= 0; }, 15s));
    const std::vector<tArrival> drops = source.ofCode(eEventDragDropReceive);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].payload, &payload);
    EXPECT_EQ(drops[0].pos, Point(180, 150));
    EXPECT_EQ(drops[0].dropEffect, uint32_t(DragDropSupport::eDropEffectCopy));
    EXPECT_EQ(drops[0].text, std::nullopt);
    EXPECT_EQ(source.finishedResult, int(DragDropSupport::eDropResultCopied));
}

TEST_F(DragDropX11, AFileListDraggedFromAnotherProgramArrivesWithItsFiles)
{
    QV::TEST::TemporaryFolder folder{"qv-dragdrop-x11"};
    const std::string first = folder.path().native() + "/first file.txt";
    const std::string second = folder.path().native() + "/Grüße.png";
    std::ofstream(first) << "1";
    std::ofstream(second) << "2";
    DragWindow& target = open(Rect(300, 40, 560, 240));
    target.acceptEffect = DragDropSupport::eDropEffectCopy;

    const auto uri = [](const std::string& path) {
        gchar* text = g_filename_to_uri(path.c_str(), nullptr, nullptr);
        std::string out = text;
        g_free(text);
        return "'" + out + "'";
    };
    FILE* helper =
        popen((std::string(QV_TEST_FILE_DRAG_SOURCE) + " 20 20 " + uri(first) + " " + uri(second)).c_str(), "r");
    ASSERT_NE(helper, nullptr);
    std::atomic<bool> ready{false};
    std::atomic<bool> ended{false};
    std::string endLine;
    std::thread reader([&] {
        char line[256];
        while (std::fgets(line, sizeof(line), helper)) {
            const std::string text(line);
            if (text.rfind("ready", 0) == 0)
                ready = true;
            if (text.rfind("end", 0) == 0) {
                endLine = text;
                ended = true;
            }
        }
    });
    ASSERT_TRUE(runMainLoopUntil([&] { return ready.load(); }, 10s));
    std::atomic<bool> started{true};  // GTK starts the other program's drag by itself
    drive(nullptr, Point(80, 80), Point(300 + 40, 40 + 150), &target, &started);
    const bool dropped =
        runMainLoopUntil([&] { return ended.load() && !target.ofCode(eEventDragDropReceive).empty(); }, 15s);
    m_driver.join();
    pclose(helper);
    reader.join();
    ASSERT_TRUE(dropped) << endLine;

    const std::vector<tArrival> requests = target.ofCode(eEventDragDropRequest);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front().allowedEffects,
              uint32_t(DragDropSupport::eDropEffectCopy | DragDropSupport::eDropEffectMove));
    EXPECT_EQ(requests.front().files, (std::vector<std::string>{first, second}));
    EXPECT_EQ(requests.front().payload, nullptr);
    const std::vector<tArrival> drops = target.ofCode(eEventDragDropReceive);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].pos, Point(40, 150));
    EXPECT_EQ(drops[0].files, (std::vector<std::string>{first, second}));
    EXPECT_EQ(drops[0].dropEffect, uint32_t(DragDropSupport::eDropEffectCopy));
    EXPECT_EQ(endLine, "end copy\n");
}

}  // namespace
