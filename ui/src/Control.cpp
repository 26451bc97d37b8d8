#include <VxUI/Control.h>

#include <VxUI/Font.h>

#include "SubclassChain.h"

namespace VxUI {

Control* Control::Holder(HWND window)
{
    DWORD_PTR control = 0;
    const SubclassChain& chain = SubclassChain::Get();
    if (chain.get == nullptr || !chain.get(window, SubclassProc, SubclassId, &control)) {
        return nullptr;
    }
    return reinterpret_cast<Control*>(control);
}

Control::~Control()
{
    if (hwnd != nullptr) {
        Unbind();
    }
}

void Control::Attach(HWND window)
{
    // The chain itself may accept another thread's window.
    if (window == nullptr || SubclassChain::Get().set == nullptr ||
        GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
        return;
    }
    if (hwnd != nullptr) {
        Unbind();
    }
    Control* const holder = Holder(window);
    if (holder != nullptr) {
        holder->Unbind();
    }
    // A chain that refuses the window leaves the control unbound.
    if (!SubclassChain::Get().set(window, SubclassProc, SubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        return;
    }
    hwnd = window;
    state = 0;
    dpi = WindowDpi(window);
    const HDC windowDC = GetDC(window);
    memoryDC = CreateCompatibleDC(windowDC);
    ReleaseDC(window, windowDC);
    const SIZE size = GetClientSize();
    ReplaceBackBitmap(size.cx, size.cy);
}

// Compatible with the window's DC, not the memory DC, so that it has the screen's colour format.
void Control::ReplaceBackBitmap(int width, int height)
{
    const HDC windowDC = GetDC(hwnd);
    const HBITMAP fresh = CreateCompatibleBitmap(windowDC, width, height);
    ReleaseDC(hwnd, windowDC);
    // A size the system refuses keeps the old buffer, so that painting goes on.
    if (fresh == nullptr) {
        return;
    }
    SelectObject(memoryDC, fresh);
    if (backBitmap != nullptr) {
        DeleteObject(backBitmap);
    }
    backBitmap = fresh;
}

void Control::Unbind()
{
    DeleteDC(memoryDC);
    memoryDC = nullptr;
    DeleteObject(backBitmap);
    backBitmap = nullptr;
    // Only the toolkit's link goes: a subclass added later stays in the chain.
    SubclassChain::Get().remove(hwnd, SubclassProc, SubclassId);
    hwnd = nullptr;
    state = 0;
}

// The native button captures the mouse on a space-bar press; its release would come with the
// messages the subclass keeps from it.
void Control::ReleaseHeldCapture() const
{
    if (hwnd != nullptr && GetCapture() == hwnd) {
        ReleaseCapture();
    }
}

void Control::SetDpi(int newDpi)
{
    dpi = newDpi;
    if (hwnd != nullptr) {
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

void Control::OnClick() {}

void Control::OnStateChanged(std::uint32_t) {}

LRESULT Control::Notify(WORD code)
{
    return SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code),
                        reinterpret_cast<LPARAM>(hwnd));
}

LRESULT Control::OnPaint()
{
    const HWND window = hwnd;
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) {
        // Otherwise the update region stays and WM_PAINT comes straight back.
        ValidateRect(window, nullptr);
        return 1;
    }
    // The paint DC goes with a window that ended meanwhile.
    if (Present(dc) || IsWindow(window)) {
        EndPaint(window, &paint);
    }
    return 0;
}

// The whole client area through the back buffer onto the DC. False when the window was unbound
// during the drawing, as a Paint that runs a message loop (a message box) may see it end, and the
// back buffer went with it.
bool Control::Present(HDC dc)
{
    const HWND window = hwnd;
    RECT client;
    if (!GetClientRect(window, &client)) {
        return true;
    }
    Paint(memoryDC, client);
    if (hwnd != window) {
        return false;
    }
    BitBlt(dc, client.left, client.top, client.right - client.left, client.bottom - client.top, memoryDC, 0, 0,
           SRCCOPY);
    return true;
}

// The user asked for focus cues (the Alt key) or the dialog manager hid them: the cue follows
// the new state at once, as at the next focus change.
void Control::FollowUiState()
{
    OnFocusChanged(GetFocus() == hwnd);
    // The native control may have drawn its own cues straight onto the window.
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT Control::OnFocusChanged(bool gained)
{
    bool show = false;
    if (gained) {
        show = (SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
    }
    if (show != ((state & focusBit) != 0)) {
        state = show ? (state | focusBit) : (state & ~focusBit);
        OnStateChanged(focusBit);
    }
    return 0;
}

LRESULT Control::OnLButtonDown(WPARAM, LPARAM)
{
    state |= pressedBit;
    OnStateChanged(pressedBit);
    return 0;
}

LRESULT Control::OnLButtonUp(WPARAM, LPARAM)
{
    if (state & pressedBit) {
        state &= ~pressedBit;
        OnStateChanged(pressedBit);
        OnClick();
    }
    return 0;
}

namespace {

// A request can be answered with success and no tracking, when the pointer has already left by the
// time it is made (seen under Wine): hover then waits for a leave that never comes.
bool LeaveIsTracked(HWND window)
{
    TRACKMOUSEEVENT query{};
    query.cbSize = sizeof(query);
    query.dwFlags = TME_QUERY;
    return TrackMouseEvent(&query) && query.hwndTrack == window && (query.dwFlags & TME_LEAVE) != 0;
}

}  // namespace

LRESULT Control::OnMouseMove(WPARAM, LPARAM)
{
    if (state & hoverBit) {
        return 0;
    }
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = hwnd;
    track.dwHoverTime = HOVER_DEFAULT;
    if (TrackMouseEvent(&track) && LeaveIsTracked(hwnd)) {
        state |= hoverBit;
        OnStateChanged(hoverBit);
    }
    return 0;
}

LRESULT Control::OnMouseLeave()
{
    const std::uint32_t bits = pressedBit | hoverBit;
    state &= ~bits;
    OnStateChanged(bits);
    return 0;
}

void Control::OnDestroy() {}

LRESULT Control::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        return OnFocusChanged(true);
    case WM_KILLFOCUS:
        ReleaseHeldCapture();
        return OnFocusChanged(false);
    // The native control draws itself straight onto the window for these; the flat look goes
    // back over it at once.
    case WM_ENABLE:
    case WM_SETTEXT:
        return PassOnAndRepaint(window, message, wParam, lParam);
    case WM_SETFONT:
        InvalidateRect(hwnd, nullptr, TRUE);
        break;
    case WM_PAINT:
        return OnPaint();
    // Snapshots and window animations; WM_PRINT comes here through the default procedure.
    case WM_PRINTCLIENT:
        Present(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, lParam);
    // The native button would take a double-click as a press of its own and capture the mouse.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return OnLButtonDown(wParam, lParam);
    case WM_LBUTTONUP:
        ReleaseHeldCapture();
        return OnLButtonUp(wParam, lParam);
    case WM_MOUSELEAVE:
        return OnMouseLeave();
    case WM_UPDATEUISTATE: {
        const LRESULT result = PassOn(window, message, wParam, lParam);
        FollowUiState();
        return result;
    }
    default:
        break;
    }
    return PassOn(window, message, wParam, lParam);
}

LRESULT Control::PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SubclassChain::Get().next(window, message, wParam, lParam);
}

LRESULT Control::PassOnAndRepaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = PassOn(window, message, wParam, lParam);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return result;
}

LRESULT CALLBACK Control::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR reference)
{
    auto* const control = reinterpret_cast<Control*>(reference);
    if (message == WM_DESTROY) {
        control->OnDestroy();
        control->Unbind();
        return PassOn(window, message, wParam, lParam);
    }
    if (message == WM_SIZE) {
        control->ReplaceBackBitmap(LOWORD(lParam), HIWORD(lParam));
    }
    return control->WindowProc(window, message, wParam, lParam);
}

}  // namespace VxUI
