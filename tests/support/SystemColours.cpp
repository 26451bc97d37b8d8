#include "SystemColours.h"

namespace {

using ParametersFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT);
ParametersFunction originalParameters = nullptr;
HBRUSH madeBrushes[COLOR_MENUBAR + 1] = {};

BOOL WINAPI AnswerParameters(UINT action, UINT size, void* data, UINT flags)
{
    if (action != SPI_GETHIGHCONTRAST) {
        return originalParameters(action, size, data, flags);
    }
    auto* setting = static_cast<HIGHCONTRASTW*>(data);
    setting->dwFlags = SystemColours::highContrast ? HCF_HIGHCONTRASTON | HCF_AVAILABLE : HCF_AVAILABLE;
    setting->lpszDefaultScheme = nullptr;
    return TRUE;
}

DWORD WINAPI AnswerColour(int index)
{
    return SystemColours::Of(index);
}

HBRUSH WINAPI AnswerBrush(int index)
{
    if (index < 0 || index > COLOR_MENUBAR) {
        return nullptr;
    }
    if (madeBrushes[index] == nullptr) {
        madeBrushes[index] = CreateSolidBrush(SystemColours::Of(index));
    }
    return madeBrushes[index];
}

}  // namespace

SystemColours::SystemColours(bool on)
    : parameters("SystemParametersInfoW", reinterpret_cast<void*>(AnswerParameters)),
      colours("GetSysColor", reinterpret_cast<void*>(AnswerColour)),
      brushes("GetSysColorBrush", reinterpret_cast<void*>(AnswerBrush))
{
    highContrast = on;
    originalParameters = reinterpret_cast<ParametersFunction>(parameters.Original());
}

SystemColours::~SystemColours()
{
    for (HBRUSH& brush : madeBrushes) {
        if (brush != nullptr) {
            DeleteObject(brush);
            brush = nullptr;
        }
    }
}
