#include <VxUI/Button.h>

#include <VxUI/Font.h>
#include <VxUI/TextDrawing.h>

#include "ButtonColours.h"

#include <string>

namespace VxUI {

namespace {

constexpr int CornerPoints = 4;
constexpr int FocusInsetPoints = 2;
constexpr int FrameWidth = 2;
constexpr UINT CaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

HighContrastColours SystemColours()
{
    return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_GRAYTEXT), GetSysColor(COLOR_HIGHLIGHT),
            GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT),
            GetSysColor(COLOR_WINDOWTEXT)};
}

void FillWith(HDC dc, const RECT& rectangle, COLORREF colour)
{
    const HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rectangle, brush);
    DeleteObject(brush);
}

}  // namespace

Button::~Button()
{
    if (icon != nullptr) {
        DestroyIcon(icon);
        icon = nullptr;
    }
}

void Button::OnClick()
{
    Notify(BN_CLICKED);
}

void Button::OnStateChanged(std::uint32_t changed)
{
    // The focus rectangle inverts what it covers and is the last thing a paint draws, so drawing
    // it on the screen shows or hides it without a repaint.
    if (changed & focusBit) {
        const HDC dc = GetDC(hwnd);
        RECT client;
        if (GetClientRect(hwnd, &client)) {
            DrawFocus(dc, client);
        }
        ReleaseDC(hwnd, dc);
    }
    if (changed & hoverBit) {
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

LRESULT Button::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool notifies = (GetStyle() & BS_NOTIFY) != 0;
    switch (message) {
    // The native button sends these only; a double-click is no second press for it.
    case WM_LBUTTONDBLCLK:
        if (notifies) {
            Notify(BN_DBLCLK);
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = Control::WindowProc(window, message, wParam, lParam);
        if (notifies) {
            Notify(message == WM_SETFOCUS ? BN_SETFOCUS : BN_KILLFOCUS);
        }
        return result;
    }
    // The native button draws its pushed or released face straight onto the window (the space
    // bar, a capture lost with the focus); the flat look goes back over it at once.
    case BM_SETSTATE:
        return PassOnAndRepaint(window, message, wParam, lParam);
    default:
        break;
    }
    return Control::WindowProc(window, message, wParam, lParam);
}

void Button::SetColors(COLORREF accent, COLORREF hoverFill, COLORREF hoverText)
{
    accentColor = accent;
    hoverFillColor = hoverFill;
    hoverTextColor = hoverText;
}

void Button::SetFilled(bool isFilled)
{
    filled = isFilled;
}

void Button::SetIcon(HICON newIcon)
{
    if (icon != nullptr && icon != newIcon) {
        DestroyIcon(icon);
    }
    icon = newIcon;
    if (hwnd != nullptr) {
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

void Button::DrawFocus(HDC dc, RECT rectangle)
{
    const int inset = PointsToPixels(FocusInsetPoints, dpi);
    rectangle.left += inset;
    rectangle.top += inset;
    rectangle.right -= inset + 1;
    rectangle.bottom -= inset + 1;
    SetTextColor(dc, 0x000000);
    DrawFocusRect(dc, &rectangle);
}

void Button::Paint(HDC dc, RECT& rectangle)
{
    const bool system = IsHighContrast();
    const HighContrastColours palette = system ? SystemColours() : HighContrastColours{};
    FillWith(dc, rectangle, system ? palette.window : GetDCBrushColor(dc));
    const ButtonColours colours =
        ChooseButtonColours({filled, accentColor, hoverFillColor, hoverTextColor}, (state & hoverBit) != 0,
                            IsEnabled(), system ? &palette : nullptr);

    const int corner = PointsToPixels(CornerPoints, dpi);
    const HRGN shape = CreateRoundRectRgn(rectangle.left, rectangle.top, rectangle.right,
                                          rectangle.bottom, corner, corner);
    const HBRUSH fill = CreateSolidBrush(colours.fill);
    FillRgn(dc, shape, fill);
    DeleteObject(fill);
    if (colours.framed) {
        const HBRUSH frame = CreateSolidBrush(colours.frame);
        FrameRgn(dc, shape, frame, FrameWidth, FrameWidth);
        DeleteObject(frame);
    }
    DeleteObject(shape);

    const HFONT font = GetFont();
    const std::wstring caption = GetText();
    RECT measured{0, 0, 0, 0};
    MeasureText(dc, &measured, caption, font, CaptionFormat);
    const LONG captionWidth = measured.right;

    RECT text = rectangle;
    const LONG width = rectangle.right - rectangle.left;
    if (captionWidth < width) {
        text.left += (width - captionWidth) / 2;
    }

    if (icon != nullptr) {
        TEXTMETRICW metrics{};
        const HGDIOBJ previous = SelectObject(dc, font);
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        const int size = metrics.tmAscent;
        if (size > 0) {
            const int gap = size / 4;
            const LONG minimumLeft = rectangle.left + 2 * gap + size;
            int x = 0;
            if (text.left < minimumLeft) {
                text.left = minimumLeft;
                x = gap;
            } else {
                x = static_cast<int>(text.left - rectangle.left) - gap - size;
            }
            const int y = static_cast<int>(rectangle.bottom - rectangle.top - size) / 2;
            DrawIconEx(dc, rectangle.left + x, rectangle.top + y, icon, size, size, 0, nullptr,
                       DI_NORMAL | DI_COMPAT);
        }
    }

    text.bottom -= 1;
    UINT format = CaptionFormat;
    if (captionWidth > text.right - text.left) {
        format |= DT_END_ELLIPSIS;
    }
    DrawTextBlock(dc, text, caption, font, colours.caption, format);

    if (state & focusBit) {
        DrawFocus(dc, rectangle);
    }
}

}  // namespace VxUI
