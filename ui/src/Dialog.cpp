#include <VxUI/Dialog.h>

#include <VxUI/Font.h>

#include <algorithm>

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

RECT InParent(HWND child)
{
    RECT rectangle{};
    GetWindowRect(child, &rectangle);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rectangle), 2);
    return rectangle;
}

bool IsClass(HWND window, const wchar_t* name)
{
    wchar_t found[16] = {};
    return GetClassNameW(window, found, 16) > 0 && lstrcmpiW(found, name) == 0;
}

// Integral-height list boxes and combo boxes choose their own height, also when their font changes.
bool SetsOwnHeight(HWND child)
{
    return IsClass(child, L"ComboBox") ||
           (IsClass(child, L"ListBox") && (GetWindowLongW(child, GWL_STYLE) & LBS_NOINTEGRALHEIGHT) == 0);
}

// A drop-down combo box's window is its selection field only, but the height it is given is that of
// the field and its dropped list together. Wine answers the query with 0 (CB_OKAY), Windows with
// non-zero, so the rectangle itself tells whether there was an answer.
RECT Extent(HWND child)
{
    RECT rectangle = InParent(child);
    RECT dropped{};
    if (IsClass(child, L"ComboBox") && (GetWindowLongW(child, GWL_STYLE) & CBS_DROPDOWN) != 0) {
        SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    }
    if (dropped.bottom > dropped.top) {
        rectangle.bottom = rectangle.top + dropped.bottom - dropped.top;
    }
    return rectangle;
}

bool StandsAsPlaced(HWND child, const RECT& placed, const RECT& now)
{
    return placed.left == now.left && placed.top == now.top && placed.right == now.right &&
           (placed.bottom == now.bottom || SetsOwnHeight(child));
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

INT_PTR Dialog::OnCommand(WORD id, WORD code, HWND)
{
    if ((id == IDOK || id == IDCANCEL) && (code == BN_CLICKED || code == 1)) {
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
    Rebase();
    dpi = newDpi;
    // The rectangle comes in screen coordinates, also for a nested dialog.
    RECT window = suggested;
    if (GetStyle() & WS_CHILD) {
        MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&window), 2);
    }
    SetWindowPos(hwnd, nullptr, window.left, window.top, window.right - window.left, window.bottom - window.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceChildren();
    // Only top-level windows are told of a new resolution.
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetWindowLongPtrW(child, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(&DialogProc)) {
            GetWindowRect(child, &window);
            SendMessageW(child, WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&window));
        }
    }
    return TRUE;
}

// The dialog manager lays the template out for the system resolution, and a window that opens on
// a monitor of another resolution is sent no WM_DPICHANGED.
void Dialog::RecordLayout()
{
    layout.clear();
    dpi = ScreenDpi();
    Rebase();
    const int windowDpi = WindowDpi(hwnd);
    if (windowDpi == dpi) {
        return;
    }
    RECT window{};
    GetWindowRect(hwnd, &window);
    const int width = MulDiv(window.right - window.left, windowDpi, dpi);
    const int height = MulDiv(window.bottom - window.top, windowDpi, dpi);
    dpi = windowDpi;
    SetWindowPos(hwnd, nullptr, (window.left + window.right - width) / 2, (window.top + window.bottom - height) / 2,
                 width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceChildren();
}

// A child the dialog moved since the toolkit placed it, or created itself, keeps what the dialog
// did: it is scaled from where it stands now. Children that are gone are forgotten.
void Dialog::Rebase()
{
    std::vector<Placement> current;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT now = InParent(child);
        const auto record = std::find_if(layout.begin(), layout.end(), [&](const Placement& placement) {
            return placement.child == child && StandsAsPlaced(child, placement.placed, now);
        });
        current.push_back(record != layout.end() ? *record : Placement{child, Extent(child), dpi, now});
    }
    layout.swap(current);
}

void Dialog::PlaceChildren()
{
    for (Placement& placement : layout) {
        const RECT& base = placement.base;
        const int left = MulDiv(base.left, dpi, placement.baseDpi);
        const int top = MulDiv(base.top, dpi, placement.baseDpi);
        const int right = MulDiv(base.right, dpi, placement.baseDpi);
        const int bottom = MulDiv(base.bottom, dpi, placement.baseDpi);
        SetWindowPos(placement.child, nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
        placement.placed = InParent(placement.child);
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
