#include <VxUI/Button.h>
#include <VxUI/Dialog.h>
#include <VxUI/TextBlock.h>

#include "Canvas.h"
#include "Host.h"
#include "ImportHook.h"
#include "Wait.h"
#include "res/DialogTestIds.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

namespace {

// A button that records its state changes and clicks.
class RecordingButton : public VxUI::Button {
public:
    void OnStateChanged(std::uint32_t changed) override
    {
        changes.push_back(changed);
        Button::OnStateChanged(changed);
    }
    void OnClick() override
    {
        ++clicks;
        Button::OnClick();
    }
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(message);
        return Button::WindowProc(window, message, wParam, lParam);
    }
    bool Received(UINT message) const
    {
        return std::find(messages.begin(), messages.end(), message) != messages.end();
    }
    std::vector<std::uint32_t> changes;
    std::vector<UINT> messages;
    int clicks = 0;
};

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

// The position travels in each event: a press after SetCursorPos may come before Wine has
// moved the pointer. Real input reaches the queue a little later than SendInput returns, so the
// event is awaited: the pointer at the point, and a press or release dispatched.
void MouseAt(POINT screen, DWORD flags)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = (screen.x * 65536 + width - 1) / width;
    input.mi.dy = (screen.y * 65536 + height - 1) / height;
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
    SendInput(1, &input, sizeof(input));
    const UINT button = (flags & MOUSEEVENTF_LEFTDOWN) != 0 ? WM_LBUTTONDOWN
                        : (flags & MOUSEEVENTF_LEFTUP) != 0 ? WM_LBUTTONUP
                                                            : 0;
    bool arrived = button == 0;
    const bool done = wait::Until([&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            arrived = arrived || message.message == button ||
                      (button == WM_LBUTTONDOWN && message.message == WM_LBUTTONDBLCLK);
            DispatchMessageW(&message);
        }
        POINT now{};
        return arrived && GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
    });
    EXPECT_TRUE(done) << "mouse event " << flags << " at " << screen.x << "," << screen.y << " never arrived";
}

// The pointer moved onto the window, as a hand would: the control can only track a leave from a
// window the pointer is over.
void MouseOver(HWND window)
{
    POINT point{5, 5};
    ClientToScreen(window, &point);
    MouseAt(point, 0);
}

// A press and release of the left button at a point of the window's client area.
void ClickAt(HWND window, POINT point)
{
    ClientToScreen(window, &point);
    MouseAt(point, 0);
    MouseAt(point, MOUSEEVENTF_LEFTDOWN);
    MouseAt(point, MOUSEEVENTF_LEFTUP);
}

class ControlBehaviour : public ::testing::Test {
protected:
    void SetUp() override
    {
        child = host.Child(L"BUTTON", L"Press", BS_PUSHBUTTON);
        ASSERT_NE(nullptr, child);
        originalProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(child, GWLP_WNDPROC));
        button.Attach(child);
        button.changes.clear();
    }

    Host host;
    HWND child = nullptr;
    WNDPROC originalProc = nullptr;
    RecordingButton button;
};

TEST_F(ControlBehaviour, AttachSubclassesAndBuildsBackBuffer)
{
    EXPECT_EQ(child, button.hwnd);
    EXPECT_EQ(&button, VxUI::Control::Holder(child));
    ASSERT_NE(nullptr, button.memoryDC);
    ASSERT_NE(nullptr, button.backBitmap);
    BITMAP bitmap{};
    GetObjectW(button.backBitmap, sizeof(bitmap), &bitmap);
    EXPECT_EQ(120, bitmap.bmWidth);
    EXPECT_EQ(30, bitmap.bmHeight);
    EXPECT_EQ(button.backBitmap, GetCurrentObject(button.memoryDC, OBJ_BITMAP));
}

