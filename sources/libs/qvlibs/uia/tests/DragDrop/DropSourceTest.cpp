// The start of a drag from mouse events: arming at a left press the source agrees to, and the
// distance and time a move needs before the drag starts.
#include "UIA/DropSource.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"

#include <gtest/gtest.h>

namespace {

using namespace QV::UIA;
using QV::GP::Point;

class TestSource : public DropSource {
public:
    bool canDragStart(const Point& pos) const override { return pos.x >= 0; }  // not left of the widget
    void setEnabled(bool enabled) { m_bEnabled = enabled; }
};

int press(DropSource& source, Point pos, uint32_t button = eMouseButtonLeft, uint32_t state = eMouseButtonDown)
{
    MouseButtonEventData data;
    data.pos = pos;
    data.button = button;
    data.state = state;
    return source.handleDropSourceMouseEvent(eEventMouseButton, &data);
}

int move(DropSource& source, Point pos, unsigned code = eEventMouseDrag)
{
    MouseEventData data;
    data.pos = pos;
    return source.handleDropSourceMouseEvent(code, &data);
}

TEST(DropSource, AMoveStartsTheDragOnceItIsFarEnoughFromThePress)
{
    const struct {
        Point to;
        unsigned code;
        int answer;
    } cases[] = {
        {Point(12, 11), eEventMouseDrag, DropSource::eMouseConsumed},   // squared distance 5
        {Point(10, 10), eEventMouseMove, DropSource::eMouseConsumed},   // 0
        {Point(12, 12), eEventMouseDrag, DropSource::eMouseStartDrag},  // 8
        {Point(7, 10), eEventMouseMove, DropSource::eMouseStartDrag},   // 9, a plain move as well
        {Point(-1000000, 10), eEventMouseDrag, DropSource::eMouseStartDrag},
    };
    for (const auto& c : cases) {
        TestSource source;
        ASSERT_EQ(press(source, Point(10, 10)), DropSource::eMouseConsumed);
        EXPECT_EQ(move(source, c.to, c.code), c.answer) << c.to.x << "," << c.to.y;
        // Once started, the source is disarmed: further moves are not its business.
        if (c.answer == DropSource::eMouseStartDrag) {
            EXPECT_EQ(move(source, Point(40, 40)), DropSource::eMouseNotHandled);
        }
    }
}

TEST(DropSource, OnlyALeftPressTheSourceAgreesToArms)
{
    const struct {
        const char* what;
        uint32_t button;
        uint32_t state;
        Point pos;
        bool enabled;
    } cases[] = {
        {"right button", eMouseButtonRight, eMouseButtonDown, Point(10, 10), true},
        {"middle button", eMouseButtonMiddle, eMouseButtonDown, Point(10, 10), true},
        {"double-click", eMouseButtonLeft, eMouseButtonDoubleClick, Point(10, 10), true},
        {"release", eMouseButtonLeft, eMouseButtonUp, Point(10, 10), true},
        {"refused by canDragStart", eMouseButtonLeft, eMouseButtonDown, Point(-5, 10), true},
        {"disabled source", eMouseButtonLeft, eMouseButtonDown, Point(10, 10), false},
    };
    for (const auto& c : cases) {
        TestSource source;
        source.setEnabled(c.enabled);
        EXPECT_EQ(press(source, c.pos, c.button, c.state), DropSource::eMouseNotHandled) << c.what;
        EXPECT_FALSE(source.isDragArmed()) << c.what;
        EXPECT_EQ(move(source, Point(100, 100)), DropSource::eMouseNotHandled) << c.what;
    }
}

TEST(DropSource, ReleasesLeavingAndOtherButtonsDisarmCodesOutsideTheMouseRangeChangeNothing)
{
    const struct {
        const char* what;
        unsigned code;
        uint32_t button;
        bool armedAfter;
    } cases[] = {
        {"release", eEventMouseButton, eMouseButtonLeft, false},
        {"right press", eEventMouseButton, eMouseButtonRight, false},
        {"leave", eEventMouseLeave, 0, false},
        {"wheel", eEventMouseWheel, 0, true},
        {"key down", eEventKeyDown, 0, true},
        {"drag request", eEventDragDropRequest, 0, true},
    };
    for (const auto& c : cases) {
        TestSource source;
        ASSERT_EQ(press(source, Point(10, 10)), DropSource::eMouseConsumed);
        MouseButtonEventData data;
        data.pos = Point(10, 10);
        data.button = c.button;
        data.state = eMouseButtonUp;
        EXPECT_EQ(source.handleDropSourceMouseEvent(c.code, &data), DropSource::eMouseNotHandled) << c.what;
        EXPECT_EQ(source.isDragArmed(), c.armedAfter) << c.what;
    }
}

TEST(DropSource, TheDragWaitsForTheTimeoutAfterThePress)
{
    TestSource source;
    source.setDragStartTimeout(3600 * 1000);  // an hour: the test never reaches it
    ASSERT_EQ(press(source, Point(10, 10)), DropSource::eMouseConsumed);
    EXPECT_EQ(move(source, Point(300, 300)), DropSource::eMouseConsumed);
    EXPECT_TRUE(source.isDragArmed());

    source.setDragStartTimeout(0);
    EXPECT_EQ(move(source, Point(300, 300)), DropSource::eMouseStartDrag);
}

}  // namespace
