#pragma once

#include "Button.h"
#include "Dialog.h"
#include "Font.h"
#include "TextBlock.h"
#include "resource.h"

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

    // Declared first so that they outlive the controls and the window that use them.
    VxUI::Font smallFont;
    VxUI::Font largeFont;
    VxUI::TextBlock titleText;
    VxUI::TextBlock descriptionText;
    VxUI::TextBlock promptText;
    VxUI::Button okButton;
    VxUI::Button cancelButton;
    // Owned: destroyed with the dialog.
    HICON icon = nullptr;
    BOOL full = FALSE;
};
