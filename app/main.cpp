#include "DialogLogLevel.h"
#include "LogLevelPolicy.h"
#include "VxOptionParser.h"

#include <windows.h>

namespace {

const wchar_t Caption[] = L"Orvane Log Level Tool";
const wchar_t FailureText[] = L"Failed to set log level";

int ApplySilently(bool full)
{
    return ApplyLogLevel(full) ? 0 : 1;
}

}  // namespace

// The command line comes from GetCommandLineW, program path included, not from the argument.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) try
{
    VxOptionParser& parser = VxOptionParser::Instance();
    parser.AddOption(NoValue, L"normal", 0);
    parser.AddOption(NoValue, L"full", 0);

    // A command line the parser rejects opens the dialog; its message is never shown.
    if (parser.ParseCommandLine(GetCommandLineW())) {
        if (parser.IsSet(L"normal")) {
            return ApplySilently(false);
        }
        if (parser.IsSet(L"full")) {
            return ApplySilently(true);
        }
    }

    DialogLogLevel dialog;
    dialog.full = IsFullLogging() ? TRUE : FALSE;
    dialog.icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_LOGLEVEL));
    if (dialog.DoModal(instance, DialogLogLevel::TemplateId, nullptr) == IDOK) {
        if (!ApplyLogLevel(dialog.full != FALSE)) {
            MessageBoxW(nullptr, FailureText, Caption, MB_ICONERROR);
        }
    }
    return 0;
}
// Only the standard library's allocation and length failures get here. They end the run as a
// failure, in either mode, rather than through std::terminate.
catch (...) {
    return 1;
}
