#include <VxUI/TextBlock.h>

#include <VxUI/TextDrawing.h>

namespace VxUI {

namespace {

constexpr COLORREF DisabledTextColor = 0xACACAC;

}  // namespace

void TextBlock::Paint(HDC dc, RECT& rectangle)
{
    const bool system = IsHighContrast();
    const HBRUSH background =
        CreateSolidBrush(system ? GetSysColor(COLOR_WINDOW) : GetDCBrushColor(dc));
    FillRect(dc, &rectangle, background);
    DeleteObject(background);

    const UINT format = StyleToDrawTextFormat(GetStyle());
    COLORREF textColor = IsEnabled() ? color : DisabledTextColor;
    if (system) {
        textColor = GetSysColor(IsEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    }
    DrawTextBlock(dc, rectangle, GetText(), GetFont(), textColor, format);
}

LRESULT TextBlock::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = Control::WindowProc(window, message, wParam, lParam);
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        return PassOn(window, message, wParam, lParam);
    }
    return result;
}

void TextBlock::SetColor(COLORREF textColor)
{
    color = textColor;
    // A null window would mean every window on the desktop.
    if (hwnd != nullptr) {
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

}  // namespace VxUI
