#include "ButtonColours.h"

namespace VxUI {

namespace {

constexpr COLORREF DisabledFill = 0xF0F0F0;
constexpr COLORREF DisabledText = 0xACACAC;
constexpr COLORREF White = 0xFFFFFF;
constexpr COLORREF OutlineHoverFill = 0xF8F8F8;

// Hovering changes nothing here: a high-contrast palette has no hover colour.
ButtonColours InHighContrast(const HighContrastColours& system, bool enabled, bool filled)
{
    if (!enabled) {
        return {system.window, system.grayText, true, system.grayText};
    }
    if (filled) {
        return {system.highlight, system.highlightText, false, 0};
    }
    return {system.buttonFace, system.buttonText, true, system.windowText};
}

}  // namespace

ButtonColours ChooseButtonColours(const ButtonLooks& looks, bool hovered, bool enabled,
                                  const HighContrastColours* highContrast)
{
    if (highContrast != nullptr) {
        return InHighContrast(*highContrast, enabled, looks.filled);
    }
    if (!enabled) {
        return {DisabledFill, DisabledText, false, 0};
    }
    if (looks.filled) {
        return hovered ? ButtonColours{looks.hoverFill, looks.hoverText, false, 0}
                       : ButtonColours{looks.accent, White, false, 0};
    }
    return {hovered ? OutlineHoverFill : White, looks.accent, true, looks.accent};
}

}  // namespace VxUI
