// The toolkit window on a real X server (a private Xvfb): a widget tree shown in a standalone
// window, a click typed through XTest reaching its widget, and the pixels X shows after the ticks
// equal to the canvas picture, so the copy path is exact.
#include "Support/TestWidgets.h"
#include "Support/ToolkitWindowFixture.h"

#include "QVTest/MainLoop.h"
#include "UIA/EventData.h"
#include "UIA/Picture.h"

#include <gtest/gtest.h>

#include <chrono>
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

using ToolkitWindowX11 = ToolkitWindowFixture;

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

    // Shown where asked, its pane of the content's size.
    const GP::Rect content(6, 7, 6 + 627, 7 + 335);
    ToolkitWindow* window = openWindow(root, content, "Toolkit");
    ASSERT_NE(window, nullptr);

    XTestFakeMotionEvent(m_display, -1, content.left + 150, content.top + 70, 0);
    XTestFakeButtonEvent(m_display, 1, True, 0);
    XFlush(m_display);
    ASSERT_TRUE(runMainLoopUntil([&] { return !box->m_codes.empty() && box->m_codes.back() == 100002; }));
    // Pressed: a tick repaints the box in its pressed colour.
    ASSERT_TRUE(runMainLoopUntil([&] { return window->getCanvas().getPicture()->getPixel(150, 70) == 0xFFFFFF00; }));
    XTestFakeButtonEvent(m_display, 1, False, 0);
    XFlush(m_display);
    ASSERT_TRUE(runMainLoopUntil([&] { return !box->m_codes.empty() && box->m_codes.back() == 100014; }));
    ASSERT_TRUE(runMainLoopUntil([&] { return window->getCanvas().getPicture()->getPixel(150, 70) == 0xFF0A14FA; }));

    // Let the view take the last paint, then compare every pixel.
    runMainLoopUntil([] { return false; }, std::chrono::milliseconds(200));
    XSync(m_display, False);
    const UIA::Picture& picture = *window->getCanvas().getPicture();
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
