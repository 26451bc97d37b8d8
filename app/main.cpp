#include "DialogLogLevel.h"
#include "LogLevelPolicy.h"
#include "Visibility.h"

#include <VxOptions/VxOptionParser.h>
#include <windows.h>

namespace {

const wchar_t Caption[] = L"Orvane Log Level Tool";
const wchar_t FailureText[] = L"Failed to set log level";

int ApplySilently(bool full)
{
    return ApplyLogLevel(full) ? 0 : 1;
}

// The program runs elevated, often from a Downloads folder: a DLL planted beside it must never be
// loaded in place of a system one. Windows 7 has the call only with update KB2533623.
void LoadDllsFromSystem32Only()
{
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories != nullptr) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

}  // namespace

// The command line comes from GetCommandLineW, program path included, not from the argument.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) try
{
    LoadDllsFromSystem32Only();
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

    // Where nobody can see the dialog (a deployment running as SYSTEM with a mistyped switch),
    // waiting for an answer would hold the deployment until its own time-out.
    if (!DialogCanBeSeen()) {
        return 1;
    }

    DialogLogLevel dialog;
    dialog.full = IsFullLogging() ? TRUE : FALSE;
    dialog.iconId = IDI_LOGLEVEL;
    const INT_PTR result = dialog.DoModal(instance, DialogLogLevel::TemplateId, nullptr);
    // A dialog that could not open (no template, no desktop) applied nothing: a deployment that
    // started the tool must not count that as a success.
    if (result <= 0) {
        return 1;
    }
    if (result == IDOK && !ApplyLogLevel(dialog.full != FALSE)) {
        MessageBoxW(nullptr, FailureText, Caption, MB_ICONERROR);
    }
    return 0;
}
// Only the standard library's allocation and length failures get here. They end the run as a
// failure, in either mode, rather than through std::terminate.
catch (...) {
    return 1;
}
