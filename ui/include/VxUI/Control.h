#pragma once

#include "Wnd.h"

#include <cstdint>

namespace VxUI {

// Takes over an existing child window by subclassing it and paints it through a client-sized back
// buffer. Tracks focus, hover and press in `state`, and turns press-and-release into OnClick. The
// subclass is one link of the window's subclass chain, so other subclasses above or below it keep
// working, and every binding starts with clear state.
class Control : public Wnd {
public:
    // A control destroyed while its window still exists unbinds itself, so that the window never
    // calls into a destroyed object.
    ~Control() override;

    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Binds to the window, unbinding first from any window this control or another control holds.
    // A null window changes nothing; so do a window of another thread and any window when comctl32
    // cannot be loaded. A control is bound, used and destroyed on its window's thread.
    virtual void Attach(HWND window);
    virtual void OnClick();
    virtual void OnStateChanged(std::uint32_t changed);
    // Must cover every pixel of the rectangle: nothing is erased beforehand. WM_PAINT, WM_PRINT
    // and WM_PRINTCLIENT all draw through it.
    virtual void Paint(HDC dc, RECT& rectangle) = 0;
    virtual LRESULT Notify(WORD code);
    virtual LRESULT OnPaint();
    virtual LRESULT OnFocusChanged(bool gained);
    virtual LRESULT OnLButtonDown(WPARAM keys, LPARAM position);
    virtual LRESULT OnLButtonUp(WPARAM keys, LPARAM position);
    virtual LRESULT OnMouseMove(WPARAM keys, LPARAM position);
    virtual LRESULT OnMouseLeave();
    virtual void OnDestroy();
    virtual LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The chain's reference data is the control.
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR control);
    // The id of the toolkit's link in a window's subclass chain; a window has at most one.
    static constexpr UINT_PTR SubclassId = 0x5855;
    // The control bound to the window, or null.
    static Control* Holder(HWND window);

    // The resolution to draw for; the owner of a per-monitor-aware window passes on its changes.
    void SetDpi(int newDpi);

    std::uint32_t focusBit = 1;
    std::uint32_t hoverBit = 2;
    std::uint32_t pressedBit = 4;
    std::uint32_t state = 0;
    HDC memoryDC = nullptr;
    HBITMAP backBitmap = nullptr;
    int dpi = USER_DEFAULT_SCREEN_DPI;

protected:
    Control() = default;

    // Hands a message on to the procedures below the toolkit's link, the native control's last.
    static LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The same, then the control paints over what the native one drew straight onto the window.
    static LRESULT PassOnAndRepaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool Present(HDC dc);
    void ReplaceBackBitmap(int width, int height);
    void Unbind();
    void ReleaseHeldCapture() const;
    void FollowUiState();
};

}  // namespace VxUI
