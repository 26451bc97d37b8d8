#pragma once

#include <windows.h>

// A 32-bit memory DC of a given size, white, whose pixels the test reads back.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc; }
    RECT Rect() const { return RECT{0, 0, width, height}; }
    COLORREF Pixel(int x, int y) const;
    // Pixels of exactly this colour inside the rectangle.
    int Count(COLORREF colour, RECT area) const;
    int Count(COLORREF colour) const { return Count(colour, Rect()); }
    // The smallest rectangle holding every pixel of this colour in the area (or anywhere); empty
    // when there is none.
    RECT Bounds(COLORREF colour, RECT area) const;
    RECT Bounds(COLORREF colour) const { return Bounds(colour, Rect()); }
    // The smallest rectangle holding every pixel that differs from the other canvas of this size.
    RECT Differences(const Canvas& other) const;
    // Copies what the screen shows of the window's client area, from its top-left corner.
    void CopyWindow(HWND window);

    const int width;
    const int height;

private:
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    DWORD* bits = nullptr;
};

// A font that draws without anti-aliasing, so that text pixels have exactly the text colour.
HFONT CreateCrispFont(int height);
