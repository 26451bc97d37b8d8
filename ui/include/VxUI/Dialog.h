#pragma once

#include "Wnd.h"

#include <vector>

namespace VxUI {

// Runs a dialog template from the module's resources and routes the dialog's messages to the
// virtual hooks below. The object is bound to its window from WM_INITDIALOG to WM_DESTROY, to one
// window at a time, and is used on that window's thread only.
//
// A modeless window is destroyed by the base's destructor if it still exists, but by then the
// derived parts are gone and their hooks can no longer be reached: a derived dialog must destroy
// a live modeless window before its own destructor ends.
class Dialog : public Wnd {
public:
    Dialog() = default;
    ~Dialog() override;

    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // An object that is bound is refused: DoModal returns -1, Create NULL, and nothing changes.
    virtual INT_PTR DoModal(HINSTANCE instance, WORD templateId, HWND parent);
    virtual HWND Create(HINSTANCE instance, WORD templateId, HWND parent);
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Called with `dpi` already the window's resolution and the layout scaled to it.
    virtual INT_PTR OnInitDialog();
    // Ends the dialog for IDOK and IDCANCEL sent as a click (BN_CLICKED, 0: also Enter, Esc, the
    // close box and a menu) or by an accelerator (1); any other code, such as a BS_NOTIFY button's
    // BN_SETFOCUS, leaves it open.
    virtual INT_PTR OnCommand(WORD id, WORD code, HWND control);
    virtual INT_PTR OnDrawItem(WPARAM wParam, LPARAM lParam);
    // The white stock brush, so the dialog and its native children paint on white; in high contrast
    // the window colours, text included.
    virtual INT_PTR OnCtlColor(WPARAM wParam, LPARAM lParam);
    // At WM_DESTROY, with the object still bound; it is unbound right after. Never delete the
    // object here: the toolkit goes on using it until OnFinalMessage.
    virtual void OnDestroy();
    // Called once per window, at WM_NCDESTROY, after the object was unbound: `hwnd` is NULL and
    // nothing of the window is kept in the object. The toolkit never touches the object after
    // this call, so a dialog may delete itself here. Such a dialog must be ended (End or
    // DestroyWindow), never deleted while its window is open: its destructor would destroy the
    // window and this delete would run a second time.
    virtual void OnFinalMessage();
    // Takes the suggested window rectangle (in screen coordinates) and places the children for
    // the new resolution; a child the dialog moved or created is scaled from where it stands, and
    // a nested dialog bound to this class is passed the change. A derived dialog rebuilds its
    // fonts and images after calling this.
    virtual INT_PTR OnDpiChanged(int newDpi, const RECT& suggested);

    // Ends the dialog as it runs: a modal run returns `result` from DoModal, a modeless window is
    // destroyed. Nothing may touch the object afterwards if it deletes itself at its end.
    void End(INT_PTR result);

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The resolution the dialog is laid out and drawn for.
    int dpi = USER_DEFAULT_SCREEN_DPI;

private:
    // A child is scaled from `base`, its rectangle at `baseDpi`; `placed` is what it read back
    // after the toolkit last placed it (list and combo boxes adjust their own height).
    struct Placement {
        HWND child;
        RECT base;
        int baseDpi;
        RECT placed;
    };

    void RecordLayout();
    void Rebase();
    void Recolour() const;
    void PlaceChildren();

    // Scaling from the bases rather than the current rectangles makes a return to a resolution
    // restore each child exactly.
    std::vector<Placement> layout;
    bool modal = false;
};

}  // namespace VxUI
