// Typed message sends: arguments and results, nil receivers, super sends, class methods, and the
// report of a selector nobody implements.
#include "ObjcTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using objc::msgSend;
using objc::msgSendSuper;
using qvcompat::test::sel;
using qvcompat::test::uniqueName;

struct Size {
    double width;
    double height;
};

// ---- a small hierarchy: Shape <- Square, with plain functions as methods ----

Class g_shape = nullptr;
Class g_square = nullptr;

Size shapeScaled(id, SEL, Size size, double factor) { return Size{size.width * factor, size.height * factor}; }
long shapeSides(id, SEL) { return 0; }
long squareSides(id self, SEL op)
{
    objc_super up{self, class_getSuperclass(g_square)};
    return 4 + msgSendSuper<long>(&up, op) * 100;  // the super send must reach Shape's 0
}
unsigned char shapeMix(id, SEL, char a, unsigned short b, float c, long long d)
{
    return static_cast<unsigned char>(a + b + static_cast<int>(c) + d);
}
const char* shapeKind(id, SEL) { return "shape"; }
const char* squareKind(id, SEL) { return "square"; }
// Base behaviour that sends to self: reaches the subclass's override.
std::string shapeDescribe(id self, SEL)
{
    return std::string(msgSend<const char*>(self, sel("kind"))) + "/" +
           std::to_string(msgSend<long>(self, sel("sides")));
}
id shapeMake(id self, SEL) { return msgSend<id>(msgSend<id>(self, sel("alloc")), sel("init")); }

class MessageSend : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_shape = objc_allocateClassPair(objc_getClass("NSObject"), uniqueName("QVShape").c_str(), 0);
        objc::addMethod(g_shape, sel("scaled:by:"), &shapeScaled, "{Size=dd}@:{Size=dd}d");
        objc::addMethod(g_shape, sel("sides"), &shapeSides, "q@:");
        objc::addMethod(g_shape, sel("mix:::"), &shapeMix, "C@:cSfq");
        objc::addMethod(g_shape, sel("kind"), &shapeKind, "r*@:");
        objc::addMethod(g_shape, sel("describe"), &shapeDescribe, "?");
        objc::addMethod(object_getClass(g_shape), sel("make"), &shapeMake, "@@:");
        objc_registerClassPair(g_shape);
        g_square = objc_allocateClassPair(g_shape, uniqueName("QVSquare").c_str(), 0);
        objc::addMethod(g_square, sel("sides"), &squareSides, "q@:");
        objc::addMethod(g_square, sel("kind"), &squareKind, "r*@:");
        objc_registerClassPair(g_square);
    }

    void SetUp() override { m_square = msgSend<id>(g_square, sel("make")); }
    void TearDown() override { objc_release(m_square); }

    id m_square = nil;
};

TEST_F(MessageSend, PassesArgumentsAndResultsOfTheMethodsTypes)
{
    const Size scaled = msgSend<Size>(m_square, sel("scaled:by:"), Size{1.5, 2.0}, 2.0);
    EXPECT_DOUBLE_EQ(scaled.width, 3.0);
    EXPECT_DOUBLE_EQ(scaled.height, 4.0);
    EXPECT_EQ((msgSend<unsigned char, char, unsigned short, float, long long>(m_square, sel("mix:::"), 1, 2, 3.9f, 4)),
              10);
}

TEST_F(MessageSend, OverridesAreReachedFromTheBaseAndSuperSendsSkipThem)
{
    EXPECT_EQ(msgSend<std::string>(m_square, sel("describe")), "square/4");
    id shape = msgSend<id>(g_shape, sel("make"));
    EXPECT_EQ(msgSend<std::string>(shape, sel("describe")), "shape/0");
    objc_release(shape);
}

TEST_F(MessageSend, AClassMethodIsInheritedAndRunsWithTheReceivingClass)
{
    EXPECT_EQ(object_getClass(m_square), g_square) << "+make sent to Square made a Square";
    EXPECT_EQ(msgSend<Class>(m_square, sel("class")), g_square);
    EXPECT_EQ(msgSend<Class>(g_square, sel("class")), g_square);
    EXPECT_EQ(msgSend<Class>(g_square, sel("superclass")), g_shape);
}

TEST_F(MessageSend, NilAnswersZeroOfEveryTypeAndCallsNothing)
{
    id none = nil;
    EXPECT_EQ(msgSend<id>(none, sel("anything")), nullptr);
    EXPECT_EQ(msgSend<long>(none, sel("sides")), 0);
    EXPECT_EQ(msgSend<double>(none, sel("ratio")), 0.0);
    const Size size = msgSend<Size>(none, sel("scaled:by:"), Size{1, 1}, 3.0);
    EXPECT_EQ(size.width, 0.0);
    EXPECT_EQ(size.height, 0.0);
    msgSend<void>(none, sel("neverImplemented"));
    objc_super up{nil, g_shape};
    EXPECT_EQ(msgSendSuper<long>(&up, sel("sides")), 0);
}

TEST_F(MessageSend, RespondsAndKindFollowTheClassChain)
{
    EXPECT_TRUE(objc::respondsToSelector(m_square, sel("scaled:by:")));
    EXPECT_FALSE(objc::respondsToSelector(m_square, sel("make"))) << "a class method";
    EXPECT_TRUE(objc::respondsToSelector(g_square, sel("make")));
    EXPECT_FALSE(objc::respondsToSelector(nil, sel("sides")));
    EXPECT_TRUE(objc::isKindOfClass(m_square, g_shape));
    EXPECT_TRUE(objc::isKindOfClass(m_square, objc_getClass("NSObject")));
    EXPECT_FALSE(objc::isKindOfClass(m_square, objc_getClass("NSString")));
    EXPECT_FALSE(objc::isKindOfClass(nil, g_shape));
}

using MessageSendDeathTest = MessageSend;

TEST_F(MessageSendDeathTest, AnUnknownSelectorNamesClassAndSelectorAndAborts)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child that dies numbers its classes afresh: the class is named up to its number.
    EXPECT_DEATH(msgSend<void>(m_square, sel("frobnicate:"), m_square),
                 "-\\[QVSquare[0-9]+ frobnicate:\\]: unrecognized selector sent to instance 0x");
    EXPECT_DEATH(msgSend<id>(g_square, sel("scaled:by:")),
                 "\\+\\[QVSquare[0-9]+ scaled:by:\\]: unrecognized selector sent to class");
    objc_super fromRoot{m_square, nullptr};
    EXPECT_DEATH(msgSendSuper<void>(&fromRoot, sel("sides")), "super send of sides");
}

}  // namespace
