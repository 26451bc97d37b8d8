#pragma once

// What the tests need to know of the machine they run on, asked of the platform.

#include <windows.h>

#include <string>

namespace sys {

// 64-bit Windows has two registry views and runs 32-bit programs under WOW64; 32-bit Windows
// ignores the view flags.
inline bool Is64BitWindows()
{
    BOOL wow64 = FALSE;
    return sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
}

// A file of the build tree, named relative to this test program's folder, so that the tests
// find it wherever the tree lies and whatever drive the platform shows it on.
inline std::wstring BesideTestProgram(const wchar_t* relative)
{
    wchar_t own[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path(own, length);
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + relative;
    for (wchar_t& c : path) {
        c = c == L'/' ? L'\\' : c;
    }
    wchar_t full[MAX_PATH] = {};
    const DWORD fullLength = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return fullLength > 0 && fullLength < MAX_PATH ? std::wstring(full, fullLength) : path;
}

}  // namespace sys