TEST_F(ControlBehaviour, SizeRebuildsBackBufferOrKeepsItWhenRefused)
{
    const HBITMAP old = button.backBitmap;
    SetWindowPos(child, nullptr, 0, 0, 200, 50, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_NE(old, button.backBitmap);
    EXPECT_EQ(0u, GetObjectType(old)) << "the old bitmap is deleted";
    BITMAP bitmap{};
    GetObjectW(button.backBitmap, sizeof(bitmap), &bitmap);
    EXPECT_EQ(200, bitmap.bmWidth);
    EXPECT_EQ(50, bitmap.bmHeight);
    EXPECT_EQ(button.backBitmap, GetCurrentObject(button.memoryDC, OBJ_BITMAP));

    // A size CreateCompatibleBitmap refuses.
    const HBITMAP kept = button.backBitmap;
    SendMessageW(child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(0xFFFF, 0xFFFF));
    EXPECT_EQ(kept, button.backBitmap);
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(kept));
    EXPECT_EQ(kept, GetCurrentObject(button.memoryDC, OBJ_BITMAP));
    ShowWindow(host.window, SW_SHOWNA);
    InvalidateRect(child, nullptr, FALSE);
    UpdateWindow(child);
    Canvas screen(200, 50);
    screen.CopyWindow(child);
    EXPECT_EQ(RGB(0, 0, 0), screen.Pixel(100, 2)) << "still painted: the default accent fill";
    EXPECT_EQ(RGB(255, 255, 255), screen.Pixel(0, 0)) << "the corner keeps the background";
}

TEST_F(ControlBehaviour, DestroyRestoresProcedureAndFreesBuffer)
{
    const HDC memoryDC = button.memoryDC;
    const HBITMAP bitmap = button.backBitmap;
    SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageW(child, WM_DESTROY, 0, 0);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(originalProc), GetWindowLongPtrW(child, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, VxUI::Control::Holder(child));
    EXPECT_EQ(0u, button.state) << "the press went with the binding";
    EXPECT_EQ(nullptr, button.hwnd);
    EXPECT_EQ(nullptr, button.memoryDC);
    EXPECT_EQ(nullptr, button.backBitmap);
    EXPECT_EQ(0u, GetObjectType(memoryDC));
    EXPECT_EQ(0u, GetObjectType(bitmap));
}

TEST_F(ControlBehaviour, AttachAgainUnbindsFirst)
{
    const HDC firstDC = button.memoryDC;
    const HBITMAP firstBitmap = button.backBitmap;
    button.Attach(nullptr);
    EXPECT_EQ(child, button.hwnd) << "a null window changes nothing";
    EXPECT_EQ(firstDC, button.memoryDC);
    EXPECT_EQ(firstBitmap, button.backBitmap);
    VxUI::TextBlock stranger;
    std::thread([&] { stranger.Attach(child); }).join();
    EXPECT_EQ(nullptr, stranger.hwnd) << "nor does a call from another thread";
    EXPECT_EQ(&button, VxUI::Control::Holder(child));
    EXPECT_EQ(firstDC, button.memoryDC);

    button.Attach(child);
    EXPECT_TRUE(GetObjectType(firstDC) == 0 || firstDC == button.memoryDC) << "the first buffer is freed";
    EXPECT_TRUE(GetObjectType(firstBitmap) == 0 || firstBitmap == button.backBitmap);
    EXPECT_EQ(L"Press", button.GetText()) << "messages still reach the native control";

    // A press and a hover on the first window, neither ended there.
    ShowWindow(host.window, SW_SHOWNA);
    MouseOver(child);
    SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ASSERT_EQ(button.pressedBit | button.hoverBit, button.state) << "pressed and hovered on the first window";
    const HWND other = host.Child(L"BUTTON", L"Other", BS_PUSHBUTTON);
    const HDC secondDC = button.memoryDC;
    button.Attach(other);
    EXPECT_EQ(other, button.hwnd);
    EXPECT_EQ(0u, button.state) << "nothing carries to the second window";
    SetCursorPos(0, 0);
    SendMessageW(other, WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(host.commands.empty()) << "a release without a press on it is no click";
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(originalProc), GetWindowLongPtrW(child, GWLP_WNDPROC)) << "the first window is given back";
    EXPECT_EQ(nullptr, VxUI::Control::Holder(child));
    EXPECT_TRUE(GetObjectType(secondDC) == 0 || secondDC == button.memoryDC);

    // Another control taking the window over.
    VxUI::TextBlock text;
    text.Attach(other);
    EXPECT_EQ(nullptr, button.hwnd) << "the control that held it is unbound";
    EXPECT_EQ(nullptr, button.memoryDC);
    EXPECT_EQ(L"Other", text.GetText());
    DestroyWindow(other);
}

