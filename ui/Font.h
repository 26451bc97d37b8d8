#pragma once

#include <windows.h>

namespace VxUI {

// Device pixels for a length in points at the given resolution, rounded to nearest.
int PointsToPixels(int points, int dpi);

// The Segoe UI family member for a GDI weight; the 201-300 band depends on the system version.
const wchar_t* FaceForWeight(int weight, bool windows8OrLater);

// True on Windows 8 (version 6.2) or later, by VerifyVersionInfoW.
bool IsWindows8OrLater();

// A GDI font sized in points at the screen's resolution. Owns its handle; every window that was
// given the handle must be gone before the font is destroyed.
class Font {
public:
    // style: bit 0 italic, bit 1 underline, bit 2 strike-out; other bits are ignored.
    Font(int points, int weight, unsigned style);
    ~Font();

    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    HFONT GetHandle() const;

    HFONT handle = nullptr;
};

}  // namespace VxUI
