#include <VxUI/Dialog.h>

#include "ImportHook.h"
#include "SystemColours.h"
#include "res/DialogTestIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

HINSTANCE Module()
{
    return GetModuleHandleW(nullptr);
}

// Records every hook call; returns chosen values so that routing of results can be checked.
class RecordingDialog : public VxUI::Dialog {
public:
    struct Call {
        std::string hook;
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        calls.push_back({"OnMessage", message, wParam, lParam});
        return Dialog::OnMessage(message, wParam, lParam);
    }
    INT_PTR OnInitDialog() override
    {
        calls.push_back({"OnInitDialog"});
        boundDuringInit = hwnd;
        return Dialog::OnInitDialog();
    }
    INT_PTR OnCommand(WORD id, WORD code, HWND control) override
    {
        calls.push_back({"OnCommand", id, code, reinterpret_cast<LPARAM>(control)});
        return Dialog::OnCommand(id, code, control);
    }
    INT_PTR OnDrawItem(WPARAM wParam, LPARAM lParam) override
    {
        calls.push_back({"OnDrawItem", 0, wParam, lParam});
        return Dialog::OnDrawItem(wParam, lParam);
    }
    INT_PTR OnCtlColor(WPARAM wParam, LPARAM lParam) override
    {
        calls.push_back({"OnCtlColor", 0, wParam, lParam});
        return Dialog::OnCtlColor(wParam, lParam);
    }
    void OnDestroy() override
    {
        calls.push_back({"OnDestroy"});
        userDataDuringDestroy = GetWindowLongPtrW(hwnd, GWLP_USERDATA);
        Dialog::OnDestroy();
    }
    // Notes the object's window and the window's slot.
    void OnFinalMessage() override
    {
        calls.push_back({"OnFinalMessage", 0, reinterpret_cast<WPARAM>(hwnd),
                         GetWindowLongPtrW(boundDuringInit, GWLP_USERDATA)});
    }

    std::vector<Call> Hooks(const std::string& hook) const
    {
        std::vector<Call> found;
        for (const Call& call : calls) {
            if (call.hook == hook) {
                found.push_back(call);
            }
        }
        return found;
    }

    std::vector<Call> calls;
    HWND boundDuringInit = nullptr;
    LONG_PTR userDataDuringDestroy = 0;
};

// A modeless dialog, driven with sent messages.
class ModelessDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = dialog.Create(Module(), TestDialogId, nullptr);
        ASSERT_NE(nullptr, window) << "template " << TestDialogId << " missing from the test program";
        dialog.calls.clear();
    }

    void TearDown() override
    {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }

    RecordingDialog dialog;
    HWND window = nullptr;
};

TEST_F(ModelessDialog, CreateBindsBeforeReturning)
{
    EXPECT_EQ(window, dialog.hwnd);
    EXPECT_EQ(window, dialog.boundDuringInit);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&dialog), GetWindowLongPtrW(window, GWLP_USERDATA));
}

TEST_F(ModelessDialog, CommandGoesToOnCommandWithItsParts)
{
    const HWND control = GetDlgItem(window, TextId);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(TextId, 0x1234), reinterpret_cast<LPARAM>(control));
    const auto calls = dialog.Hooks("OnCommand");
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(static_cast<UINT>(TextId), calls[0].message) << "id";
    EXPECT_EQ(0x1234u, calls[0].wParam) << "notification code";
    EXPECT_EQ(reinterpret_cast<LPARAM>(control), calls[0].lParam) << "control";
    EXPECT_TRUE(IsWindow(window)) << "other ids leave the dialog open";
}

TEST_F(ModelessDialog, DrawItemGoesToOnDrawItem)
{
    DRAWITEMSTRUCT item{};
    SendMessageW(window, WM_DRAWITEM, 77, reinterpret_cast<LPARAM>(&item));
    const auto calls = dialog.Hooks("OnDrawItem");
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(77u, calls[0].wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&item), calls[0].lParam);
}

TEST_F(ModelessDialog, SixColourMessagesGoToOnCtlColorWithWhiteBrush)
{
    const UINT messages[] = {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN,
                             WM_CTLCOLORDLG, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC};
    SystemColours colours(false);
    const HDC dc = GetDC(window);
    const HWND control = GetDlgItem(window, TextId);
    for (UINT message : messages) {
        dialog.calls.clear();
        const LRESULT brush = SendMessageW(window, message, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(control));
        const auto calls = dialog.Hooks("OnCtlColor");
        ASSERT_EQ(1u, calls.size()) << "message 0x" << std::hex << message;
        EXPECT_EQ(reinterpret_cast<WPARAM>(dc), calls[0].wParam);
        EXPECT_EQ(reinterpret_cast<LPARAM>(control), calls[0].lParam);
        EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH)), brush) << "message 0x" << std::hex << message;
        EXPECT_TRUE(dialog.Hooks("OnMessage").empty());
    }

    SystemColours::highContrast = true;
    const LRESULT brush = SendMessageW(window, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)), brush) << "high contrast";
    EXPECT_EQ(SystemColours::Of(COLOR_WINDOWTEXT), GetTextColor(dc)) << "high contrast";
    ReleaseDC(window, dc);
}

