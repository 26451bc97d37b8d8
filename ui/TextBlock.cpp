#include "TextBlock.h"

#include "TextDrawing.h"

namespace VxUI {

namespace {

constexpr COLORREF DisabledTextColor = 0xACACAC;

}  // namespace

void TextBlock::Paint(HDC dc, RECT& rectangle)
{
    const HBRUSH background = CreateSolidBrush(GetDCBrushColor(dc));
    FillRect(dc, &rectangle, background);
    DeleteObject(background);

    const UINT format = StyleToDrawTextFormat(GetStyle());
    const COLORREF textColor = IsEnabled() ? color : DisabledTextColor;
    DrawTextBlock(dc, rectangle, GetText(), GetFont(), textColor, format);
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
