#include "DialogLogLevel.h"

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

HICON MakeIcon()
{
    BYTE andMask[16 * 16 / 8] = {};
    BYTE xorMask[16 * 16 / 8] = {};
    return CreateIcon(Module(), 16, 16, 1, 1, andMask, xorMask);
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

TEST(DialogLogLevel, NullIconSendsNoIconMessage)
{
    ScriptedLogLevelDialog dialog;
    dialog.DoModal(Module(), DialogLogLevel::TemplateId, nullptr);
    EXPECT_TRUE(dialog.iconMessages.empty());
}

TEST(DialogLogLevel, IconServesBothSizesAndDiesWithTheDialog)
{
    const HICON icon = MakeIcon();
    ASSERT_NE(nullptr, icon);
    {
        ScriptedLogLevelDialog dialog;
        dialog.icon = icon;
        dialog.DoModal(Module(), DialogLogLevel::TemplateId, nullptr);
        const std::vector<std::pair<WPARAM, LPARAM>> expected{
            {ICON_BIG, reinterpret_cast<LPARAM>(icon)}, {ICON_SMALL, reinterpret_cast<LPARAM>(icon)}};
        EXPECT_EQ(expected, dialog.iconMessages);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info)) << "alive while the dialog object lives";
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
    }
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(icon, &info)) << "the destructor destroys the icon";
}

}  // namespace
