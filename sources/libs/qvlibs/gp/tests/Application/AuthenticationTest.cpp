#include "GP/Authentication.h"
#include "GP/CriticalSection.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using QV::GP::Authentication;

TEST(Authentication, InitOnceUntilDeInit)
{
    ASSERT_TRUE(QV::GP::CriticalSection::staticInit());  // the library start sets up the lock pool first
    const bool root = geteuid() == 0 && getuid() == 0;
    ASSERT_FALSE(Authentication::isInited());

    EXPECT_TRUE(Authentication::init());
    EXPECT_TRUE(Authentication::isInited());
    EXPECT_EQ(Authentication::isProcessElevated(), root);

    EXPECT_FALSE(Authentication::init()) << "a second start reports failure";
    EXPECT_TRUE(Authentication::isInited());
    EXPECT_EQ(Authentication::isProcessElevated(), root);

    Authentication::deInit();
    EXPECT_FALSE(Authentication::isInited());
    Authentication::deInit();  // a second stop does nothing

    EXPECT_TRUE(Authentication::init()) << "a stopped record starts again";
    Authentication::deInit();
    QV::GP::CriticalSection::staticDeInit();
}

}  // namespace
