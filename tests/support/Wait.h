#pragma once

// Every wait of the suite: a condition polled until it holds or the suite's one timeout runs out.

#include <windows.h>

namespace wait {

// Ample for a loaded two-core machine starting each program under emulation; a wait that runs
// out is a failure, never a reason to go on.
constexpr DWORD Timeout = 30000;

// Whether `condition` came to hold in time, polled every `interval` milliseconds.
template <typename Condition>
bool Until(Condition condition, DWORD interval = 10, DWORD timeout = Timeout)
{
    const ULONGLONG deadline = GetTickCount64() + timeout;
    while (!condition()) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(interval);
    }
    return true;
}

}  // namespace wait
