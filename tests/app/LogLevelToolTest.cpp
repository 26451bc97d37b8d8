// Runs the real LogLevelTool.exe with exact command lines and drives its windows from outside,
// as a user would, checking exit codes and the registry it leaves behind.

#include "Canvas.h"
#include "ProductKey.h"
#include "RawRegistry.h"
#include "System.h"
#include "ToolProcess.h"
#include "Wait.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace {

using namespace product;
using namespace tool;

std::string Show(const std::wstring& text)
{
    std::string out;
    for (const wchar_t c : text) {
        out += c == L'\t' ? std::string("\\t") : std::string(1, static_cast<char>(c));
    }
    return out;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

// Whether a dialog window went away, as it must before the tool's next one (of the same caption)
// is looked for.
bool WaitGone(HWND window)
{
    return wait::Until([&] { return !IsWindow(window); });
}

struct State {
    std::optional<raw::KeySnapshot> vendor32;
    std::optional<raw::KeySnapshot> vendor64;
};

State Capture()
{
    return State{raw::Snapshot(View32, Vendor), raw::Snapshot(View64, Vendor)};
}

raw::KeySnapshot LoggingTree(std::map<std::wstring, raw::Value> values)
{
    raw::KeySnapshot logging;
    logging.values = std::move(values);
    raw::KeySnapshot product;
    product.subKeys[L"Logging"] = logging;
    raw::KeySnapshot vendor;
    vendor.subKeys[L"ZKF"] = product;
    return vendor;
}

raw::KeySnapshot EmptyProduct()
{
    raw::KeySnapshot vendor;
    vendor.subKeys[L"ZKF"] = raw::KeySnapshot{};
    return vendor;
}

const raw::KeySnapshot FullState = LoggingTree({{L"LogMaxSizeKB", raw::Dword(5000)}, {L"LogLevel", raw::Dword(5)}});

class LogLevelToolTest : public ProductKeyTest {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override
    {
        if (saved) {
            Clean();
        }
    }

    // Puts the registry in the full state, as an earlier /full would have left it.
    static void StartAtFull()
    {
        ASSERT_TRUE(raw::CreateKey(View32, Logging));
        ASSERT_TRUE(raw::SetDword(View32, Logging, L"LogMaxSizeKB", 5000));
        ASSERT_TRUE(raw::SetDword(View32, Logging, L"LogLevel", 5));
    }
};

TEST_F(LogLevelToolTest, SilentCommandLines)
{
    const struct {
        const wchar_t* line;
        bool startFull;
        std::optional<raw::KeySnapshot> after;  // nullopt: no vendor key at all
    } rows[] = {
        {L"LogLevelTool.exe /full", false, FullState},
        {L"LogLevelTool.exe --FULL", false, FullState},
        {L"LogLevelTool.exe /Full", false, FullState},
        {L"LogLevelTool.exe --full", false, FullState},
        {L"LogLevelTool.exe /normal", true, EmptyProduct()},
        {L"LogLevelTool.exe --NORMAL", true, EmptyProduct()},
        {L"LogLevelTool.exe /normal", false, std::nullopt},
        {L"LogLevelTool.exe /normal /full", false, std::nullopt},
        {L"LogLevelTool.exe /full /normal", true, EmptyProduct()},
        {L"LogLevelTool.exe foo /full", false, FullState},
        {L"\"C:\\Program Files\\Orvane\\LogLevelTool.exe\" /full", false, FullState},
        {L"LogLevelTool.exe \"/full\"", false, FullState},
        {L"LogLevelTool.exe /normal=", true, EmptyProduct()},
    };
    for (const auto& row : rows) {
        Clean();
        if (row.startFull) {
            StartAtFull();
        }
        Tool tool(row.line);
        ASSERT_TRUE(tool.started) << Show(row.line) << ": error " << tool.startError;
        EXPECT_EQ(std::optional<DWORD>(0), tool.Wait()) << Show(row.line);
        const State after = Capture();
        EXPECT_EQ(row.after, after.vendor32) << Show(row.line);
        if (sys::Is64BitWindows()) {
            EXPECT_EQ(std::nullopt, after.vendor64) << Show(row.line) << ": the 64-bit view was written";
        }
    }
}

TEST_F(LogLevelToolTest, SilentFailureExitsWithOne)
{
    StartAtFull();
    ASSERT_TRUE(raw::SetDword(View32, Logging, L"LogRotateCount", 3));
    const State before = Capture();
    for (const wchar_t* line : {L"LogLevelTool.exe /normal", L"LogLevelTool.exe /full"}) {
        raw::AccessDenial denial(View32, Logging, KEY_SET_VALUE | DELETE);
        ASSERT_TRUE(denial.Applied());
        Tool tool(line);
        EXPECT_EQ(std::optional<DWORD>(1), tool.Wait()) << Show(line);
        EXPECT_EQ(before.vendor32, Capture().vendor32) << Show(line);
    }
}

// Command lines that open the dialog; closing it with Cancel changes nothing and exits with 0.
TEST_F(LogLevelToolTest, OtherCommandLinesOpenTheDialog)
{
    const wchar_t* lines[] = {
        L"LogLevelTool.exe",
        L"LogLevelTool.exe normal",
        L"LogLevelTool.exe -normal",
        L"LogLevelTool.exe /full /x",
        L"LogLevelTool.exe /full /full",
        L"LogLevelTool.exe /full=1",
        L"LogLevelTool.exe /normal\t/full",
        L"LogLevelTool.exe \"/full",
        L"LogLevelTool.exe --full=1",
    };
    StartAtFull();
    const State before = Capture();
    for (const wchar_t* line : lines) {
        Tool tool(line);
        const HWND dialog = tool.WaitForDialog();
        ASSERT_NE(nullptr, dialog) << Show(line) << ": no dialog";
        PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        EXPECT_EQ(std::optional<DWORD>(0), tool.Wait()) << Show(line);
        const State after = Capture();
        EXPECT_EQ(before.vendor32, after.vendor32) << Show(line);
        EXPECT_EQ(before.vendor64, after.vendor64) << Show(line);
    }
}

// The same entry point without its dialog template: a run that showed nothing is no success.
TEST_F(LogLevelToolTest, DialogThatCannotOpenExitsWithOne)
{
    Tool tool(L"LogLevelTool.exe", sys::BesideTestProgram(WITHOUT_DIALOG_EXE));
    ASSERT_TRUE(tool.started) << "error " << tool.startError;
    EXPECT_EQ(std::optional<DWORD>(1), tool.Wait());
}

TEST_F(LogLevelToolTest, DialogShowsCurrentLevel)
{
    for (bool full : {false, true}) {
        Clean();
        if (full) {
            StartAtFull();
        }
        Tool tool(L"LogLevelTool.exe");
        const HWND dialog = tool.WaitForDialog();
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(full ? BST_UNCHECKED : BST_CHECKED, SendMessageW(GetDlgItem(dialog, 1001), BM_GETCHECK, 0, 0)) << "full " << full;
        EXPECT_EQ(full ? BST_CHECKED : BST_UNCHECKED, SendMessageW(GetDlgItem(dialog, 1002), BM_GETCHECK, 0, 0)) << "full " << full;
        EXPECT_EQ(L"Orvane Log Level Tool", TextOf(dialog));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(std::optional<DWORD>(0), tool.Wait());
    }
}

// The program under test is the one this tree ships: 32-bit code under WOW64 in the x86 tree on
// 64-bit Windows, so that no skipped run or substituted 64-bit build passes for it.
TEST_F(LogLevelToolTest, RunsAsCodeOfThisTreesArchitecture)
{
    constexpr bool X86Tree = sizeof(void*) == 4;
    const bool windows64 = sys::Is64BitWindows();
    Tool tool(L"LogLevelTool.exe");
    const HWND dialog = tool.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(std::optional<bool>(X86Tree && windows64), tool.IsWow64())
        << (X86Tree ? "32-bit tree" : "64-bit tree") << " on " << (windows64 ? "64-bit" : "32-bit") << " Windows";
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(std::optional<DWORD>(0), tool.Wait());
}

// The ways a user ends the dialog, each starting at full.
TEST_F(LogLevelToolTest, DialogEndings)
{
    const struct {
        const char* what;
        std::function<void(HWND)> act;
        std::optional<raw::KeySnapshot> after;
    } rows[] = {
        {"OK unchanged", [](HWND d) { PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); }, FullState},
        {"pick normal, OK",
         [](HWND d) {
             PostMessageW(GetDlgItem(d, 1001), BM_CLICK, 0, 0);
             PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
         },
         EmptyProduct()},
        {"pick normal, Enter",
         [](HWND d) {
             PostMessageW(GetDlgItem(d, 1001), BM_CLICK, 0, 0);
             PostMessageW(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_RETURN, 0);
         },
         EmptyProduct()},
        {"pick normal, Cancel",
         [](HWND d) {
             PostMessageW(GetDlgItem(d, 1001), BM_CLICK, 0, 0);
             PostMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0);
         },
         FullState},
        {"pick normal, Esc",
         [](HWND d) {
             PostMessageW(GetDlgItem(d, 1001), BM_CLICK, 0, 0);
             PostMessageW(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
         },
         FullState},
        {"pick normal, close box",
         [](HWND d) {
             PostMessageW(GetDlgItem(d, 1001), BM_CLICK, 0, 0);
             PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0);
         },
         FullState},
    };
    for (const auto& row : rows) {
        Clean();
        StartAtFull();
        Tool tool(L"LogLevelTool.exe");
        const HWND dialog = tool.WaitForDialog();
        ASSERT_NE(nullptr, dialog) << row.what;
        row.act(dialog);
        EXPECT_EQ(std::optional<DWORD>(0), tool.Wait()) << row.what;
        EXPECT_EQ(row.after, raw::Snapshot(View32, Vendor)) << row.what;
        if (sys::Is64BitWindows()) {
            EXPECT_EQ(std::nullopt, raw::Snapshot(View64, Vendor)) << row.what;
        }
    }
}

