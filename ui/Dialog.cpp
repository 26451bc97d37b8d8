#include "Dialog.h"

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
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

HWND Dialog::Create(HINSTANCE instance, WORD templateId, HWND parent)
{
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
        EndDialog(hwnd, id);
        return 0;
    }
    return 1;
}

INT_PTR Dialog::OnDrawItem(WPARAM, LPARAM)
{
    return 0;
}

INT_PTR Dialog::OnCtlColor(WPARAM, LPARAM)
{
    return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
}

void Dialog::OnDestroy() {}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->hwnd = window;
        StoreObject(window, dialog);
        return dialog->OnInitDialog();
    }

    Dialog* dialog = LoadObject(window);
    if (dialog == nullptr) {
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
    case WM_DESTROY:
        dialog->OnDestroy();
        StoreObject(window, nullptr);
        dialog->hwnd = nullptr;
        return TRUE;
    default:
        return dialog->OnMessage(message, wParam, lParam);
    }
}

}  // namespace VxUI