// Another link of the window's subclass chain, as a tooltip with TTF_SUBCLASS adds one.
LRESULT CALLBACK Foreign(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR ended)
{
    *reinterpret_cast<UINT_PTR*>(ended) |= message == WM_NCDESTROY ? id : 0;
    return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(ControlBehaviour, OtherSubclassesKeepTheirPlaceInTheChain)
{
    UINT_PTR ended = 0;
    SetWindowSubclass(child, Foreign, 1, reinterpret_cast<DWORD_PTR>(&ended));
    {
        VxUI::TextBlock text;
        text.Attach(child);
        EXPECT_EQ(nullptr, button.hwnd) << "the control beneath the other subclass is found and unbound";
        EXPECT_EQ(L"Press", text.GetText()) << "messages go down the chain and back";
        SetWindowSubclass(child, Foreign, 2, reinterpret_cast<DWORD_PTR>(&ended));
    }
    DestroyWindow(child);
    EXPECT_EQ(3u, ended) << "both saw the end: unbinding left the one added after it in place";
}

TEST(ControlLifetime, AttachToNullAllocatesNothing)
{
    VxUI::TextBlock text;
    text.Attach(nullptr);
    EXPECT_EQ(nullptr, text.hwnd);
    EXPECT_EQ(nullptr, text.memoryDC);
    EXPECT_EQ(nullptr, text.backBitmap);
}

TEST_F(ControlBehaviour, PressAndReleaseSendsOneClick)
{
    SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.state & button.pressedBit);
    EXPECT_TRUE(host.commands.empty()) << "pressing alone sends nothing";
    SendMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(button.state & button.pressedBit);
    ASSERT_EQ(1u, host.commands.size());
    EXPECT_EQ(MAKEWPARAM(ChildId, BN_CLICKED), host.commands[0].first);
    EXPECT_EQ(reinterpret_cast<LPARAM>(child), host.commands[0].second);
    const std::vector<std::uint32_t> expected{button.pressedBit, button.pressedBit};
    EXPECT_EQ(expected, button.changes);
    EXPECT_EQ(1, button.clicks);
}

TEST_F(ControlBehaviour, LeaveBetweenPressAndReleaseCancelsClick)
{
    SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageW(child, WM_MOUSELEAVE, 0, 0);
    SendMessageW(child, WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(0, button.clicks);
    EXPECT_EQ(0u, button.state);
}

TEST_F(ControlBehaviour, ReleaseWithoutPressDoesNothing)
{
    SendMessageW(child, WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_TRUE(button.changes.empty());
}

TEST_F(ControlBehaviour, MouseLeaveReportsBothBitsEvenWhenClear)
{
    SendMessageW(child, WM_MOUSELEAVE, 0, 0);
    const std::vector<std::uint32_t> expected{button.pressedBit | button.hoverBit};
    EXPECT_EQ(expected, button.changes);
}

TEST_F(ControlBehaviour, HoverIsTrackedOnce)
{
    ShowWindow(host.window, SW_SHOWNA);
    MouseOver(child);
    EXPECT_TRUE(button.state & button.hoverBit);
    SendMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    const std::vector<std::uint32_t> expected{button.hoverBit};
    EXPECT_EQ(expected, button.changes) << "a second move while hovering changes nothing";
    SetCursorPos(0, 0);
}

TEST_F(ControlBehaviour, FocusBitFollowsFocusMessages)
{
    SendMessageW(child, WM_SETFOCUS, 0, 0);
    EXPECT_TRUE(button.state & button.focusBit);
    SendMessageW(child, WM_SETFOCUS, 0, 0);
    SendMessageW(child, WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(button.state & button.focusBit);
    const std::vector<std::uint32_t> expected{button.focusBit, button.focusBit};
    EXPECT_EQ(expected, button.changes) << "only real changes are reported";
}

// Painted at once where the native control draws itself while it handles the message.
TEST_F(ControlBehaviour, ChangesThatAlterTheLookRepaint)
{
    const struct {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool atOnce;
    } rows[] = {
        {"WM_ENABLE", WM_ENABLE, FALSE, 0, true},
        {"WM_SETTEXT", WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"New"), true},
        {"WM_SETFONT", WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE, false},
    };
    // Only a visible window collects an update region.
    ShowWindow(host.window, SW_SHOWNA);
    UpdateWindow(host.window);
    for (const auto& row : rows) {
        ValidateRect(child, nullptr);
        button.messages.clear();
        SendMessageW(child, row.message, row.wParam, row.lParam);
        EXPECT_EQ(row.atOnce, button.Received(WM_PAINT)) << row.what << ": painted at once";
        EXPECT_NE(row.atOnce, GetUpdateRect(child, nullptr, FALSE) != FALSE) << row.what << ": a paint pending";
    }
    EXPECT_EQ(L"New", button.GetText()) << "WM_SETTEXT still reaches the native control";
    ValidateRect(child, nullptr);
    SendMessageW(child, WM_MOUSEWHEEL, 0, 0);
    EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE)) << "other messages do not repaint";
    EXPECT_EQ(1, SendMessageW(child, WM_ERASEBKGND, 0, 0)) << "erasing is left to the back buffer";

    ValidateRect(host.window, nullptr);
    VxUI::TextBlock unbound;
    unbound.SetColor(0x0000FF);
    EXPECT_EQ(0x0000FFu, unbound.color);
    EXPECT_FALSE(GetUpdateRect(host.window, nullptr, FALSE)) << "an unbound control repaints no other window";
    EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));
}