TEST_F(LogLevelToolTest, FailedApplyShowsMessageBoxThenExitsWithZero)
{
    StartAtFull();
    const State before = Capture();
    raw::AccessDenial denial(View32, Logging, KEY_SET_VALUE | DELETE);
    ASSERT_TRUE(denial.Applied());

    Tool tool(L"LogLevelTool.exe");
    const HWND dialog = tool.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    PostMessageW(GetDlgItem(dialog, 1001), BM_CLICK, 0, 0);
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitGone(dialog)) << "the dialog stayed after OK";

    const HWND box = tool.WaitForDialog();
    ASSERT_NE(nullptr, box) << "no message box";
    ASSERT_NE(dialog, box);
    EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER)) << "the box has no owner";
    EXPECT_EQ(L"Failed to set log level", TextOf(GetDlgItem(box, 0xFFFF)));
    EXPECT_EQ(nullptr, GetDlgItem(box, IDCANCEL)) << "a single OK button";
    EXPECT_EQ(std::nullopt, tool.Wait(300)) << "the tool waits for the box";
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(std::optional<DWORD>(0), tool.Wait());
    EXPECT_EQ(before.vendor32, Capture().vendor32);
}

// Nobody answers a dialog in a station nobody sees (a service's, as under SYSTEM) or one started
// hidden: a command line that would open it fails at once, and the silent switches work as anywhere.
TEST_F(LogLevelToolTest, NoDialogWhereNobodySeesIt)
{
    // A desktop is made in the caller's own station; both stay open while the tool runs there.
    const std::unique_ptr<HWINSTA__, decltype(&CloseWindowStation)> station(
        CreateWindowStationW(L"LogLevelToolTests", 0, WINSTA_ALL_ACCESS, nullptr), &CloseWindowStation);
    const HWINSTA own = GetProcessWindowStation();
    ASSERT_TRUE(station && SetProcessWindowStation(station.get())) << "error " << GetLastError();
    const std::unique_ptr<HDESK__, decltype(&CloseDesktop)> desktop(
        CreateDesktopW(L"Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr), &CloseDesktop);
    ASSERT_TRUE(SetProcessWindowStation(own));
    ASSERT_NE(nullptr, desktop);
    const wchar_t* const hidden = L"LogLevelToolTests\\Default";
    const struct {
        const wchar_t* line;
        const wchar_t* desktop;
        WORD show;
        DWORD code;
        std::optional<raw::KeySnapshot> after;
    } rows[] = {
        {L"LogLevelTool.exe", hidden, SW_SHOWDEFAULT, 1, std::nullopt},
        {L"LogLevelTool.exe /ful", hidden, SW_SHOWDEFAULT, 1, std::nullopt},
        {L"LogLevelTool.exe /full /quiet", hidden, SW_SHOWDEFAULT, 1, std::nullopt},
        {L"LogLevelTool.exe /full", hidden, SW_SHOWDEFAULT, 0, FullState},
        {L"LogLevelTool.exe", nullptr, SW_HIDE, 1, std::nullopt},
    };
    for (const auto& row : rows) {
        Clean();
        Tool tool(row.line, ReleasedProgram(), nullptr, row.desktop, row.show);
        ASSERT_TRUE(tool.started) << Show(row.line) << ": error " << tool.startError;
        EXPECT_EQ(std::optional<DWORD>(row.code), tool.Wait()) << Show(row.line) << (row.desktop ? "" : ", hidden");
        EXPECT_EQ(row.after, raw::Snapshot(View32, Vendor)) << Show(row.line);
    }
}

// What a user sees: the dialog's area copied from the screen. Wine composes the windows into its
// virtual desktop, so the screen holds the child windows' pixels too (PrintWindow would not), and
// nothing else lies over them there. On a Windows desktop the same read also sees whatever
// window lies in front, so the tests that use it are named as Wine's.
class Screenshot {
public:
    explicit Screenshot(HWND window) : area(WindowArea(window)), canvas(area.right - area.left, area.bottom - area.top)
    {
        const HDC screen = GetDC(nullptr);
        BitBlt(canvas.Dc(), 0, 0, canvas.width, canvas.height, screen, area.left, area.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    }
    // In screen coordinates.
    COLORREF Pixel(int x, int y) const { return canvas.Pixel(x - area.left, y - area.top); }
    int Count(COLORREF colour, const RECT& rect) const
    {
        return canvas.Count(colour, RECT{rect.left - area.left, rect.top - area.top, rect.right - area.left,
                                         rect.bottom - area.top});
    }

private:
    static RECT WindowArea(HWND window)
    {
        RECT rect{};
        GetWindowRect(window, &rect);
        return rect;
    }

    RECT area;
    Canvas canvas;
};

// Pointer tracking reports a leave only when its timer next fires, so colours that follow the
// pointer are awaited rather than read once. Meanwhile the pointer rests near `pointer` with the
// small movements of a real hand, each of which the window under it hears about. The colour last
// seen, the expected one unless the timeout ran out.
COLORREF AwaitPixel(HWND dialog, int x, int y, COLORREF expected, POINT pointer)
{
    COLORREF seen = CLR_INVALID;
    int moves = 0;
    wait::Until([&] {
        seen = Screenshot(dialog).Pixel(x, y);
        if (seen == expected) {
            return true;
        }
        SetCursorPos(pointer.x + (++moves % 2), pointer.y);
        return false;
    }, 50);
    return seen;
}

RECT ScreenRect(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    return rect;
}

TEST_F(LogLevelToolTest, DesignedLookOnWinesDesktop)
{
    constexpr COLORREF DarkBlue = 0x993300;
    constexpr COLORREF LighterBlue = 0xD96C00;
    constexpr COLORREF White = 0xFFFFFF;
    // The pointer starts away from where the dialog opens.
    SetCursorPos(0, 0);
    Tool tool(L"LogLevelTool.exe");
    const HWND dialog = tool.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    const RECT ok = ScreenRect(dialog, IDOK);
    const RECT cancel = ScreenRect(dialog, IDCANCEL);
    const int okMiddle = (ok.top + ok.bottom) / 2;
    const int cancelMiddle = (cancel.top + cancel.bottom) / 2;
    const RECT title = ScreenRect(dialog, 1003);
    const RECT description = ScreenRect(dialog, 1004);
    const RECT prompt = ScreenRect(dialog, -1);
    ASSERT_EQ(DarkBlue, AwaitPixel(dialog, ok.left + 6, okMiddle, DarkBlue, POINT{0, 0})) << "OK never painted";
    // Each item reaches the screen when it paints, and under emulation the texts can come a moment
    // after the buttons: the checks below read a screen on which every text has ink.
    ASSERT_TRUE(wait::Until([&] {
        const Screenshot early(dialog);
        return early.Count(DarkBlue, title) > 0 && early.Count(0x000000, description) > 0 &&
               early.Count(0x000000, prompt) > 0;
    }, 50)) << "a text of the dialog never reached the screen";
    const Screenshot screen(dialog);
    EXPECT_EQ(DarkBlue, screen.Pixel(ok.left + 6, okMiddle)) << "OK is filled dark blue";
    EXPECT_GT(screen.Count(White, RECT{ok.left + 10, ok.top + 4, ok.right - 10, ok.bottom - 4}), 10)
        << "with a white caption";
    EXPECT_EQ(DarkBlue, screen.Pixel(cancel.left, cancelMiddle)) << "Cancel's frame";
    EXPECT_EQ(DarkBlue, screen.Pixel(cancel.left + 1, cancelMiddle)) << "two pixels wide";
    EXPECT_EQ(White, screen.Pixel(cancel.left + 6, cancelMiddle)) << "on white";
    EXPECT_GT(screen.Count(DarkBlue, RECT{cancel.left + 10, cancel.top + 4, cancel.right - 10, cancel.bottom - 4}), 10)
        << "with a dark-blue caption";

    EXPECT_GT(screen.Count(DarkBlue, title), 50) << "the title is dark blue";
    EXPECT_GT(screen.Count(0x000000, description), 50) << "the description is black";
    EXPECT_EQ(0, screen.Count(DarkBlue, description));
    EXPECT_GT(screen.Count(0x000000, prompt), 20) << "the prompt is black";

    // Hovering: the pointer moves over OK as a user's would.
    const POINT overOk{(ok.left + ok.right) / 2, okMiddle};
    const POINT overCancel{(cancel.left + cancel.right) / 2, cancelMiddle};
    SetCursorPos(overOk.x, overOk.y);
    EXPECT_EQ(LighterBlue, AwaitPixel(dialog, ok.left + 6, okMiddle, LighterBlue, overOk))
        << "OK turns lighter blue under the pointer";
    SetCursorPos(overCancel.x, overCancel.y);
    EXPECT_EQ(DarkBlue, AwaitPixel(dialog, ok.left + 6, okMiddle, DarkBlue, overCancel))
        << "and back when the pointer leaves";
    EXPECT_EQ(0xF8F8F8u, AwaitPixel(dialog, cancel.left + 6, cancelMiddle, 0xF8F8F8, overCancel))
        << "Cancel's hover fill";
    SetCursorPos(0, 0);

    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(std::optional<DWORD>(0), tool.Wait());
}

}  // namespace
