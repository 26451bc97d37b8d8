#include "DialogLogLevel.h"

#include <gtest/gtest.h>

#include <functional>
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
        normalChecked = IsDlgButtonChecked(hwnd, NormalRadioId);
        fullChecked = IsDlgButtonChecked(hwnd, FullRadioId);
        for (const auto& step : script) {
            step(hwnd);
        }
        // Cancel always follows, so that a script that fails to end the dialog cannot hang.
        PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        return result;
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
