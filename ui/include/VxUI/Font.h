#pragma once

#include <windows.h>

namespace VxUI {

// Device pixels for a length in points at the given resolution, rounded to nearest.
int PointsToPixels(int points, int dpi);

// The Segoe UI family member for a GDI weight; the 201-300 band depends on the system version.
const wchar_t* FaceForWeight(int weight, bool windows8OrLater);

// True on Windows 8 (version 6.2) or later, by VerifyVersionInfoW.
bool IsWindows8OrLater();

// The screen's vertical resolution (LOGPIXELSY); in a per-monitor-aware process, the system DPI.
int ScreenDpi();

// The resolution the window is shown at: GetDpiForWindow where the system has it (looked up at
// run time, since older systems lack it), otherwise LOGPIXELSY of the window's DC.
int WindowDpi(HWND window);

// A GDI font sized in points at a given resolution. Owns its handle; every window that was given
// the handle must be gone, or given another font, before the font is destroyed.
class Font {
public:
    // style: bit 0 italic, bit 1 underline, bit 2 strike-out; other bits are ignored.
    Font(int points, int weight, unsigned style, int dpi);
    ~Font();

    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    HFONT GetHandle() const;
    // Exchanges handles and resolutions: a font made for a new resolution takes this one's place,
    // and the old handle lives on in the other object until the windows have been given the new.
    void Swap(Font& other);

    HFONT handle = nullptr;
    int dpi = 0;
};

}  // namespace VxUI
