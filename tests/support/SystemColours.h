#pragma once

#include "ImportHook.h"

#include <windows.h>

// Answers, for the code linked into this program, whether high contrast is on and which colour
// each system colour index has: a distinctive one per index, so that a pixel tells which index
// painted it. The machine's own settings are neither read nor changed.
class SystemColours {
public:
    explicit SystemColours(bool on);
    ~SystemColours();
    SystemColours(const SystemColours&) = delete;
    SystemColours& operator=(const SystemColours&) = delete;

    static COLORREF Of(int index) { return RGB(index * 13, 255 - index * 11, 0x40 + index * 5); }

    // What SPI_GETHIGHCONTRAST reports from now on.
    static inline bool highContrast = false;

private:
    ImportHook parameters;
    ImportHook colours;
    ImportHook brushes;
};