// Windows tells only top-level windows of new colours and of high contrast going on or off.
TEST_F(ModelessDialog, NewSystemColoursRepaintEveryChild)
{
    ShowWindow(window, SW_SHOWNA);
    for (const UINT message : {UINT{WM_SYSCOLORCHANGE}, UINT{WM_SETTINGCHANGE}}) {
        UpdateWindow(window);
        SendMessageW(window, message, 0, 0);
        EXPECT_TRUE(GetUpdateRect(GetDlgItem(window, TextId), nullptr, FALSE)) << "message 0x" << std::hex << message;
    }
}

TEST_F(ModelessDialog, OtherMessagesGoToOnMessage)
{
    const UINT messages[] = {WM_CTLCOLORMSGBOX, WM_USER + 5, WM_APP};
    for (UINT message : messages) {
        dialog.calls.clear();
        SendMessageW(window, message, 11, 22);
        const auto calls = dialog.Hooks("OnMessage");
        ASSERT_EQ(1u, calls.size()) << "message 0x" << std::hex << message;
        EXPECT_EQ(message, calls[0].message);
        EXPECT_EQ(11u, calls[0].wParam);
        EXPECT_EQ(22, calls[0].lParam);
        EXPECT_TRUE(dialog.Hooks("OnCtlColor").empty()) << "message 0x" << std::hex << message;
    }
}

TEST_F(ModelessDialog, DestroyUnbindsAfterOnDestroy)
{
    ASSERT_TRUE(DestroyWindow(window));
    ASSERT_FALSE(dialog.Hooks("OnDestroy").empty());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&dialog), dialog.userDataDuringDestroy) << "still bound inside OnDestroy";
    EXPECT_EQ(nullptr, dialog.hwnd);
    // After WM_DESTROY only the final hook, unbound, and the window's slot cleared.
    ASSERT_EQ("OnDestroy", dialog.calls.end()[-2].hook);
    EXPECT_EQ("OnFinalMessage", dialog.calls.back().hook);
    EXPECT_EQ(0u, dialog.calls.back().wParam) << "hwnd in OnFinalMessage";
    EXPECT_EQ(0, dialog.calls.back().lParam) << "the window's slot in OnFinalMessage";
}

RECT InParent(HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<LONG> Edges(RECT r, int dpi, int from)
{
    return {MulDiv(r.left, dpi, from), MulDiv(r.top, dpi, from), MulDiv(r.right, dpi, from), MulDiv(r.bottom, dpi, from)};
}

// List and combo boxes keep only part of the rectangle they are given, so the test notes what the
// toolkit gives.
std::map<HWND, RECT> given;
void* setWindowPos = nullptr;
BOOL WINAPI NoteGiven(HWND window, HWND after, int x, int y, int width, int height, UINT flags)
{
    given[window] = RECT{x, y, x + width, y + height};
    return reinterpret_cast<decltype(&SetWindowPos)>(setWindowPos)(window, after, x, y, width, height, flags);
}

// Wine sends no WM_DPICHANGED; the test sends it as Windows does when the window moves to a monitor
// of another resolution, and back.
TEST_F(ModelessDialog, DpiChangeKeepsWhatTheDialogMovedOrCreated)
{
    SetWindowPos(GetDlgItem(window, TextId), nullptr, 13, 17, 71, 19, SWP_NOZORDER);
    const HWND created = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 31, 47, 55, 23, window, nullptr, Module(), nullptr);
    const HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_BORDER, 120, 10, 60, 100, window, nullptr, Module(), nullptr);
    const HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 120, 120, 60, 150, window, nullptr, Module(), nullptr);
    VxUI::Dialog nested;
    const HWND page = nested.Create(Module(), NestedDialogId, window);
    const int original = dialog.dpi;
    std::vector<std::pair<HWND, RECT>> children;
    for (const HWND child : {GetDlgItem(window, TextId), created, GetDlgItem(window, EmptyTextId), list, page, GetDlgItem(page, TextId), combo}) {
        children.emplace_back(child, InParent(child));
    }
    // A drop-down combo box is given the height of its dropped list, which its window is not.
    RECT dropped{};
    SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    children.back().second.bottom = children.back().second.top + dropped.bottom - dropped.top;
    ImportHook hook("SetWindowPos", reinterpret_cast<void*>(&NoteGiven));
    setWindowPos = hook.Original();
    for (const int dpi : {original * 3 / 2, original}) {
        RECT suggested{};
        GetWindowRect(window, &suggested);
        given.clear();
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        for (const auto& [child, rect] : children) {
            EXPECT_EQ(Edges(rect, dpi, original), Edges(given[child], 1, 1)) << "child " << child << " at " << dpi;
        }
        // A font rebuilt for the new resolution, after which the boxes choose their heights again.
        for (const HWND box : {list, combo}) {
            SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
        }
    }
}

