#include "DialogLogLevel.h"

DialogLogLevel::~DialogLogLevel()
{
    if (icon != nullptr) {
        DestroyIcon(icon);
    }
}

INT_PTR DialogLogLevel::OnInitDialog()
{
    if (icon != nullptr) {
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    CheckRadioButton(hwnd, NormalRadioId, FullRadioId, full ? FullRadioId : NormalRadioId);
    return Dialog::OnInitDialog();
}

INT_PTR DialogLogLevel::OnCommand(WORD id, WORD code, HWND control)
{
    if (id == IDOK) {
        full = IsDlgButtonChecked(hwnd, NormalRadioId) == BST_CHECKED ? FALSE : TRUE;
    }
    return Dialog::OnCommand(id, code, control);
}
