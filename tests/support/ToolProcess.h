#pragma once

// Starts LogLevelTool.exe as a separate process and finds its dialog, as a user or a deployment
// agent would meet it.

#include "System.h"
#include "Wait.h"

#include <windows.h>
#include <psapi.h>

#include <optional>
#include <string>
#include <vector>

namespace tool {

const wchar_t Caption[] = L"Orvane Log Level Tool";

// The program under test; LOGLEVELTOOL_EXE names it relative to the test program.
inline std::wstring ReleasedProgram() { return sys::BesideTestProgram(LOGLEVELTOOL_EXE); }

// The tool, started with the raw command line given (program path included), so that quotes
// and tabs reach it exactly as written; by default the program under test, in this environment.
class Tool {
public:
    // `desktop`, as "station\\desktop", starts it on another window station's desktop; `show`
    // is the show state its first window is given.
    explicit Tool(const std::wstring& commandLine, const std::wstring& program = ReleasedProgram(),
                  const wchar_t* environment = nullptr, const wchar_t* desktop = nullptr, WORD show = SW_SHOWDEFAULT)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.lpDesktop = const_cast<wchar_t*>(desktop);
        startup.dwFlags = show != SW_SHOWDEFAULT ? STARTF_USESHOWWINDOW : 0;
        startup.wShowWindow = show;
        std::wstring line = commandLine;
        started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                                 const_cast<wchar_t*>(environment), nullptr, &startup, &process) != 0;
        startError = started ? 0 : GetLastError();
    }

    ~Tool()
    {
        if (!started) {
            return;
        }
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 99);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    // The exit code, or nothing when the tool is still running after the timeout.
    std::optional<DWORD> Wait(DWORD milliseconds = wait::Timeout) const
    {
        if (!started || WaitForSingleObject(process.hProcess, milliseconds) != WAIT_OBJECT_0) {
            return std::nullopt;
        }
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }

    // A top-level dialog of this process with the tool's caption, once it is visible; nothing when
    // none shows before the process ends or the timeout runs out.
    HWND WaitForDialog() const
    {
        HWND found = nullptr;
        wait::Until([&] {
            HWND window = nullptr;
            while ((window = FindWindowExW(nullptr, window, L"#32770", Caption)) != nullptr) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == process.dwProcessId && IsWindowVisible(window)) {
                    found = window;
                    return true;
                }
            }
            return !started || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
        }, 50);
        return found;
    }

    // Whether the tool runs as 32-bit code on 64-bit Windows.
    std::optional<bool> IsWow64() const
    {
        BOOL wow64 = 2;
        if (!started || !IsWow64Process(process.hProcess, &wow64)) {
            return std::nullopt;
        }
        return wow64 != FALSE;
    }

    // The paths of the modules loaded in the tool's process now.
    std::vector<std::wstring> ModulePaths() const
    {
        std::vector<std::wstring> paths;
        HMODULE modules[1024];
        DWORD bytes = 0;
        if (!started || !EnumProcessModules(process.hProcess, modules, sizeof(modules), &bytes)) {
            return paths;
        }
        for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 1024; ++i) {
            wchar_t path[MAX_PATH] = {};
            if (GetModuleFileNameExW(process.hProcess, modules[i], path, MAX_PATH) > 0) {
                paths.emplace_back(path);
            }
        }
        return paths;
    }

    bool started = false;
    DWORD startError = 0;

private:
    PROCESS_INFORMATION process{};
};

}  // namespace tool
