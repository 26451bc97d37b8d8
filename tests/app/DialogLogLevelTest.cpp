#include "DialogLogLevel.h"

#include "Canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

HINSTANCE Module()
{
    return GetModuleHandleW(nullptr);
}

// Watches the dialog from inside: what it selected on opening and which icon messages it sent,
// then plays a script of posted messages so the modal run ends by itself.
class ScriptedLogLevelDialog : public DialogLogLevel {
public:
    INT_PTR OnInitDialog() override
    {
        const INT_PTR result = DialogLogLevel::OnInitDialog();
        RecordLook();
        normalChecked = IsDlgButtonChecked(hwnd, NormalRadioId);
        fullChecked = IsDlgButtonChecked(hwnd, FullRadioId);
        for (const auto& step : script) {
            step(hwnd);
        }
        // Cancel always follows, so that a script that fails to end the dialog cannot hang.
        PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        return result;
    }

    struct Look {
        HFONT titleFont, descriptionFont, promptFont, normalFont, fullFont, okFont, cancelFont;
        COLORREF titleColor, descriptionColor, promptColor;
        bool titleBound, okBound, cancelBound;
    };

    void RecordLook()
    {
        look.titleFont = titleText.GetFont();
        look.descriptionFont = descriptionText.GetFont();
        look.promptFont = promptText.GetFont();
        look.normalFont = GetFont(NormalRadioId);
        look.fullFont = GetFont(FullRadioId);
        look.okFont = okButton.GetFont();
        look.cancelFont = cancelButton.GetFont();
        look.titleColor = titleText.color;
        look.descriptionColor = descriptionText.color;
        look.promptColor = promptText.color;
        look.titleBound = titleText.hwnd == GetDlgItem(hwnd, TitleId);
        look.okBound = okButton.hwnd == GetDlgItem(hwnd, IDOK);
        look.cancelBound = cancelButton.hwnd == GetDlgItem(hwnd, IDCANCEL);
    }

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETICON) {
            iconMessages.emplace_back(wParam, lParam);
        }
        return DialogLogLevel::OnMessage(message, wParam, lParam);
    }

    std::vector<std::function<void(HWND)>> script;
    UINT normalChecked = 0;
    UINT fullChecked = 0;
    std::vector<std::pair<WPARAM, LPARAM>> iconMessages;
    Look look{};
};

void Click(HWND dialog, int id)
{
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PressOk(HWND dialog)
{
    Click(dialog, IDOK);
}

void PressCancel(HWND dialog)
{
    Click(dialog, IDCANCEL);
}

// The width of the icon's image; 0 when the handle is not an icon (any more).
int IconWidth(HICON icon)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return 0;
    }
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return bitmap.bmWidth;
}

TEST(DialogLogLevel, StylesItsControls)
{
    ScriptedLogLevelDialog dialog;
    dialog.DoModal(Module(), DialogLogLevel::TemplateId, nullptr);
    const HFONT small = dialog.smallFont.GetHandle();
    const HFONT large = dialog.largeFont.GetHandle();
    ASSERT_NE(nullptr, small);
    ASSERT_NE(nullptr, large);
    const auto& look = dialog.look;
    EXPECT_TRUE(look.titleBound && look.okBound && look.cancelBound) << "controls bound to their items";
    EXPECT_EQ(large, look.titleFont) << "title";
    EXPECT_EQ(small, look.descriptionFont) << "description";
    EXPECT_EQ(small, look.promptFont) << "prompt";
    EXPECT_EQ(small, look.normalFont) << "Normal logging";
    EXPECT_EQ(small, look.fullFont) << "Full logging";
    EXPECT_EQ(small, look.okFont) << "OK";
    EXPECT_EQ(small, look.cancelFont) << "Cancel";
    EXPECT_EQ(0x993300u, look.titleColor);
    EXPECT_EQ(0u, look.descriptionColor);
    EXPECT_EQ(0u, look.promptColor);
    EXPECT_TRUE(dialog.okButton.filled);
    EXPECT_FALSE(dialog.cancelButton.filled);
    for (const VxUI::Button* button : {&dialog.okButton, &dialog.cancelButton}) {
        EXPECT_EQ(0x993300u, button->accentColor);
        EXPECT_EQ(0xD96C00u, button->hoverFillColor);
        EXPECT_EQ(0xFFFFFFu, button->hoverTextColor);
    }
    EXPECT_EQ(nullptr, dialog.okButton.hwnd) << "unbound when the window went";

    LOGFONTW logFont{};
    GetObjectW(large, sizeof(logFont), &logFont);
    EXPECT_EQ(std::wstring(L"Segoe UI"), logFont.lfFaceName);
    EXPECT_EQ(FW_NORMAL, logFont.lfWeight);
}

