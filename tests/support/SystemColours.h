#pragma once

#include "ImportHook.h"

#include <windows.h>

// Answers, for the code linked into this program, whether high contrast is on and what each
// system colour is: a colour of its own per index, so that a pixel tells which index painted it.
// The machine's own settings are neither read nor changed.
class SystemColours {
public:
    explicit SystemColours(bool on)
    {
        highContrast = on;
        original = reinterpret_cast<decltype(original)>(parameters.Original());
    }

    static COLORREF Of(int index) { return RGB(index * 13, 255 - index * 11, 0x40 + index * 5); }

    static inline bool highContrast = false;

private:
    static BOOL WINAPI Parameters(UINT action, UINT size, void* data, UINT update)
    {
        if (action != SPI_GETHIGHCONTRAST) {
            return original(action, size, data, update);
        }
        static_cast<HIGHCONTRASTW*>(data)->dwFlags = highContrast ? DWORD{HCF_HIGHCONTRASTON} : DWORD{0};
        return TRUE;
    }
    static DWORD WINAPI Colour(int index) { return Of(index); }

    static inline decltype(&SystemParametersInfoW) original = nullptr;
    ImportHook parameters{"SystemParametersInfoW", reinterpret_cast<void*>(&Parameters)};
    ImportHook colours{"GetSysColor", reinterpret_cast<void*>(&Colour)};
};