TEST(DialogLifecycle, MessagesBeforeInitDialogReachNoHook)
{
    RecordingDialog dialog;
    const HWND window = dialog.Create(Module(), TestDialogId, nullptr);
    ASSERT_NE(nullptr, window);
    // DS_SETFONT makes the dialog manager send WM_SETFONT before WM_INITDIALOG.
    ASSERT_FALSE(dialog.calls.empty());
    EXPECT_EQ("OnInitDialog", dialog.calls.front().hook);
    DestroyWindow(window);
}

TEST(DialogLifecycle, UnboundWindowAnswersZero)
{
    // A window using the procedure without having been initialised through it.
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, Module(), nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0, VxUI::Dialog::DialogProc(window, WM_COMMAND, IDOK, 0));
    EXPECT_EQ(0, VxUI::Dialog::DialogProc(window, WM_CTLCOLORDLG, 0, 0));
    DestroyWindow(window);
}

TEST(DialogLifecycle, DestructorDestroysStillBoundWindow)
{
    HWND window = nullptr;
    {
        VxUI::Dialog dialog;
        window = dialog.Create(Module(), TestDialogId, nullptr);
        ASSERT_NE(nullptr, window);
        ASSERT_TRUE(IsWindow(window));
    }
    EXPECT_FALSE(IsWindow(window));
}

TEST(DialogLifecycle, MissingTemplateFailsAndStaysUnbound)
{
    VxUI::Dialog dialog;
    EXPECT_EQ(nullptr, dialog.Create(Module(), MissingTemplateId, nullptr));
    EXPECT_EQ(nullptr, dialog.hwnd);
    EXPECT_EQ(-1, dialog.DoModal(Module(), MissingTemplateId, nullptr));
    EXPECT_EQ(nullptr, dialog.hwnd);
}

// Posts one command once the modal loop runs, so the dialog ends itself.
class ScriptedDialog : public RecordingDialog {
public:
    ScriptedDialog(WORD commandId, WORD commandCode) : id(commandId), code(commandCode) {}

    INT_PTR OnInitDialog() override
    {
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, code), 0);
        // Whatever the scripted command does, Cancel follows so the test never hangs.
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        return RecordingDialog::OnInitDialog();
    }

    WORD id;
    WORD code;
};

// A BS_NOTIFY OK or Cancel button sends its focus notifications under its id as well.
TEST(DialogModal, OkAndCancelEndTheDialogOnlyForAClickOrAnAccelerator)
{
    const struct {
        WORD id;
        WORD code;
        bool ends;
    } rows[] = {
        {IDOK, BN_CLICKED, true},
        {IDOK, 1, true},
        {IDOK, BN_SETFOCUS, false},
        {IDOK, 0x7777, false},
        {IDCANCEL, BN_CLICKED, true},
        {IDCANCEL, BN_KILLFOCUS, false},
        {TextId, BN_CLICKED, false},
    };
    for (const auto& row : rows) {
        ScriptedDialog dialog(row.id, row.code);
        // Left open, the follow-up Cancel ends it.
        EXPECT_EQ(row.ends ? row.id : IDCANCEL, dialog.DoModal(Module(), TestDialogId, nullptr)) << "id " << row.id << " code " << row.code;
        EXPECT_EQ(nullptr, dialog.hwnd) << "unbound after the modal run";
        const auto commands = dialog.Hooks("OnCommand");
        ASSERT_FALSE(commands.empty());
        EXPECT_EQ(row.id, commands[0].message);
        EXPECT_EQ(row.code, commands[0].wParam);
        EXPECT_EQ(row.ends ? 1u : 2u, commands.size()) << "id " << row.id << " code " << row.code;
    }
}