TEST(DialogLogLevel, RadioSelectionFollowsFull)
{
    for (BOOL full : {FALSE, TRUE}) {
        ScriptedLogLevelDialog dialog;
        dialog.full = full;
        EXPECT_EQ(IDCANCEL, dialog.DoModal(Module(), DialogLogLevel::TemplateId, nullptr));
        EXPECT_EQ(full ? BST_UNCHECKED : BST_CHECKED, dialog.normalChecked) << "full " << full;
        EXPECT_EQ(full ? BST_CHECKED : BST_UNCHECKED, dialog.fullChecked) << "full " << full;
    }
}

TEST(DialogLogLevel, OkAndCancelWithAndWithoutSwitching)
{
    const struct {
        const char* what;
        BOOL full;
        std::vector<std::function<void(HWND)>> script;
        INT_PTR result;
        BOOL fullAfter;
    } rows[] = {
        {"OK at normal", FALSE, {PressOk}, IDOK, FALSE},
        {"OK at full", TRUE, {PressOk}, IDOK, TRUE},
        {"switch to full, OK", FALSE, {[](HWND d) { Click(d, DialogLogLevel::FullRadioId); }, PressOk}, IDOK, TRUE},
        {"switch to normal, OK", TRUE, {[](HWND d) { Click(d, DialogLogLevel::NormalRadioId); }, PressOk}, IDOK, FALSE},
        {"switch to normal, Cancel", TRUE, {[](HWND d) { Click(d, DialogLogLevel::NormalRadioId); }, PressCancel}, IDCANCEL, TRUE},
        {"switch to full, Cancel", FALSE, {[](HWND d) { Click(d, DialogLogLevel::FullRadioId); }, PressCancel}, IDCANCEL, FALSE},
        {"switch back and forth, OK", FALSE,
         {[](HWND d) { Click(d, DialogLogLevel::FullRadioId); }, [](HWND d) { Click(d, DialogLogLevel::NormalRadioId); }, PressOk},
         IDOK, FALSE},
        // With neither radio checked, OK means full: only a checked "Normal logging" means normal.
        {"nothing checked, OK", FALSE,
         {[](HWND d) { CheckDlgButton(d, DialogLogLevel::NormalRadioId, BST_UNCHECKED); }, PressOk}, IDOK, TRUE},
    };
    for (const auto& row : rows) {
        ScriptedLogLevelDialog dialog;
        dialog.full = row.full;
        dialog.script = row.script;
        EXPECT_EQ(row.result, dialog.DoModal(Module(), DialogLogLevel::TemplateId, nullptr)) << row.what;
        EXPECT_EQ(row.fullAfter, dialog.full) << row.what;
        EXPECT_EQ(nullptr, dialog.hwnd) << row.what;
    }
}

TEST(DialogLogLevel, NoIconIdSendsNoIconMessage)
{
    ScriptedLogLevelDialog dialog;
    EXPECT_EQ(IDCANCEL, dialog.DoModal(Module(), DialogLogLevel::TemplateId, nullptr));
    EXPECT_TRUE(dialog.iconMessages.empty());
    EXPECT_EQ(nullptr, dialog.icon);
    EXPECT_EQ(nullptr, dialog.smallIcon);
}

TEST(DialogLogLevel, LoadsAnIconOfEachSizeThatDiesWithTheDialog)
{
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    {
        ScriptedLogLevelDialog dialog;
        dialog.iconId = IDI_LOGLEVEL;
        EXPECT_EQ(IDCANCEL, dialog.DoModal(Module(), DialogLogLevel::TemplateId, nullptr));
        icon = dialog.icon;
        smallIcon = dialog.smallIcon;
        const std::vector<std::pair<WPARAM, LPARAM>> expected{
            {ICON_BIG, reinterpret_cast<LPARAM>(icon)}, {ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon)}};
        EXPECT_EQ(expected, dialog.iconMessages);
        EXPECT_EQ(MulDiv(32, dialog.dpi, 96), IconWidth(icon)) << "alive while the dialog object lives";
        EXPECT_EQ(MulDiv(16, dialog.dpi, 96), IconWidth(smallIcon));
    }
    EXPECT_EQ(0, IconWidth(icon)) << "the destructor destroys the icons";
    EXPECT_EQ(0, IconWidth(smallIcon));
}

