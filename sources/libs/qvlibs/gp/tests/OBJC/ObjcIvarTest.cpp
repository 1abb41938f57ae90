#include "GP/ClassFactory.h"
#include "GP/ObjcIvar.h"

#include <Foundation/Foundation.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace QV::GP::OBJC;

class ObjcIvar : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static ClassFactory s_factory(s_class);
        ASSERT_TRUE(s_factory.generateUniqueClass("QVIvarAccessTest", "NSObject"));
        s_factory.addMemberVar("pImpl", sizeof(void*), 3, "^v");
        s_factory.addMemberVar("flag", 1, 0, "c");
        s_factory.addMemberVar("theCode", sizeof(uint32_t), 2, "I");
        s_factory.addMemberVar("interval", sizeof(float), 2, "f");
        ASSERT_TRUE(s_factory.doRegister());
    }

    void SetUp() override { m_object = objc::msgSend<id>(s_class, sel_registerName("new")); }
    void TearDown() override { objc_release(m_object); }

    static objc_class* s_class;
    id m_object = nullptr;
};

objc_class* ObjcIvar::s_class = nullptr;

TEST_F(ObjcIvar, ValuesAreWrittenAndReadInPlace)
{
    EXPECT_EQ(getIvarPtr(m_object, "pImpl"), nullptr);
    EXPECT_EQ(getIvarUInt32(m_object, "theCode"), 0u);
    EXPECT_EQ(getIvarFloat(m_object, "interval"), 0.0f);

    setIvarPtr(m_object, "pImpl", m_object);
    setIvarUInt32(m_object, "theCode", 0xFEEDF00Du);
    setIvarFloat(m_object, "interval", 0.04f);
    EXPECT_EQ(getIvarPtr(m_object, "pImpl"), m_object);
    EXPECT_EQ(getIvarUInt32(m_object, "theCode"), 0xFEEDF00Du);
    EXPECT_EQ(getIvarFloat(m_object, "interval"), 0.04f);
    EXPECT_EQ(objc::rootRetainCount(m_object), 1u) << "the pointer is not retained";

    // Each value sits at its own variable's offset: the neighbours are untouched.
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_object);
    EXPECT_EQ(bytes[ivar_getOffset(class_getInstanceVariable(s_class, "flag"))], 0);
    uint32_t code = 0;
    std::memcpy(&code, bytes + ivar_getOffset(class_getInstanceVariable(s_class, "theCode")), sizeof code);
    EXPECT_EQ(code, 0xFEEDF00Du);
}

TEST_F(ObjcIvar, AMissingVariableOrObjectReadsZeroAndIgnoresWrites)
{
    setIvarUInt32(m_object, "theCode", 5);
    setIvarUInt32(m_object, "missing", 9);
    setIvarFloat(m_object, "missing", 1.5f);
    setIvarPtr(m_object, "missing", m_object);
    EXPECT_EQ(getIvarUInt32(m_object, "missing"), 0u);
    EXPECT_EQ(getIvarFloat(m_object, "missing"), 0.0f);
    EXPECT_EQ(getIvarPtr(m_object, "missing"), nullptr);
    EXPECT_EQ(getIvarUInt32(m_object, "theCode"), 5u);

    id none = nullptr;
    setIvarUInt32(none, "theCode", 1);
    EXPECT_EQ(getIvarUInt32(none, "theCode"), 0u);
    EXPECT_EQ(getIvarPtr(none, "pImpl"), nullptr);
    EXPECT_EQ(getIvarFloat(none, "interval"), 0.0f);
}

}  // namespace
