#include <VxUI/Font.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Font, PointsToPixelsRoundsToNearest)
{
    const struct {
        int points;
        int dpi;
        int pixels;
    } rows[] = {
        {12, 96, 16}, {12, 120, 20}, {12, 144, 24}, {12, 192, 32},
        {22, 96, 29}, {22, 120, 37}, {22, 144, 44}, {22, 192, 59},
        {4, 96, 5}, {4, 120, 7}, {4, 144, 8}, {4, 192, 11},
        {2, 96, 3}, {2, 120, 3}, {2, 144, 4}, {2, 192, 5},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.pixels, VxUI::PointsToPixels(row.points, row.dpi)) << row.points << " pt at " << row.dpi << " dpi";
    }
}

TEST(Font, FaceByWeightAtEachBandEdge)
{
    const struct {
        int weight;
        const wchar_t* modern;  // Windows 8 or later
        const wchar_t* older;
    } rows[] = {
        {100, L"Segoe UI Light", L"Segoe UI Light"},
        {200, L"Segoe UI Light", L"Segoe UI Light"},
        {201, L"Segoe UI Semilight", L"Segoe UI"},
        {300, L"Segoe UI Semilight", L"Segoe UI"},
        {301, L"Segoe UI", L"Segoe UI"},
        {400, L"Segoe UI", L"Segoe UI"},
        {599, L"Segoe UI", L"Segoe UI"},
        {600, L"Segoe UI Semibold", L"Segoe UI Semibold"},
        {700, L"Segoe UI Semibold", L"Segoe UI Semibold"},
        {900, L"Segoe UI Semibold", L"Segoe UI Semibold"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(std::wstring(row.modern), VxUI::FaceForWeight(row.weight, true)) << "weight " << row.weight;
        EXPECT_EQ(std::wstring(row.older), VxUI::FaceForWeight(row.weight, false)) << "weight " << row.weight;
    }
}

int ScreenDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// What the created font asks GDI for, read back from the handle.
TEST(Font, CreatesTheRequestedLogicalFont)
{
    const struct {
        int points;
        int weight;
        unsigned style;
        int dpi;
        BYTE italic, underline, strikeOut;
    } rows[] = {
        {12, 400, 0, 96, 0, 0, 0},
        {22, 400, 0, 144, 0, 0, 0},
        {12, 700, 1, 96, 1, 0, 0},
        {12, 400, 2, 120, 0, 1, 0},
        {12, 400, 3, 96, 1, 1, 0},
        {12, 400, 4, 192, 0, 0, 1},
        {12, 400, 8, 96, 0, 0, 0},
        {9, 200, 7, 144, 1, 1, 1},
    };
    for (const auto& row : rows) {
        VxUI::Font font(row.points, row.weight, row.style, row.dpi);
        ASSERT_NE(nullptr, font.GetHandle());
        LOGFONTW logFont{};
        ASSERT_EQ(static_cast<int>(sizeof(logFont)), GetObjectW(font.GetHandle(), sizeof(logFont), &logFont));
        const std::string what = std::to_string(row.points) + " pt, weight " + std::to_string(row.weight) +
                                 ", style " + std::to_string(row.style) + " at " + std::to_string(row.dpi) + " dpi";
        EXPECT_EQ(row.dpi, font.dpi) << what;
        EXPECT_EQ(-VxUI::PointsToPixels(row.points, row.dpi), logFont.lfHeight) << what;
        EXPECT_EQ(0, logFont.lfWidth) << what;
        EXPECT_EQ(row.weight, logFont.lfWeight) << what;
        EXPECT_EQ(row.italic, logFont.lfItalic) << what;
        EXPECT_EQ(row.underline, logFont.lfUnderline) << what;
        EXPECT_EQ(row.strikeOut, logFont.lfStrikeOut) << what;
        EXPECT_EQ(DEFAULT_CHARSET, logFont.lfCharSet) << what;
        EXPECT_EQ(OUT_OUTLINE_PRECIS, logFont.lfOutPrecision) << what;
        EXPECT_EQ(CLIP_DEFAULT_PRECIS, logFont.lfClipPrecision) << what;
        EXPECT_EQ(CLEARTYPE_QUALITY, logFont.lfQuality) << what;
        EXPECT_EQ(DEFAULT_PITCH | FF_SWISS, logFont.lfPitchAndFamily) << what;
        EXPECT_EQ(std::wstring(VxUI::FaceForWeight(row.weight, VxUI::IsWindows8OrLater())), logFont.lfFaceName) << what;
    }
}

// Whatever the screen's resolution, a font is sized for the one it is given.
TEST(Font, ApplicationFontHeightsAtEachResolution)
{
    const struct {
        int dpi;
        LONG small;
        LONG large;
    } rows[] = {{96, -16, -29}, {120, -20, -37}, {144, -24, -44}, {192, -32, -59}};
    for (const auto& row : rows) {
        VxUI::Font small(12, 400, 0, row.dpi);
        VxUI::Font large(22, 400, 0, row.dpi);
        LOGFONTW logFont{};
        GetObjectW(small.GetHandle(), sizeof(logFont), &logFont);
        EXPECT_EQ(row.small, logFont.lfHeight) << row.dpi << " dpi";
        EXPECT_EQ(std::wstring(L"Segoe UI"), logFont.lfFaceName);
        GetObjectW(large.GetHandle(), sizeof(logFont), &logFont);
        EXPECT_EQ(row.large, logFont.lfHeight) << row.dpi << " dpi";
    }
}

// The tests run at 96 dpi and again with the screen set to 144 dpi; Wine has one monitor, whose
// resolution is the screen's.
TEST(Font, WindowAndScreenResolutionOfTheOnlyMonitor)
{
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(ScreenDpi(), VxUI::ScreenDpi());
    EXPECT_EQ(ScreenDpi(), VxUI::WindowDpi(window));
    DestroyWindow(window);
}

// RtlGetVersion reports the version unaltered by compatibility settings.
TEST(Font, VersionTestMatchesTheSystemVersion)
{
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(nullptr, rtlGetVersion);
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_EQ(0, rtlGetVersion(&version));
    const bool expected = version.dwMajorVersion > 6 || (version.dwMajorVersion == 6 && version.dwMinorVersion >= 2);
    EXPECT_EQ(expected, VxUI::IsWindows8OrLater())
        << "system version " << version.dwMajorVersion << "." << version.dwMinorVersion;

    VxUI::Font font(12, 300, 0, 96);
    LOGFONTW logFont{};
    GetObjectW(font.GetHandle(), sizeof(logFont), &logFont);
    EXPECT_EQ(std::wstring(expected ? L"Segoe UI Semilight" : L"Segoe UI"), logFont.lfFaceName);
}

TEST(Font, DestroyingDeletesTheHandleItHolds)
{
    HFONT kept = nullptr;
    {
        VxUI::Font font(12, 400, 0, 96);
        const HFONT replaced = font.GetHandle();
        {
            VxUI::Font replacement(12, 400, 0, 144);
            kept = replacement.GetHandle();
            font.Swap(replacement);
            EXPECT_EQ(replaced, replacement.GetHandle());
            EXPECT_EQ(96, replacement.dpi);
        }
        EXPECT_EQ(kept, font.GetHandle());
        EXPECT_EQ(144, font.dpi);
        EXPECT_EQ(0u, GetObjectType(replaced)) << "the swapped-out handle died with the other object";
        ASSERT_EQ(OBJ_FONT, static_cast<int>(GetObjectType(kept)));
    }
    EXPECT_EQ(0u, GetObjectType(kept)) << "the font object is gone";
}

}  // namespace
