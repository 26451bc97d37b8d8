#pragma once

#include "Control.h"

namespace VxUI {

// Paints a static control's text in its own font and colour, honouring its alignment style. An
// SS_NOTIFY static still tells its parent of clicks and double-clicks.
class TextBlock : public Control {
public:
    TextBlock() = default;

    void Paint(HDC dc, RECT& rectangle) override;
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    void SetColor(COLORREF textColor);

    // Text colour while the window is enabled; disabled text is grey. High contrast overrides both.
    COLORREF color = 0;
};

}  // namespace VxUI
