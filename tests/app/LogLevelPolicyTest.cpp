#include "LogLevelPolicy.h"

#include <gtest/gtest.h>

TEST(LogLevelPolicy, Smoke)
{
    EXPECT_FALSE(IsFullLogging());
}
