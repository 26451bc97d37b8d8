#pragma once

#include "Control.h"

namespace VxUI {

// A flat push button with rounded corners: filled for the main action, outlined for the others,
// with hover colours, an optional icon left of the caption and a dotted focus rectangle. In high
// contrast both looks take the system's colours instead of their own. Over a BS_NOTIFY button it
// sends the focus and double-click notifications the native button would.
class Button : public Control {
public:
    Button() = default;
    ~Button() override;

    void OnClick() override;
    void OnStateChanged(std::uint32_t changed) override;
    void Paint(HDC dc, RECT& rectangle) override;
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    void SetColors(COLORREF accent, COLORREF hoverFill, COLORREF hoverText);
    void SetFilled(bool isFilled);
    // The button takes ownership of the icon and destroys it; a previous icon is destroyed now.
    void SetIcon(HICON newIcon);
    void DrawFocus(HDC dc, RECT rectangle);

    COLORREF accentColor = 0x000000;
    COLORREF hoverFillColor = 0x777777;
    COLORREF hoverTextColor = 0xFFFFFF;
    bool filled = true;
    HICON icon = nullptr;
};

}  // namespace VxUI
