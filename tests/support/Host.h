#pragma once

#include <windows.h>

#include <utility>
#include <vector>

constexpr int ChildId = 77;

// A parent window that records the commands its children send.
class Host {
public:
    Host()
    {
        static const ATOM atom = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = Procedure;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"ToolkitTestHost";
            return RegisterClassW(&windowClass);
        }();
        (void)atom;
        window = CreateWindowExW(0, L"ToolkitTestHost", L"host", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Host() { DestroyWindow(window); }

    HWND Child(const wchar_t* windowClass, const wchar_t* text, DWORD style, int width = 120, int height = 30)
    {
        return CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 10, 10, width, height, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(ChildId)), GetModuleHandleW(nullptr),
                               nullptr);
    }

    std::vector<std::pair<WPARAM, LPARAM>> commands;
    HWND window = nullptr;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* host = reinterpret_cast<Host*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (host != nullptr && message == WM_COMMAND) {
            host->commands.emplace_back(wParam, lParam);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

