#include <gtest/gtest.h>

#include "model/TimeFormat.h"

namespace orvex {

TEST(TimeFormat, FormatsMinutesSecondsAndFraction) {
    struct Case {
        int32_t t;
        int digits;
        const char* text;
    } cases[] = {
        {0, 2, "0:00.00"},       {12345, 2, "0:01.23"},   {12355, 3, "0:01.236"},
        {612345, 4, "1:01.2345"}, {-12345, 2, "-0:01.23"}, {12345, 0, "0:01.2345"},
        {12345, 7, "0:01.2345"},  {19999, 1, "0:02.0"},    {599999, 2, "1:00.00"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatTime(c.t, c.digits), c.text) << c.t << " " << c.digits;
}

}  // namespace orvex
