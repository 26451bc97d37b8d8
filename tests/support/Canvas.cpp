#include "Canvas.h"

Canvas::Canvas(int w, int h) : width(w), height(h)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(nullptr);
    void* memory = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    bits = static_cast<DWORD*>(memory);
    previous = SelectObject(dc, bitmap);
    RECT all = Rect();
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

Canvas::~Canvas()
{
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

COLORREF Canvas::Pixel(int x, int y) const
{
    GdiFlush();
    const DWORD rgb = bits[y * width + x];  // 0x00RRGGBB in a DIB
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

int Canvas::Count(COLORREF colour, RECT area) const
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            count += Pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

namespace {

// The smallest rectangle holding every pixel of the area that matches; empty when none does.
template <typename Match>
RECT BoundsOfMatches(RECT area, Match matches)
{
    RECT bounds{area.right, area.bottom, 0, 0};
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (matches(x, y)) {
                bounds.left = x < bounds.left ? x : bounds.left;
                bounds.top = y < bounds.top ? y : bounds.top;
                bounds.right = x + 1 > bounds.right ? x + 1 : bounds.right;
                bounds.bottom = y + 1 > bounds.bottom ? y + 1 : bounds.bottom;
            }
        }
    }
    if (bounds.right == 0) {
        return RECT{0, 0, 0, 0};
    }
    return bounds;
}

}  // namespace

RECT Canvas::Bounds(COLORREF colour, RECT area) const
{
    return BoundsOfMatches(area, [&](int x, int y) { return Pixel(x, y) == colour; });
}

RECT Canvas::Differences(const Canvas& other) const
{
    return BoundsOfMatches(RECT{0, 0, width, height},
                           [&](int x, int y) { return Pixel(x, y) != other.Pixel(x, y); });
}

void Canvas::CopyWindow(HWND window)
{
    const HDC source = GetDC(window);
    BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
    ReleaseDC(window, source);
}

HFONT CreateCrispFont(int height)
{
    return CreateFontW(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
}
