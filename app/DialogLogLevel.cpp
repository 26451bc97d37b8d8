#include "DialogLogLevel.h"

namespace {

constexpr COLORREF DarkBlue = 0x993300;
constexpr COLORREF LighterBlue = 0xD96C00;
constexpr COLORREF White = 0xFFFFFF;
constexpr int SmallPoints = 12;
constexpr int LargePoints = 22;
// The window icons' sizes at 96 dpi.
constexpr int LargeIconPixels = 32;
constexpr int SmallIconPixels = 16;

// The window takes the new icon before the old one is destroyed; a failed load keeps the old one.
void ReplaceIcon(HWND window, WPARAM which, HICON& current, HICON fresh)
{
    if (fresh == nullptr) {
        return;
    }
    SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(fresh));
    if (current != nullptr) {
        DestroyIcon(current);
    }
    current = fresh;
}

}  // namespace

DialogLogLevel::DialogLogLevel()
    : smallFont(SmallPoints, FW_NORMAL, 0, VxUI::ScreenDpi()), largeFont(LargePoints, FW_NORMAL, 0, VxUI::ScreenDpi())
{
}

DialogLogLevel::~DialogLogLevel()
{
    if (icon != nullptr) {
        DestroyIcon(icon);
    }
    if (smallIcon != nullptr) {
        DestroyIcon(smallIcon);
    }
}

// The windows are given the new fonts before the old ones are deleted with the temporaries.
void DialogLogLevel::MakeFonts(int resolution)
{
    VxUI::Font small(SmallPoints, FW_NORMAL, 0, resolution);
    VxUI::Font large(LargePoints, FW_NORMAL, 0, resolution);
    smallFont.Swap(small);
    largeFont.Swap(large);
    HandOutFonts();
}

void DialogLogLevel::HandOutFonts()
{
    titleText.SetFont(largeFont.GetHandle());
    descriptionText.SetFont(smallFont.GetHandle());
    promptText.SetFont(smallFont.GetHandle());
    SetFont(smallFont.GetHandle(), NormalRadioId);
    SetFont(smallFont.GetHandle(), FullRadioId);
    cancelButton.SetFont(smallFont.GetHandle());
    okButton.SetFont(smallFont.GetHandle());
}

// Not shared icons (those may not be destroyed), at this resolution's sizes.
void DialogLogLevel::LoadIcons()
{
    if (iconId == 0) {
        return;
    }
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
    const int large = MulDiv(LargeIconPixels, dpi, USER_DEFAULT_SCREEN_DPI);
    const int small = MulDiv(SmallIconPixels, dpi, USER_DEFAULT_SCREEN_DPI);
    ReplaceIcon(hwnd, ICON_BIG, icon,
                static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, large, large, 0)));
    ReplaceIcon(hwnd, ICON_SMALL, smallIcon,
                static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, small, small, 0)));
}

INT_PTR DialogLogLevel::OnInitDialog()
{
    LoadIcons();

    titleText.Attach(GetDlgItem(hwnd, TitleId));
    titleText.SetColor(DarkBlue);
    descriptionText.Attach(GetDlgItem(hwnd, DescriptionId));
    promptText.Attach(GetDlgItem(hwnd, PromptId));

    CheckRadioButton(hwnd, NormalRadioId, FullRadioId, full ? FullRadioId : NormalRadioId);

    cancelButton.Attach(GetDlgItem(hwnd, IDCANCEL));
    cancelButton.SetColors(DarkBlue, LighterBlue, White);
    cancelButton.SetFilled(false);
    okButton.Attach(GetDlgItem(hwnd, IDOK));
    okButton.SetColors(DarkBlue, LighterBlue, White);

    // Fonts made before the window existed are for the system resolution, which need not be the
    // resolution of the monitor the dialog opens on.
    if (smallFont.dpi != dpi || largeFont.dpi != dpi) {
        MakeFonts(dpi);
    } else {
        HandOutFonts();
    }
    return Dialog::OnInitDialog();
}

INT_PTR DialogLogLevel::OnCommand(WORD id, WORD code, HWND control)
{
    if (id == IDOK) {
        full = IsDlgButtonChecked(hwnd, NormalRadioId) == BST_CHECKED ? FALSE : TRUE;
    }
    return Dialog::OnCommand(id, code, control);
}

INT_PTR DialogLogLevel::OnDpiChanged(int newDpi, const RECT& suggested)
{
    const INT_PTR result = Dialog::OnDpiChanged(newDpi, suggested);
    titleText.SetDpi(dpi);
    descriptionText.SetDpi(dpi);
    promptText.SetDpi(dpi);
    cancelButton.SetDpi(dpi);
    okButton.SetDpi(dpi);
    MakeFonts(dpi);
    LoadIcons();
    return result;
}
