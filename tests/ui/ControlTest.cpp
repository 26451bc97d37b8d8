#include "Button.h"
#include "Dialog.h"
#include "TextBlock.h"

#include "Canvas.h"
#include "Host.h"
#include "res/DialogTestIds.h"

#include <gtest/gtest.h>

#include <memory>
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
    std::vector<std::uint32_t> changes;
    int clicks = 0;
};

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
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
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&VxUI::Control::SubclassProc), GetWindowLongPtrW(child, GWLP_WNDPROC));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&button), GetWindowLongPtrW(child, GWLP_USERDATA));
    EXPECT_EQ(originalProc, button.previousProc);
    ASSERT_NE(nullptr, button.memoryDC);
    ASSERT_NE(nullptr, button.backBitmap);
    BITMAP bitmap{};
    GetObjectW(button.backBitmap, sizeof(bitmap), &bitmap);
    EXPECT_EQ(120, bitmap.bmWidth);
    EXPECT_EQ(30, bitmap.bmHeight);
    EXPECT_EQ(button.backBitmap, GetCurrentObject(button.memoryDC, OBJ_BITMAP));
}

TEST_F(ControlBehaviour, SizeRebuildsBackBuffer)
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
}

TEST_F(ControlBehaviour, DestroyRestoresProcedureAndFreesBuffer)
{
    const HDC memoryDC = button.memoryDC;
    const HBITMAP bitmap = button.backBitmap;
    SendMessageW(child, WM_DESTROY, 0, 0);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(originalProc), GetWindowLongPtrW(child, GWLP_WNDPROC));
    EXPECT_EQ(0, GetWindowLongPtrW(child, GWLP_USERDATA));
    EXPECT_EQ(nullptr, button.hwnd);
    EXPECT_EQ(nullptr, button.memoryDC);
    EXPECT_EQ(nullptr, button.backBitmap);
    EXPECT_EQ(0u, GetObjectType(memoryDC));
    EXPECT_EQ(0u, GetObjectType(bitmap));
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
    SendMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(button.state & button.hoverBit);
    SendMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    const std::vector<std::uint32_t> expected{button.hoverBit};
    EXPECT_EQ(expected, button.changes) << "a second move while hovering changes nothing";
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

TEST_F(ControlBehaviour, ChangesThatAlterTheLookInvalidate)
{
    const struct {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } rows[] = {
        {"WM_ENABLE", WM_ENABLE, FALSE, 0},
        {"WM_SETTEXT", WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"New")},
        {"WM_SETFONT", WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE},
    };
    // Only a visible window collects an update region.
    ShowWindow(host.window, SW_SHOWNA);
    UpdateWindow(host.window);
    for (const auto& row : rows) {
        ValidateRect(child, nullptr);
        SendMessageW(child, row.message, row.wParam, row.lParam);
        EXPECT_TRUE(GetUpdateRect(child, nullptr, FALSE)) << row.what;
    }
    EXPECT_EQ(L"New", button.GetText()) << "WM_SETTEXT still reaches the native control";
    ValidateRect(child, nullptr);
    SendMessageW(child, WM_MOUSEWHEEL, 0, 0);
    EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE)) << "other messages do not repaint";
    EXPECT_EQ(1, SendMessageW(child, WM_ERASEBKGND, 0, 0)) << "erasing is left to the back buffer";
}

TEST_F(ControlBehaviour, StateBitsComeFromTheFields)
{
    button.pressedBit = 0x100;
    SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(0x100u, button.state);
}

// Wine answers WM_QUERYUISTATE with 0 whatever the state, so the window gets a procedure that
// reports hidden focus cues before the control takes it over.
LRESULT CALLBACK HidesFocus(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_QUERYUISTATE) {
        return UISF_HIDEFOCUS;
    }
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(window, L"previous"));
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

TEST(ControlFocus, HiddenFocusCueKeepsFocusBitClear)
{
    Host host;
    const HWND child = host.Child(L"BUTTON", L"Press", BS_PUSHBUTTON);
    SetPropW(child, L"previous", reinterpret_cast<HANDLE>(GetWindowLongPtrW(child, GWLP_WNDPROC)));
    SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HidesFocus));
    RecordingButton button;
    button.Attach(child);
    SendMessageW(child, WM_SETFOCUS, 0, 0);
    EXPECT_FALSE(button.state & button.focusBit);
    EXPECT_TRUE(button.changes.empty());
    DestroyWindow(child);
    RemovePropW(child, L"previous");
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
    EXPECT_EQ(0, GetWindowLongPtrW(child, GWLP_USERDATA));
    EXPECT_EQ(0u, GetObjectType(memoryDC));
    // The window goes on working without the object.
    UpdateWindow(child);
    EXPECT_TRUE(DestroyWindow(child));
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
    ASSERT_EQ(reinterpret_cast<LONG_PTR>(&VxUI::Control::SubclassProc), GetWindowLongPtrW(child, GWLP_WNDPROC));
    dialog.reset();
    EXPECT_FALSE(IsWindow(window)) << "the dialog's destructor destroys the window";
    Pump();
}

}  // namespace
