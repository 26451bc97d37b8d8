#pragma once

#include <windows.h>

namespace VxUI {

// What a button is painted in: its fill, its caption and, when framed, its frame.
struct ButtonColours {
    COLORREF fill;
    COLORREF caption;
    bool framed;
    COLORREF frame;
};

// The looks the dialog chose for the button.
struct ButtonLooks {
    bool filled;
    COLORREF accent;
    COLORREF hoverFill;
    COLORREF hoverText;
};

// The system colours that high contrast puts in place of the looks.
struct HighContrastColours {
    COLORREF window;
    COLORREF grayText;
    COLORREF highlight;
    COLORREF highlightText;
    COLORREF buttonFace;
    COLORREF buttonText;
    COLORREF windowText;
};

// The colours of a button in the state given; `highContrast` is null unless the user asked for it.
ButtonColours ChooseButtonColours(const ButtonLooks& looks, bool hovered, bool enabled,
                                  const HighContrastColours* highContrast);

}  // namespace VxUI
