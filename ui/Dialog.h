#pragma once

#include "Wnd.h"

namespace VxUI {

// Runs a dialog template from the module's resources and routes the dialog's messages to the
// virtual hooks below. The object is bound to its window from WM_INITDIALOG to WM_DESTROY.
class Dialog : public Wnd {
public:
    Dialog() = default;
    // Destroys a window that is still bound (a modeless dialog).
    ~Dialog() override;

    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    virtual INT_PTR DoModal(HINSTANCE instance, WORD templateId, HWND parent);
    virtual HWND Create(HINSTANCE instance, WORD templateId, HWND parent);
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnInitDialog();
    // Ends the dialog for IDOK and IDCANCEL whatever the notification code.
    virtual INT_PTR OnCommand(WORD id, WORD code, HWND control);
    virtual INT_PTR OnDrawItem(WPARAM wParam, LPARAM lParam);
    // The white stock brush, so the dialog and its native children paint on white.
    virtual INT_PTR OnCtlColor(WPARAM wParam, LPARAM lParam);
    virtual void OnDestroy();

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace VxUI
