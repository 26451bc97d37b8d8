#include "DialogLogLevel.h"

namespace {

constexpr COLORREF DarkBlue = 0x993300;
constexpr COLORREF LighterBlue = 0xD96C00;
constexpr COLORREF White = 0xFFFFFF;

}  // namespace

DialogLogLevel::DialogLogLevel() : smallFont(12, FW_NORMAL, 0), largeFont(22, FW_NORMAL, 0) {}

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

    titleText.Attach(GetDlgItem(hwnd, TitleId));
    titleText.SetFont(largeFont.GetHandle());
    titleText.SetColor(DarkBlue);
    descriptionText.Attach(GetDlgItem(hwnd, DescriptionId));
    descriptionText.SetFont(smallFont.GetHandle());
    promptText.Attach(GetDlgItem(hwnd, PromptId));
    promptText.SetFont(smallFont.GetHandle());
    SetFont(smallFont.GetHandle(), NormalRadioId);
    SetFont(smallFont.GetHandle(), FullRadioId);

    CheckRadioButton(hwnd, NormalRadioId, FullRadioId, full ? FullRadioId : NormalRadioId);

    cancelButton.Attach(GetDlgItem(hwnd, IDCANCEL));
    cancelButton.SetFont(smallFont.GetHandle());
    cancelButton.SetColors(DarkBlue, LighterBlue, White);
    cancelButton.SetFilled(false);
    okButton.Attach(GetDlgItem(hwnd, IDOK));
    okButton.SetFont(smallFont.GetHandle());
    okButton.SetColors(DarkBlue, LighterBlue, White);
    return Dialog::OnInitDialog();
}

INT_PTR DialogLogLevel::OnCommand(WORD id, WORD code, HWND control)
{
    if (id == IDOK) {
        full = IsDlgButtonChecked(hwnd, NormalRadioId) == BST_CHECKED ? FALSE : TRUE;
    }
    return Dialog::OnCommand(id, code, control);
}
