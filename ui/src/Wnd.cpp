#include <VxUI/Wnd.h>

namespace VxUI {

bool IsHighContrast()
{
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof(setting);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

HWND Wnd::Target(int itemId) const
{
    if (itemId != 0 && hwnd != nullptr) {
        return GetDlgItem(hwnd, itemId);
    }
    return hwnd;
}

HFONT Wnd::GetFont(int itemId) const
{
    const HWND target = Target(itemId);
    if (target == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<HFONT>(SendMessageW(target, WM_GETFONT, 0, 0));
}

bool Wnd::SetFont(HFONT font, int itemId) const
{
    const HWND target = Target(itemId);
    if (target == nullptr) {
        return false;
    }
    // WM_SETFONT has no result to give.
    SendMessageW(target, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return true;
}

std::wstring Wnd::GetText(int itemId) const
{
    const HWND target = Target(itemId);
    if (target == nullptr) {
        return std::wstring();
    }
    const int length = GetWindowTextLengthW(target);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(target, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

bool Wnd::IsEnabled(int itemId) const
{
    const HWND target = Target(itemId);
    return target != nullptr && IsWindowEnabled(target) != 0;
}

DWORD Wnd::GetStyle() const
{
    if (hwnd == nullptr) {
        return 0;
    }
    return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
}

SIZE Wnd::GetClientSize() const
{
    RECT rect{};
    if (hwnd == nullptr || !GetClientRect(hwnd, &rect)) {
        return SIZE{0, 0};
    }
    return SIZE{rect.right, rect.bottom};
}

}  // namespace VxUI
