#include <gtest/gtest.h>
#include <log4cpp/Category.hh>
#include "LogCapture.h"
TEST(LogCaptureTest, CapturesCategoryAndPriority) {
    KestrelTest::LogCapture cap;
    log4cpp::Category::getInstance("raduva.opsender").warnStream() << "hello " << 3;
    log4cpp::Category::getInstance("raduva.opsender").error("%s::x %d", "A", 4);
    auto l = cap.Lines();
    ASSERT_EQ(2u, l.size());
    EXPECT_EQ("WARN raduva.opsender: hello 3", l[0]);
    EXPECT_EQ("ERROR raduva.opsender: A::x 4", l[1]);
}
