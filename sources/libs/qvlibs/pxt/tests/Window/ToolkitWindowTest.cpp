// The toolkit window on a real X server (a private Xvfb): a widget tree shown in a standalone
// window, a click typed through XTest reaching its widget, and the pixels X shows after the ticks
// equal to the canvas picture, so the copy path is exact.
#include "Support/TestWidgets.h"
#include "Support/ToolkitFixture.h"

#include "PXT/Window.h"
#include "QVTest/MainLoop.h"
#include "QVTest/XServerTest.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/EventTimerManager.h"
#include "UIA/Picture.h"
#include "UIA/Window.h"

#include <Foundation/Foundation.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

// After GoogleTest: Xlib's macros (None, Bool, Status) would clash with its names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/Xutil.h>

namespace {

using namespace QV;
using namespace QV::PXT;
using namespace QV::PXT::TEST;
using QV::TEST::runMainLoopUntil;

using ToolkitWindow = PXT::Window<UIA::StandaloneWindow>;

class ClickedPanel : public PanelWidget {
public:
    ClickedPanel() : PanelWidget("Panel") {}
    void onMouse(unsigned code, UIA::MouseEventData* data) override
    {
        m_codes.push_back(code);
        PanelWidget::onMouse(code, data);
    }
    std::vector<unsigned> m_codes;
};

class ToolkitWindowX11 : public QV::TEST::XServerTest<ToolkitFixture> {
protected:
    void SetUp() override
    {
        XServerTest::SetUp();
        if (IsSkipped())
            return;
        m_pool = objc_autoreleasePoolPush();
        // The application's 40 ms timer, on the main run loop.
        m_timers = std::make_unique<UIA::EventTimerManager>();
    }
    void TearDown() override
    {
        if (m_window) {
            m_window->setRoot(nullptr, "");
            if (m_window->getImpl())
                m_window->destroy();
            delete m_window;
        }
        m_timers.reset();
        if (m_pool)
            objc_autoreleasePoolPop(m_pool);
        XServerTest::TearDown();
    }

    // Where X has the window's content (no window manager: the window itself).
    GP::Rect onScreen() const
    {
        if (!m_window || !m_window->getImpl())
            return GP::Rect();
        XSync(m_display, False);
        id window = objc::msgSend<id>(m_window->getNSView(), objc::sel("window"));
        const auto xid = static_cast<::Window>(objc::msgSend<NSInteger>(window, objc::sel("windowNumber")));
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(m_display, xid, &attributes) || attributes.map_state != IsViewable)
            return GP::Rect();
        int x = 0, y = 0;
        ::Window child;
        XTranslateCoordinates(m_display, xid, DefaultRootWindow(m_display), 0, 0, &x, &y, &child);
        return GP::Rect(x, y, x + attributes.width, y + attributes.height);
    }

    void* m_pool = nullptr;
    std::unique_ptr<UIA::EventTimerManager> m_timers;
    ToolkitWindow* m_window = nullptr;
};

TEST_F(ToolkitWindowX11, AClickReachesItsWidgetAndXShowsTheCanvas)
{
    defaultSheet().createDirect("Panel { background-color: rgb(200, 30, 40); }\n"
                                "Panel.box { background-color: rgb(10, 20, 250); "
                                "background-border-color: rgb(0, 255, 0); }\n"
                                "Panel.box:down { background-color: rgb(255, 255, 0); }\n");
    auto root = std::make_shared<PanelWidget>("Panel");
    auto box = std::make_shared<ClickedPanel>();
    box->setStyle("box");
    root->insertChild(box, "box");
    box->setPos(GP::Point(100, 50));
    box->setSize(GP::Point(120, 40));

    const GP::Rect place(6, 7, 6 + 627, 7 + 335);
    m_window = new ToolkitWindow;
    m_window->setRoot(root, "root");
    UIA::Window::CreateData data;
    data.flags = UIA::WindowBase::eCreateFlagSize | UIA::WindowBase::eCreateFlagPosition;
    data.style = UIA::WindowBase::eStyleFixedSize;
    data.rect = place;
    data.setTitle("Toolkit");
    ASSERT_TRUE(m_window->create(data));
    m_window->show(true);
    ASSERT_TRUE(runMainLoopUntil([&] { return onScreen() == place; }));
    EXPECT_EQ(static_cast<Pane&>(*m_window).getSize(), GP::Point(627, 335));

    const GP::Rect content = onScreen();
    XTestFakeMotionEvent(m_display, -1, content.left + 150, content.top + 70, 0);
    XTestFakeButtonEvent(m_display, 1, True, 0);
    XFlush(m_display);
    ASSERT_TRUE(runMainLoopUntil([&] { return !box->m_codes.empty() && box->m_codes.back() == 100002; }));
    // Pressed: a tick repaints the box in its pressed colour.
    ASSERT_TRUE(runMainLoopUntil([&] { return m_window->getCanvas().getPicture()->getPixel(150, 70) == 0xFFFFFF00; }));
    XTestFakeButtonEvent(m_display, 1, False, 0);
    XFlush(m_display);
    ASSERT_TRUE(runMainLoopUntil([&] { return !box->m_codes.empty() && box->m_codes.back() == 100014; }));
    ASSERT_TRUE(runMainLoopUntil([&] { return m_window->getCanvas().getPicture()->getPixel(150, 70) == 0xFF0A14FA; }));

    // Let the view take the last paint, then compare every pixel.
    runMainLoopUntil([] { return false; }, std::chrono::milliseconds(200));
    XSync(m_display, False);
    const UIA::Picture& picture = *m_window->getCanvas().getPicture();
    XImage* image =
        XGetImage(m_display, DefaultRootWindow(m_display), content.left, content.top, 627, 335, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    int wrong = 0;
    for (int y = 0; y < 335; ++y)
        for (int x = 0; x < 627; ++x)
            if ((XGetPixel(image, x, y) & 0xFFFFFF) != (picture.getPixel(x, y) & 0xFFFFFF) && wrong++ < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << ": X shows " << std::hex << XGetPixel(image, x, y)
                              << ", the canvas has " << picture.getPixel(x, y);
    XDestroyImage(image);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(picture.getPixel(101, 51), 0xFF0A14FAu);
    EXPECT_EQ(picture.getPixel(5, 5), 0xFFC81E28u);
}

}  // namespace
