#include "app/BuildText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace pirela {
namespace {

TEST(BuildTextTest, FormatsTheLocalTimeAsALongJapaneseDate) {
    ::setenv("TZ", "JST-9", 1);
    ::tzset();
    // 2001-02-02 19:05:06 UTC is the next morning in Tokyo.
    EXPECT_EQ(FormatBuildText(981140706), "Build : 2001年2月3日 4:05:06");
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(FormatBuildText(981140706), "Build : 2001年2月2日 19:05:06");
}

} // namespace
} // namespace pirela
