#pragma once

#include "Wnd.h"

#include <vector>

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
    // Called with `dpi` already the window's resolution and the layout scaled to it.
    virtual INT_PTR OnInitDialog();
    // Ends the dialog for IDOK and IDCANCEL whatever the notification code.
    virtual INT_PTR OnCommand(WORD id, WORD code, HWND control);
    virtual INT_PTR OnDrawItem(WPARAM wParam, LPARAM lParam);
    // The white stock brush, so the dialog and its native children paint on white; in high contrast
    // the window colours, text included.
    virtual INT_PTR OnCtlColor(WPARAM wParam, LPARAM lParam);
    virtual void OnDestroy();
    // Takes the suggested window rectangle and places the children for the new resolution. A
    // derived dialog rebuilds its fonts and images after calling this.
    virtual INT_PTR OnDpiChanged(int newDpi, const RECT& suggested);

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The resolution the dialog is laid out and drawn for.
    int dpi = USER_DEFAULT_SCREEN_DPI;

private:
    struct Placement {
        HWND child;
        RECT rectangle;
    };

    void RecordLayout();
    void Recolour() const;
    void PlaceChildren() const;

    // The children's rectangles as the template made them, at `layoutDpi`. Every placement scales
    // these, never the current ones, so that a return to a resolution restores each exactly.
    std::vector<Placement> layout;
    int layoutDpi = USER_DEFAULT_SCREEN_DPI;
};

}  // namespace VxUI
