// Compiled into the drawing tests' programs. A run made for one screen resolution names it in
// TEST_SCREEN_DPI and fails on a screen of any other, rather than pass with the checks bound to
// that resolution skipped.

#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>

namespace {

TEST(Screen, HasTheResolutionThisRunIsFor)
{
    wchar_t wanted[16] = {};
    const DWORD length = GetEnvironmentVariableW(L"TEST_SCREEN_DPI", wanted, 16);
    if (length == 0 || length >= 16) {
        GTEST_SKIP() << "this run is for the screen as it is";
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(std::wcstol(wanted, nullptr, 10), dpi) << "dpi of the screen, against TEST_SCREEN_DPI";
}

}  // namespace
