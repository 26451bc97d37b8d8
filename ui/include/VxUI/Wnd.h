#pragma once

#include <windows.h>

#include <string>

// The toolkit's headers use names the platform headers declare from Windows Vista on; a caller
// may target any later system.
#if _WIN32_WINNT < 0x0600
#error "VxUI needs _WIN32_WINNT 0x0600 or later"
#endif

namespace VxUI {

// Whether the user has asked for high contrast: the toolkit then draws in the system colours and
// the colours a dialog chose for itself give way.
bool IsHighContrast();

// A window handle and a few services on the window or on one of its dialog items. An item id of
// 0 means the window itself; a missing window makes a service return its empty result.
class Wnd {
public:
    virtual ~Wnd() = default;

    HFONT GetFont(int itemId = 0) const;
    bool SetFont(HFONT font, int itemId = 0) const;
    std::wstring GetText(int itemId = 0) const;
    bool IsEnabled(int itemId = 0) const;
    DWORD GetStyle() const;
    SIZE GetClientSize() const;

    HWND hwnd = nullptr;

protected:
    Wnd() = default;

private:
    HWND Target(int itemId) const;
};

}  // namespace VxUI