// Focus in, a click, a double-click (its second press comes as WM_LBUTTONDBLCLK), focus out: a
// bound control tells the parent what the native one tells it, and nothing more.
TEST(ControlNotifications, AsTheNativeControlSendsThem)
{
    VxUI::Button button;
    VxUI::TextBlock text;
    const std::vector<WORD> buttonCodes{BN_SETFOCUS, BN_CLICKED, BN_DBLCLK, BN_KILLFOCUS};
    const std::vector<WORD> staticCodes{STN_CLICKED, STN_DBLCLK};
    const struct {
        const wchar_t* windowClass;
        DWORD style;
        VxUI::Control* control;
        const std::vector<WORD>& codes;
    } rows[] = {
        {L"BUTTON", BS_PUSHBUTTON | BS_NOTIFY, nullptr, buttonCodes},
        {L"BUTTON", BS_PUSHBUTTON | BS_NOTIFY, &button, buttonCodes},
        {L"STATIC", SS_LEFT | SS_NOTIFY, nullptr, staticCodes},
        {L"STATIC", SS_LEFT | SS_NOTIFY, &text, staticCodes},
    };
    const UINT mouse[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    for (const auto& row : rows) {
        Host host;
        ShowWindow(host.window, SW_SHOW);
        const HWND child = host.Child(row.windowClass, L"Press", row.style);
        if (row.control != nullptr) {
            row.control->Attach(child);
        }
        SetFocus(child);
        for (const UINT message : mouse) {
            SendMessageW(child, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 5));
        }
        SetFocus(host.window);
        std::vector<WORD> codes;
        for (const auto& command : host.commands) {
            codes.push_back(HIWORD(command.first));
        }
        EXPECT_EQ(row.codes, codes) << (row.control ? "bound " : "native ") << row.windowClass;
    }
}

TEST_F(ControlBehaviour, StateBitsComeFromTheFields)
{
    button.pressedBit = 0x100;
    SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(0x100u, button.state);
}

// Stands under the control for the native procedure: answers WM_QUERYUISTATE as told, since Wine
// answers 0 whatever the state, and notes how WM_DESTROY finds the window.
struct Underneath {
    explicit Underneath(HWND window, LRESULT state = 0) : uiState(state)
    {
        current = this;
        native = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_QUERYUISTATE) {
            return current->uiState;
        }
        if (message == WM_DESTROY) {
            ++current->destroys;
            current->boundAtDestroy = VxUI::Control::Holder(window);
        }
        return CallWindowProcW(current->native, window, message, wParam, lParam);
    }

    static inline Underneath* current = nullptr;
    WNDPROC native = nullptr;
    LRESULT uiState;
    int destroys = 0;
    VxUI::Control* boundAtDestroy = nullptr;
};

