#include "Win32Registry.h"

#include "RawRegistry.h"
#include "ScratchKey.h"

TEST_F(ScratchKeyTest, Smoke)
{
    Win32Registry registry;
    registry.SetAccessFlags(KEY_WOW64_32KEY);
    EXPECT_TRUE(registry.KeyExists(Scratch()));
}
