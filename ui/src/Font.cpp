#include <VxUI/Font.h>

#include <utility>

namespace VxUI {

int PointsToPixels(int points, int dpi)
{
    return MulDiv(points, dpi, 72);
}

const wchar_t* FaceForWeight(int weight, bool windows8OrLater)
{
    if (weight <= 200) {
        return L"Segoe UI Light";
    }
    if (weight <= 300) {
        return windows8OrLater ? L"Segoe UI Semilight" : L"Segoe UI";
    }
    if (weight < 600) {
        return L"Segoe UI";
    }
    return L"Segoe UI Semibold";
}

bool IsWindows8OrLater()
{
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    version.dwMajorVersion = 6;
    version.dwMinorVersion = 2;
    version.wServicePackMajor = 0;
    ULONGLONG condition = 0;
    condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
    condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
    condition = VerSetConditionMask(condition, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                              condition) != 0;
}

int ScreenDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int WindowDpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    const HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi;
}

Font::Font(int points, int weight, unsigned style, int resolution) : dpi(resolution)
{
    const int height = -PointsToPixels(points, dpi);
    // Only the band with a version-dependent face asks the system for its version.
    const bool windows8OrLater = weight > 200 && weight <= 300 && IsWindows8OrLater();
    handle = CreateFontW(height, 0, 0, 0, weight, style & 1u, (style >> 1) & 1u, (style >> 2) & 1u,
                         DEFAULT_CHARSET, OUT_OUTLINE_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                         DEFAULT_PITCH | FF_SWISS, FaceForWeight(weight, windows8OrLater));
}

Font::~Font()
{
    if (handle != nullptr) {
        DeleteObject(handle);
    }
}

HFONT Font::GetHandle() const
{
    return handle;
}

void Font::Swap(Font& other)
{
    std::swap(handle, other.handle);
    std::swap(dpi, other.dpi);
}

}  // namespace VxUI