TEST(ControlFocus, FocusCueFollowsTheUiState)
{
    Host host;
    const HWND child = host.Child(L"BUTTON", L"Press", BS_PUSHBUTTON);
    Underneath underneath(child, UISF_HIDEFOCUS);
    RecordingButton button;
    button.Attach(child);
    ShowWindow(host.window, SW_SHOW);
    SetFocus(child);
    EXPECT_FALSE(button.state & button.focusBit);
    EXPECT_TRUE(button.changes.empty());
    // The user asks for focus cues (the Alt key).
    underneath.uiState = 0;
    SendMessageW(child, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    EXPECT_TRUE(button.state & button.focusBit);
    EXPECT_EQ(std::vector<std::uint32_t>{button.focusBit}, button.changes) << "and the cue is drawn";
    DestroyWindow(child);
}

TEST(ControlLifetime, DestroyReachesTheProcedureBeneathAfterUnbinding)
{
    Host host;
    const HWND child = host.Child(L"BUTTON", L"Press", BS_PUSHBUTTON);
    Underneath underneath(child);
    RecordingButton button;
    button.Attach(child);
    DestroyWindow(child);
    EXPECT_EQ(1, underneath.destroys);
    EXPECT_EQ(nullptr, underneath.boundAtDestroy) << "the control unbound first";
    EXPECT_EQ(nullptr, button.hwnd);
}

// Real input: the second press of a double-click comes as WM_LBUTTONDBLCLK, which the native
// button takes as a press of its own that captures the mouse.
TEST(ControlInput, DoubleClickIsAPressAndNoCaptureOutlivesItsRelease)
{
    Host host;
    const HWND child = host.Child(L"BUTTON", L"Press", BS_PUSHBUTTON);
    RecordingButton button;
    button.Attach(child);
    ShowWindow(host.window, SW_SHOW);
    SetForegroundWindow(host.window);
    UpdateWindow(host.window);

    ClickAt(child, POINT{20, 15});
    ClickAt(child, POINT{20, 15});
    ASSERT_TRUE(button.Received(WM_LBUTTONDBLCLK)) << "the second click came as a double-click";
    EXPECT_EQ(2u, host.commands.size()) << "a click and a double-click are two clicks";
    EXPECT_EQ(nullptr, GetCapture());
    ClickAt(host.window, POINT{300, 200});
    EXPECT_EQ(2u, host.commands.size()) << "a click elsewhere in the window is not the button's";
    EXPECT_EQ(nullptr, GetCapture());

    SendMessageW(child, WM_KEYDOWN, VK_SPACE, 0);
    ASSERT_EQ(child, GetCapture()) << "the native button captures on the space bar";
    SendMessageW(child, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(nullptr, GetCapture()) << "a focus loss ends the capture";
    SetCursorPos(0, 0);
}

TEST(ControlLifetime, DestroyedControlUnbindsLiveWindow)
{
    Host host;
    const HWND child = host.Child(L"STATIC", L"text", SS_LEFT);
    const LONG_PTR original = GetWindowLongPtrW(child, GWLP_WNDPROC);
    HDC memoryDC = nullptr;
    {
        VxUI::TextBlock text;
        text.Attach(child);
        memoryDC = text.memoryDC;
    }
    EXPECT_EQ(original, GetWindowLongPtrW(child, GWLP_WNDPROC));
    EXPECT_EQ(0u, GetObjectType(memoryDC));
    // The window goes on working without the object.
    UpdateWindow(child);
    EXPECT_TRUE(DestroyWindow(child));
}

// A Paint that meets the end of its window, as a message box's loop inside it can.
struct EndingText : VxUI::TextBlock {
    void Paint(HDC, RECT&) override { DestroyWindow(hwnd); }
    static BOOL WINAPI CountEndPaint(HWND, const PAINTSTRUCT*) { return ++endPaints > 0; }
    static inline int endPaints = 0;
};

TEST(ControlLifetime, PaintThatEndsItsWindowLeavesItsPaintAlone)
{
    Host host;
    const HWND child = host.Child(L"STATIC", L"text", SS_LEFT);
    EndingText text;
    text.Attach(child);
    ShowWindow(host.window, SW_SHOWNA);
    ImportHook hook("EndPaint", reinterpret_cast<void*>(&EndingText::CountEndPaint));
    ASSERT_TRUE(IsWindow(child));
    UpdateWindow(child);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(0, EndingText::endPaints) << "no EndPaint for a window that is gone";
}

// A modeless dialog holding a control, destroyed while its window exists.
class DialogWithText : public VxUI::Dialog {
public:
    INT_PTR OnInitDialog() override
    {
        text.Attach(GetDlgItem(hwnd, TextId));
        return Dialog::OnInitDialog();
    }
    VxUI::TextBlock text;
};

TEST(ControlLifetime, ModelessDialogDestroyedWithWindowAlive)
{
    auto dialog = std::make_unique<DialogWithText>();
    const HWND window = dialog->Create(GetModuleHandleW(nullptr), TestDialogId, nullptr);
    ASSERT_NE(nullptr, window);
    const HWND child = GetDlgItem(window, TextId);
    ASSERT_EQ(&dialog->text, VxUI::Control::Holder(child));
    dialog.reset();
    EXPECT_FALSE(IsWindow(window)) << "the dialog's destructor destroys the window";
    Pump();
}

}  // namespace
