#pragma once

#include "resource.h"

#include <VxUI/Button.h>
#include <VxUI/Dialog.h>
#include <VxUI/Font.h>
#include <VxUI/TextBlock.h>
#include <windows.h>

// The tool's only window: the level in `full` is shown when the dialog opens and replaced by the
// radio buttons' choice when OK is pressed. The dialog never touches the registry.
class DialogLogLevel : public VxUI::Dialog {
public:
    enum : int {
        TemplateId = IDD_LOGLEVEL,
        NormalRadioId = IDC_NORMAL,
        FullRadioId = IDC_FULL,
        TitleId = IDC_TITLE,
        DescriptionId = IDC_DESCRIPTION,
        PromptId = -1,
    };

    DialogLogLevel();
    ~DialogLogLevel() override;

    INT_PTR OnInitDialog() override;
    INT_PTR OnCommand(WORD id, WORD code, HWND control) override;
    INT_PTR OnDpiChanged(int newDpi, const RECT& suggested) override;

    // Declared first so that they outlive the controls and the window that use them.
    VxUI::Font smallFont;
    VxUI::Font largeFont;
    VxUI::TextBlock titleText;
    VxUI::TextBlock descriptionText;
    VxUI::TextBlock promptText;
    VxUI::Button okButton;
    VxUI::Button cancelButton;
    // The icon group in the module of the template; 0 for none. The dialog loads its window icons
    // from it at its resolution, again whenever that changes.
    WORD iconId = 0;
    // Owned: destroyed with the dialog.
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    BOOL full = FALSE;

private:
    void MakeFonts(int resolution);
    void HandOutFonts();
    void LoadIcons();
};
