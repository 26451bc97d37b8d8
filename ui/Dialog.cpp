#include "Dialog.h"

#include "Font.h"

namespace VxUI {

namespace {

// The object travels in GWL_USERDATA; on 64-bit Windows the slot holds a whole pointer.
void StoreObject(HWND window, Dialog* dialog)
{
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dialog));
}

Dialog* LoadObject(HWND window)
{
    return reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

Dialog::~Dialog()
{
    if (hwnd != nullptr) {
        DestroyWindow(hwnd);
    }
}

INT_PTR Dialog::DoModal(HINSTANCE instance, WORD templateId, HWND parent)
{
    if (hwnd != nullptr) {
        return -1;
    }
    modal = true;
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

HWND Dialog::Create(HINSTANCE instance, WORD templateId, HWND parent)
{
    if (hwnd != nullptr) {
        return nullptr;
    }
    modal = false;
    return CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::OnMessage(UINT, WPARAM, LPARAM)
{
    return 0;
}

INT_PTR Dialog::OnInitDialog()
{
    return TRUE;
}

INT_PTR Dialog::OnCommand(WORD id, WORD, HWND)
{
    if (id == IDOK || id == IDCANCEL) {
        End(id);
        return 0;
    }
    return 1;
}

// EndDialog only hides a modeless window.
void Dialog::End(INT_PTR result)
{
    if (modal) {
        EndDialog(hwnd, result);
    } else {
        DestroyWindow(hwnd);
    }
}

INT_PTR Dialog::OnDrawItem(WPARAM, LPARAM)
{
    return 0;
}

INT_PTR Dialog::OnCtlColor(WPARAM wParam, LPARAM)
{
    if (IsHighContrast()) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    }
    return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
}

// Only top-level windows hear of new colours or of high contrast going on or off; every child
// paints again, and the native ones are told as well.
void Dialog::Recolour() const
{
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    }
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Dialog::OnDestroy() {}

void Dialog::OnFinalMessage() {}

INT_PTR Dialog::OnDpiChanged(int newDpi, const RECT& suggested)
{
    dpi = newDpi;
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceChildren();
    return TRUE;
}

void Dialog::RecordLayout()
{
    layout.clear();
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rectangle{};
        GetWindowRect(child, &rectangle);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rectangle), 2);
        layout.push_back(Placement{child, rectangle});
    }
    // The dialog manager lays the template out for the system resolution, and a window that opens
    // on a monitor of another resolution is sent no WM_DPICHANGED.
    layoutDpi = ScreenDpi();
    dpi = WindowDpi(hwnd);
    if (dpi == layoutDpi) {
        return;
    }
    RECT window{};
    GetWindowRect(hwnd, &window);
    const int width = MulDiv(window.right - window.left, dpi, layoutDpi);
    const int height = MulDiv(window.bottom - window.top, dpi, layoutDpi);
    SetWindowPos(hwnd, nullptr, (window.left + window.right - width) / 2, (window.top + window.bottom - height) / 2,
                 width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceChildren();
}

void Dialog::PlaceChildren() const
{
    for (const Placement& placement : layout) {
        const RECT& original = placement.rectangle;
        const int left = MulDiv(original.left, dpi, layoutDpi);
        const int top = MulDiv(original.top, dpi, layoutDpi);
        const int right = MulDiv(original.right, dpi, layoutDpi);
        const int bottom = MulDiv(original.bottom, dpi, layoutDpi);
        SetWindowPos(placement.child, nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->hwnd = window;
        StoreObject(window, dialog);
        dialog->RecordLayout();
        return dialog->OnInitDialog();
    }

    Dialog* dialog = LoadObject(window);
    if (dialog == nullptr) {
        return 0;
    }
    if (message == WM_NCDESTROY) {
        StoreObject(window, nullptr);
        // Unless a second window took the object over meanwhile.
        if (dialog->hwnd == nullptr) {
            dialog->OnFinalMessage();
        }
        return 0;
    }
    // Unbound since WM_DESTROY: the children's ends reach no hook.
    if (dialog->hwnd != window) {
        return 0;
    }
    switch (message) {
    case WM_COMMAND:
        return dialog->OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
        return dialog->OnDrawItem(wParam, lParam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return dialog->OnCtlColor(wParam, lParam);
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        dialog->Recolour();
        return dialog->OnMessage(message, wParam, lParam);
    case WM_DPICHANGED:
        return dialog->OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    case WM_DESTROY:
        dialog->OnDestroy();
        dialog->hwnd = nullptr;
        dialog->layout.clear();
        return TRUE;
    default:
        return dialog->OnMessage(message, wParam, lParam);
    }
}

}  // namespace VxUI