// Deletes itself at its end; its storage is kept, so that any later write to it shows. A modal run
// of it, were it not refused, would end itself.
struct SelfDeletingDialog : ScriptedDialog {
    SelfDeletingDialog() : ScriptedDialog(IDOK, 0) {}
    static void* operator new(std::size_t) { return storage; }
    static void operator delete(void* object, std::size_t size)
    {
        std::memset(object, 0xDD, size);
        freed = size;
    }
    void OnFinalMessage() override
    {
        destroys = Hooks("OnDestroy").size();
        delete this;
    }
    alignas(16) static inline unsigned char storage[512];
    static inline std::size_t freed = 0;
    static inline std::size_t destroys = 0;
};

TEST(DialogLifecycle, ModelessDialogRefusesASecondWindowAndEndsByCancel)
{
    static_assert(sizeof(SelfDeletingDialog) <= sizeof(SelfDeletingDialog::storage));
    auto* dialog = new SelfDeletingDialog;
    const HWND window = dialog->Create(Module(), TestDialogId, nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(nullptr, dialog->Create(Module(), TestDialogId, nullptr));
    EXPECT_EQ(-1, dialog->DoModal(Module(), TestDialogId, nullptr));
    EXPECT_EQ(window, dialog->hwnd);
    EXPECT_EQ(1u, dialog->Hooks("OnInitDialog").size()) << "no second window was made";

    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(window)) << "destroyed, not hidden";
    EXPECT_EQ(1u, SelfDeletingDialog::destroys);
    ASSERT_EQ(sizeof(SelfDeletingDialog), SelfDeletingDialog::freed) << "deleted";
    const auto* storage = SelfDeletingDialog::storage;
    EXPECT_EQ(SelfDeletingDialog::freed, static_cast<std::size_t>(std::count(storage, storage + sizeof(*dialog), 0xDD)))
        << "nothing wrote to the object after it deleted itself";
}

TEST(DialogModal, ModalRunPassesParentAndEndsUnbound)
{
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, Module(), nullptr);
    ASSERT_NE(nullptr, owner);
    struct OwnerCheck : ScriptedDialog {
        OwnerCheck() : ScriptedDialog(IDOK, 0) {}
        INT_PTR OnInitDialog() override
        {
            ownerSeen = GetWindow(hwnd, GW_OWNER);
            return ScriptedDialog::OnInitDialog();
        }
        HWND ownerSeen = nullptr;
    } dialog;
    EXPECT_EQ(IDOK, dialog.DoModal(Module(), TestDialogId, owner));
    EXPECT_EQ(owner, dialog.ownerSeen);
    EXPECT_EQ(nullptr, dialog.hwnd);
    DestroyWindow(owner);
}

TEST_F(ModelessDialog, WndServicesActOnItems)
{
    EXPECT_EQ(L"Toolkit test dialog", dialog.GetText());
    EXPECT_EQ(L"Some text", dialog.GetText(TextId));
    EXPECT_EQ(L"", dialog.GetText(EmptyTextId));
    EXPECT_TRUE(dialog.IsEnabled(TextId));
    EXPECT_FALSE(dialog.IsEnabled(DisabledId));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), dialog.GetStyle());
    EXPECT_NE(0u, dialog.GetStyle() & WS_CAPTION);

    RECT client{};
    GetClientRect(window, &client);
    const SIZE size = dialog.GetClientSize();
    EXPECT_EQ(client.right, size.cx);
    EXPECT_EQ(client.bottom, size.cy);
    EXPECT_GT(size.cx, 0);

    const HFONT font = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
    EXPECT_TRUE(dialog.SetFont(font, TextId));
    EXPECT_EQ(font, dialog.GetFont(TextId));
    EXPECT_NE(font, dialog.GetFont(EmptyTextId)) << "only the named item changes";
}

TEST_F(ModelessDialog, WndServicesOfMissingItemAreEmpty)
{
    constexpr int missing = 4242;
    EXPECT_EQ(nullptr, dialog.GetFont(missing));
    EXPECT_FALSE(dialog.SetFont(static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT)), missing));
    EXPECT_EQ(L"", dialog.GetText(missing));
    EXPECT_FALSE(dialog.IsEnabled(missing));
}

TEST(WndServices, UnboundObjectGivesEmptyResults)
{
    VxUI::Dialog dialog;
    EXPECT_EQ(nullptr, dialog.GetFont());
    EXPECT_EQ(nullptr, dialog.GetFont(TextId));
    EXPECT_FALSE(dialog.SetFont(nullptr));
    EXPECT_EQ(L"", dialog.GetText(TextId));
    EXPECT_FALSE(dialog.IsEnabled());
    EXPECT_EQ(0u, dialog.GetStyle());
    const SIZE size = dialog.GetClientSize();
    EXPECT_EQ(0, size.cx);
    EXPECT_EQ(0, size.cy);
}

}  // namespace