RECT InParent(HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT Scaled(const RECT& rect, int to, int from)
{
    return RECT{MulDiv(rect.left, to, from), MulDiv(rect.top, to, from), MulDiv(rect.right, to, from),
                MulDiv(rect.bottom, to, from)};
}

std::string Show(const RECT& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

LONG FontHeight(HFONT font)
{
    LOGFONTW logFont{};
    GetObjectW(font, sizeof(logFont), &logFont);
    return logFont.lfHeight;
}

// The window, the controls and the images at one resolution, read from the dialog.
void ExpectDrawnFor(DialogLogLevel& dialog, int dpi)
{
    const std::string at = " at " + std::to_string(dpi) + " dpi";
    EXPECT_EQ(dpi, dialog.dpi);
    EXPECT_EQ(-VxUI::PointsToPixels(12, dpi), FontHeight(dialog.smallFont.GetHandle())) << at;
    EXPECT_EQ(-VxUI::PointsToPixels(22, dpi), FontHeight(dialog.largeFont.GetHandle())) << at;
    EXPECT_EQ(dialog.largeFont.GetHandle(), dialog.titleText.GetFont()) << at;
    EXPECT_EQ(dialog.smallFont.GetHandle(), dialog.okButton.GetFont()) << at;
    EXPECT_EQ(dialog.smallFont.GetHandle(), dialog.GetFont(DialogLogLevel::FullRadioId)) << at;
    EXPECT_EQ(MulDiv(32, dpi, 96), IconWidth(dialog.icon)) << at;
    EXPECT_EQ(MulDiv(16, dpi, 96), IconWidth(dialog.smallIcon)) << at;

    // OK, filled: outside its rounded corner the background shows; its focus rectangle's inset.
    const SIZE size = dialog.okButton.GetClientSize();
    BITMAP buffer{};
    GetObjectW(dialog.okButton.backBitmap, sizeof(buffer), &buffer);
    EXPECT_EQ(size.cx, buffer.bmWidth) << "back buffer" << at;
    EXPECT_EQ(size.cy, buffer.bmHeight) << "back buffer" << at;
    VxUI::Button& ok = dialog.okButton;
    const std::uint32_t state = ok.state;
    ok.state = state & ~ok.focusBit;
    Canvas plain(size.cx, size.cy);
    RECT rect = plain.Rect();
    ok.Paint(plain.Dc(), rect);
    const int corner = VxUI::PointsToPixels(4, dpi);
    const HRGN shape = CreateRoundRectRgn(0, 0, size.cx, size.cy, corner, corner);
    int outside = 0;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            outside += PtInRegion(shape, x, y) ? 0 : 1;
        }
    }
    DeleteObject(shape);
    EXPECT_EQ(outside, plain.Count(0xFFFFFF, RECT{0, 0, 8, 8})) << "corner of " << corner << " pixels" << at;
    ok.state = state | ok.focusBit;
    Canvas focused(size.cx, size.cy);
    ok.Paint(focused.Dc(), rect);
    ok.state = state;
    const RECT focus = focused.Differences(plain);
    EXPECT_EQ(VxUI::PointsToPixels(2, dpi), focus.left) << "focus inset" << at;
    EXPECT_EQ(VxUI::PointsToPixels(2, dpi), focus.top) << "focus inset" << at;
}

// Wine has one monitor and sends no WM_DPICHANGED, so the test sends it as Windows would when
// the window moves between monitors of other resolutions, and back.
TEST(DialogLogLevel, FollowsItsWindowsResolutionThereAndBack)
{
    DialogLogLevel dialog;
    dialog.iconId = IDI_LOGLEVEL;
    // Fonts for another resolution than the window's, as when it opens on another monitor.
    VxUI::Font small(12, FW_NORMAL, 0, 72);
    VxUI::Font large(22, FW_NORMAL, 0, 72);
    dialog.smallFont.Swap(small);
    dialog.largeFont.Swap(large);
    const HWND window = dialog.Create(Module(), DialogLogLevel::TemplateId, nullptr);
    ASSERT_NE(nullptr, window);
    const int original = VxUI::WindowDpi(window);
    ExpectDrawnFor(dialog, original);

    RECT windowRect{};
    GetWindowRect(window, &windowRect);
    std::vector<std::pair<HWND, RECT>> children;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        children.emplace_back(child, InParent(child));
    }
    ASSERT_EQ(7u, children.size());

    // By a step between, so that placing by the current rectangles rather than the original ones
    // would show; the last step returns to the original resolution.
    for (const int dpi : {original * 5 / 4, original * 3 / 2, original}) {
        const RECT suggested{windowRect.left, windowRect.top,
                             windowRect.left + MulDiv(windowRect.right - windowRect.left, dpi, original),
                             windowRect.top + MulDiv(windowRect.bottom - windowRect.top, dpi, original)};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        ExpectDrawnFor(dialog, dpi);
        RECT now{};
        GetWindowRect(window, &now);
        EXPECT_EQ(Show(suggested), Show(now)) << "the window takes the suggested rectangle at " << dpi << " dpi";
        for (const auto& [child, rect] : children) {
            EXPECT_EQ(Show(Scaled(rect, dpi, original)), Show(InParent(child)))
                << "item " << GetDlgCtrlID(child) << " at " << dpi << " dpi";
        }
    }
    DestroyWindow(window);
}

}  // namespace
